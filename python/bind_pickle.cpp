// Private factories for the records Python cannot construct or fill in itself. The kezo package
// registers pickle reducers that name these functions, so Token, Sentence, Keyword, SnapMatch and
// TenantMetrics cross process boundaries (multiprocessing, copy, deepcopy) while their classes
// keep no constructor and read-only fields.
//
// Without kezo's reducers, pickle protocols 0 and 1 would take copyreg's default path for any
// class of this module, which builds the copy through the binding library's common base class:
// that base cannot make an instance of an unregistered type and aborts the interpreter. So every
// class registered by now gets its own reduction: an enumeration pickles as its value at every
// protocol, and any other class, until kezo registers its reducer, raises a TypeError that says
// so. (pickle and copy consult kezo's registered reducers before these.)
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <string>

#include "bindings.h"
#include "kezo/snapper.h"
#include "kezo/types.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

void give_every_class_a_reduction(py::module_& m) {
    const py::dict names = m.attr("__dict__");
    for (const auto& [name, value] : names) {
        if (!PyType_Check(value.ptr())) continue;
        const py::object cls = py::reinterpret_borrow<py::object>(value);
        if (py::hasattr(cls, "__members__")) {
            cls.attr("__reduce__") = py::cpp_function(
                [](const py::object& self) {
                    return py::make_tuple(py::type::of(self), py::make_tuple(py::int_(self)));
                },
                py::is_method(cls), py::name("__reduce__"));
            continue;
        }
        const std::string message = "cannot pickle 'kezo_native." + name.cast<std::string>() +
                                    "' object: import kezo first, which registers pickling "
                                    "for every kezo_native class";
        cls.attr("__reduce_ex__") = py::cpp_function(
            [message](const py::object&, const py::object&) -> py::object {
                throw py::type_error(message);
            },
            py::is_method(cls), py::name("__reduce_ex__"));
    }
}

}  // namespace

void bind_pickle_support(py::module_& m) {
    give_every_class_a_reduction(m);
    m.def(
        "_restore_token",
        [](std::string text, std::uint32_t offset, std::uint32_t pos, bool is_word) {
            return Token{std::move(text), offset, pos, is_word};
        },
        py::arg("text"), py::arg("offset"), py::arg("pos"), py::arg("is_word"),
        "Rebuild a Token from its fields (used by pickle).");
    m.def(
        "_restore_sentence",
        [](std::uint32_t begin, std::uint32_t end) {
            return Sentence{begin, end};
        },
        py::arg("begin"), py::arg("end"), "Rebuild a Sentence from its fields (used by pickle).");
    m.def(
        "_restore_keyword",
        [](std::string text, double score, std::uint32_t count, std::uint32_t first_position) {
            return Keyword{std::move(text), score, count, first_position};
        },
        py::arg("text"), py::arg("score"), py::arg("count"), py::arg("first_position"),
        "Rebuild a Keyword from its fields (used by pickle).");
    m.def(
        "_restore_snap_match",
        [](std::string term, int distance, bool matched) {
            return SnapMatch{std::move(term), distance, matched};
        },
        py::arg("term"), py::arg("distance"), py::arg("matched"),
        "Rebuild a SnapMatch from its fields (used by pickle).");
    m.def(
        "_restore_tenant_metrics",
        [](std::uint64_t dictionary_terms, std::uint64_t memory_bytes, std::uint64_t load_count,
           std::uint64_t lazy_load_count, std::uint64_t rejected_updates, std::uint64_t evictions,
           std::uint64_t snap_count, double last_load_ms, double avg_load_ms,
           double snap_latency_p50_ms, double snap_latency_p95_ms,
           std::uint64_t last_access_epoch_ms, std::uint64_t last_load_epoch_ms, bool hot_tenant,
           bool loaded) {
            return TenantMetrics{dictionary_terms,    memory_bytes,        load_count,
                                 lazy_load_count,     rejected_updates,    evictions,
                                 snap_count,          last_load_ms,        avg_load_ms,
                                 snap_latency_p50_ms, snap_latency_p95_ms, last_access_epoch_ms,
                                 last_load_epoch_ms,  hot_tenant,          loaded};
        },
        py::arg("dictionary_terms"), py::arg("memory_bytes"), py::arg("load_count"),
        py::arg("lazy_load_count"), py::arg("rejected_updates"), py::arg("evictions"),
        py::arg("snap_count"), py::arg("last_load_ms"), py::arg("avg_load_ms"),
        py::arg("snap_latency_p50_ms"), py::arg("snap_latency_p95_ms"),
        py::arg("last_access_epoch_ms"), py::arg("last_load_epoch_ms"), py::arg("hot_tenant"),
        py::arg("loaded"), "Rebuild a TenantMetrics record from its fields (used by pickle).");
}

}  // namespace kezo::python
