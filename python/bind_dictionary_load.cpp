// install_tenant_dictionary: a dictionary load that lets other Python threads run while it
// builds.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/snapper.h"
#include "utf8_arguments.h"

namespace py = pybind11;

namespace kezo::python {

void bind_dictionary_load(py::module_& m) {
    m.def(
        "install_tenant_dictionary",
        [](const std::string& tenant_id, const std::vector<std::string>& terms) {
            require_utf8(tenant_id, "tenant_id");
            require_utf8(terms, "terms");
            return without_gil(
                [&] { return global_snapper.load_tenant_dictionary(tenant_id, terms); });
        },
        py::arg("tenant_id"), py::arg("terms"),
        R"doc(Load a tenant's canonical terms, as load_tenant_dictionary does, and say whether it took.

The terms are converted and checked first; the dictionary is then built and installed with
the interpreter lock released, so other Python threads run meanwhile. The build costs time
linear in the terms' characters.

Args:
    tenant_id: The tenant whose dictionary is replaced (created when absent).
    terms: A sequence of str; the service policy refuses empty and over-long terms and
        those past max_terms_per_tenant.

Returns:
    bool: True when the dictionary was installed; False for an empty tenant id or a load
    refused by the tenant's update rate limit (the previous dictionary then stays).)doc");
}

}  // namespace kezo::python
