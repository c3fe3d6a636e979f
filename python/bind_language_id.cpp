#include "bindings.h"

namespace kezo::python {

void bind_language_id(pybind11::module_&) {}

}  // namespace kezo::python
