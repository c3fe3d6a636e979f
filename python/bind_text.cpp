// Text analysis and language functions.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "bindings.h"
#include "kezo/text.h"

namespace py = pybind11;

namespace kezo::python {

void bind_text_functions(py::module_& m) {
    m.def("tokenize", &tokenize, py::arg("text"), py::arg("config") = TokenizerConfig(),
          "Tokenize a UTF-8 string into a list of `Token`s.");
    m.def("split_sentences", &split_sentences, py::arg("text"),
          py::arg("config") = TokenizerConfig(),
          "Split a text into sentence-boundary token ranges.");
    m.def("detect_language", &detect_language, py::arg("text"),
          "Heuristically detect the dominant script/language.");
    m.def("language_code", &language_code, py::arg("language"));
    m.def("language_name", &language_name, py::arg("language"));
}

}  // namespace kezo::python
