// Running core code without the interpreter lock, safely at interpreter exit.
//
// A thread that asks for the lock back after the interpreter has begun to shut down is ended by
// the interpreter on the spot (CPython 3.9 to 3.13 call pthread_exit), and glibc ends a thread
// by unwinding its stack as if by an exception. Were the lock taken back in a destructor, as
// pybind11's gil_scoped_release and call_guard do, that unwinding would leave a noexcept
// function and abort the process; with the wheels' own C++ runtime the unwinding cannot pass a
// C++ frame at all. without_gil takes the lock back through kezo_restore_thread
// (lock_retake.h), which leaves such a thread waiting for the process to end before any frame
// is unwound: a daemon thread busy in a snap or an extraction at exit no longer stops the
// process from exiting normally, its output flushed. Every binding that releases the lock goes
// through it.
#pragma once

#include <pybind11/pybind11.h>

#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

#include "lock_retake.h"

namespace kezo::python {

// Returns work() (which must not touch Python objects), run with the lock released. Arguments
// are converted before and the result after, with the lock held. An exception from work is
// rethrown once the lock is back, so pybind11 translates it as usual.
template <class Work>
auto without_gil(Work&& work) -> decltype(work()) {
    using Result = decltype(work());
    std::exception_ptr error;
    PyThreadState* const state = PyEval_SaveThread();
    if constexpr (std::is_void_v<Result>) {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        kezo_restore_thread(state);  // at exit this thread may go no further: see above
        if (error) std::rethrow_exception(error);
    } else {
        std::optional<Result> result;
        try {
            result.emplace(work());
        } catch (...) {
            error = std::current_exception();
        }
        kezo_restore_thread(state);  // at exit this thread may go no further: see above
        if (error) std::rethrow_exception(error);
        return std::move(*result);
    }
}

// An owned reference a binding keeps while the lock is released: dropped at the end of its
// scope when the lock is held, as by a py::object; left as it is, never freed, should this
// thread be unwound without the lock (where it is ended asking for the lock some other way), as
// a py::object would free it without the lock and corrupt the interpreter's memory.
class ReferenceAcrossRelease {
  public:
    explicit ReferenceAcrossRelease(pybind11::object object) : object_(std::move(object)) {}
    ~ReferenceAcrossRelease() {
        if (!PyGILState_Check()) object_.release();
    }
    ReferenceAcrossRelease(const ReferenceAcrossRelease&) = delete;
    ReferenceAcrossRelease& operator=(const ReferenceAcrossRelease&) = delete;

    PyObject* ptr() const { return object_.ptr(); }

  private:
    pybind11::object object_;
};

}  // namespace kezo::python
