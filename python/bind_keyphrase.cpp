#include "bindings.h"

namespace kezo::python {

void bind_keyphrase(pybind11::module_&) {}

}  // namespace kezo::python
