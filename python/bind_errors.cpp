// How failures of the core reach Python. The core accepts any input its headers allow, so a
// standard-library logic error escaping it (a size past the largest vector, an index out of
// range) is a fault of kezo, not of the caller's arguments: left to the binding library's default
// it would surface as ValueError or IndexError with a bare message such as "vector::reserve",
// which reads like a bad argument. It becomes a RuntimeError that says what happened. Memory
// exhaustion stays MemoryError; the bindings' own argument errors are not logic errors and keep
// their types.
#include <pybind11/pybind11.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "bindings.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

void set_internal_error(const char* kind, const std::exception& error) {
    const std::string message = std::string("kezo failed inside its native core (") + kind + ": " +
                                error.what() +
                                "); the input was valid, so this is a fault in kezo worth "
                                "reporting together with the input";
    PyErr_SetString(PyExc_RuntimeError, message.c_str());
}

}  // namespace

void translate_core_errors(py::module_&) {
    py::register_local_exception_translator([](std::exception_ptr pending) {
        try {
            if (pending) std::rethrow_exception(pending);
        } catch (const std::length_error& error) {
            set_internal_error("std::length_error", error);
        } catch (const std::out_of_range& error) {
            set_internal_error("std::out_of_range", error);
        } catch (const std::logic_error& error) {
            set_internal_error("std::logic_error", error);
        }
    });
}

}  // namespace kezo::python
