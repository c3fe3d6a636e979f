#include "bindings.h"

namespace kezo::python {

void bind_pickle_support(pybind11::module_&) {}

}  // namespace kezo::python
