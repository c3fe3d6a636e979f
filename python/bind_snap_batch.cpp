// Detailed and batch snapping over the process-wide snapper: the SnapMatch record,
// snap_term_detailed and snap_terms.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/snapper.h"

namespace py = pybind11;

namespace kezo::python {

void bind_snap_batch(py::module_& m) {
    py::class_<SnapMatch>(m, "SnapMatch",
                          "The outcome of one snap: the term returned, its edit distance and "
                          "whether a dictionary term matched.")
        .def_readonly("term", &SnapMatch::term,
                      "The canonical dictionary term when matched, else the query unchanged.")
        .def_readonly("distance", &SnapMatch::distance,
                      "Edit distance from the lower-cased query to the matched term; -1 when "
                      "nothing matched.")
        .def_readonly("matched", &SnapMatch::matched,
                      "True when a dictionary term lay within the bound, even one whose "
                      "canonical form equals the query.")
        .def("__repr__", [](const SnapMatch& match) {
            return "SnapMatch(term=" + py::repr(py::str(match.term)).cast<std::string>() +
                   ", distance=" + std::to_string(match.distance) +
                   ", matched=" + (match.matched ? "True" : "False") + ")";
        });

    m.def(
        "snap_term_detailed",
        [](const std::string& tenant_id, const std::string& term, int max_edit_distance) {
            return without_gil([&] {
                return global_snapper.snap_term_detailed(tenant_id, term, max_edit_distance);
            });
        },
        py::arg("tenant_id"), py::arg("term"), py::arg("max_edit_distance") = 2,
        R"doc(Snap a term to the tenant's dictionary and report how it matched.

The same search as snap_term, recorded in the tenant's metrics the same way, with the
interpreter lock released while it runs.

Args:
    tenant_id: The tenant whose dictionary is searched.
    term: The free-text term; compared case-insensitively.
    max_edit_distance: The largest Levenshtein distance, in code points, that still
        matches; a negative value matches nothing.

Returns:
    SnapMatch: When a dictionary term lies within the bound, the nearest one's canonical
    form (the term snap_term returns), its distance and matched=True; otherwise the term
    unchanged, distance -1 and matched=False.)doc");

    m.def(
        "snap_terms",
        [](const std::string& tenant_id, const std::vector<std::string>& terms,
           int max_edit_distance, unsigned threads) {
            return without_gil([&] {
                return global_snapper.snap_terms(tenant_id, terms, max_edit_distance, threads);
            });
        },
        py::arg("tenant_id"), py::arg("terms"), py::arg("max_edit_distance") = 2,
        py::arg("threads") = 0,
        R"doc(Snap many terms of one tenant in one call.

The terms are converted first, then snapped with the interpreter lock released once for
the whole batch, spread over threads. Each term is snapped and recorded in the tenant's
metrics exactly as one snap_term_detailed call would be.

Args:
    tenant_id: The tenant whose dictionary is searched.
    terms: A sequence of str.
    max_edit_distance: The largest Levenshtein distance, in code points, that still
        matches; a negative value matches nothing.
    threads: The most threads to use, the calling one included; never more than the
        machine's hardware threads. 0 uses all of them.

Returns:
    list[SnapMatch]: One result per term, in the order given.)doc");
}

}  // namespace kezo::python
