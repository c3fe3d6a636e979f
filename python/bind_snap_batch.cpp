#include "bindings.h"

namespace kezo::python {

void bind_snap_batch(pybind11::module_&) {}

}  // namespace kezo::python
