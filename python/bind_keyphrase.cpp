// The keyphrase pipeline: KeyphraseConfig and extract_keyphrases.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <sstream>
#include <string>

#include "bindings.h"
#include "kezo/keyphrase.h"

namespace py = pybind11;

namespace kezo::python {

void bind_keyphrase(py::module_& m) {
    py::class_<KeyphraseConfig>(m, "KeyphraseConfig", "Options of the keyphrase pipeline.")
        .def(py::init<>())
        .def_readwrite("language", &KeyphraseConfig::language)
        .def_readwrite("top_k", &KeyphraseConfig::top_k)
        .def_readwrite("max_words", &KeyphraseConfig::max_words)
        .def_readwrite("keep_near_duplicates", &KeyphraseConfig::keep_near_duplicates)
        .def_readwrite("tenant_id", &KeyphraseConfig::tenant_id)
        .def_readwrite("keep_numbers", &KeyphraseConfig::keep_numbers)
        .def_readwrite("allow_connectors", &KeyphraseConfig::allow_connectors);


    m.def(
        "extract_keyphrases",
        [](const std::string& text, const KeyphraseConfig& config) {
            const KeyphraseConfig copy = config;
            const py::gil_scoped_release release;
            return extract_keyphrases(text, copy);
        },
        py::arg("text"), py::arg("config") = KeyphraseConfig(), "Keyphrases of `text`.");
}

}  // namespace kezo::python
