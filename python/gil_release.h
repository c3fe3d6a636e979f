// Running core code without the interpreter lock, safely at interpreter exit.
//
// A thread that asks for the lock back after the interpreter has begun to shut down is ended by
// the interpreter on the spot (CPython 3.9 to 3.13 call pthread_exit), and glibc ends a thread
// by unwinding its stack as if by an exception. If the lock is taken back in a destructor, as
// pybind11's gil_scoped_release and call_guard do, that unwinding leaves a noexcept function and
// the whole process aborts ("terminate called without an active exception"): a daemon thread
// busy in a snap or an extraction at exit kills the process and the output still buffered.
// without_gil takes the lock back in ordinary code, so such a thread just ends: its stack
// unwinds through the binding (pybind11 lets the unwinding pass) and the process exits normally.
// Every binding that releases the lock goes through it.
#pragma once

#include <pybind11/pybind11.h>

#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

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
        PyEval_RestoreThread(state);  // may end this thread during shutdown: see above
        if (error) std::rethrow_exception(error);
    } else {
        std::optional<Result> result;
        try {
            result.emplace(work());
        } catch (...) {
            error = std::current_exception();
        }
        PyEval_RestoreThread(state);  // may end this thread during shutdown: see above
        if (error) std::rethrow_exception(error);
        return std::move(*result);
    }
}

// An owned reference a binding keeps while the lock is released: dropped at the end of its
// scope when the lock is held, as by a py::object; left as it is, never freed, when this thread
// is ended asking for the lock back, where a py::object would free it without the lock (which
// corrupts the interpreter's memory while another thread runs it).
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
