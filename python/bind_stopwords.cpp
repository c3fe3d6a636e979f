// Stopword functions: built-in and custom stopwords, and tenant stopword lists.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <string_view>
#include <vector>

#include "bindings.h"
#include "kezo/stopwords.h"
#include "utf8_arguments.h"

namespace py = pybind11;

namespace kezo::python {

void bind_stopword_functions(py::module_& m) {
    m.def(
        "is_stopword",
        [](Language language, const std::string& word) {
            return stopwords::is_stop(language, word);
        },
        py::arg("language"), py::arg("word"), "Return True if `word` is a stopword in `language`.");
    m.def(
        "add_stopword",
        [](Language language, std::string word) {
            require_utf8(word, "word");
            stopwords::add(language, std::move(word));
        },
        py::arg("language"), py::arg("word"),
        "Add a custom stopword to the in-memory list for `language`.");
    m.def(
        "stopwords",
        [](Language language) {
            // The views are copied into new str objects; the list does not refer to the registry.
            const std::vector<std::string_view> words = stopwords::get(language);
            py::list out(words.size());
            for (std::size_t i = 0; i < words.size(); ++i)
                out[i] = py::str(words[i].data(), words[i].size());
            return out;
        },
        py::arg("language"), "Get the list of stopwords for `language` (list of str).");
    m.def(
        "load_tenant_stopwords",
        [](std::string tenant_id, Language language, std::vector<std::string> words) {
            require_utf8(tenant_id, "tenant_id");
            require_utf8(words, "words");
            stopwords::load_tenant(std::move(tenant_id), language, std::move(words));
        },
        py::arg("tenant_id"), py::arg("language"), py::arg("words"),
        "Replace tenant-specific stopwords for a language.");
    m.def(
        "clear_tenant_stopwords",
        [](const std::string& tenant_id, Language language) {
            stopwords::clear_tenant(tenant_id, language);
        },
        py::arg("tenant_id"), py::arg("language"),
        "Clear tenant-specific stopwords for a language.");
    m.def(
        "is_tenant_stopword",
        [](const std::string& tenant_id, Language language, const std::string& word) {
            return stopwords::is_tenant_stop(tenant_id, language, word);
        },
        py::arg("tenant_id"), py::arg("language"), py::arg("word"),
        "Return True if word is a tenant-specific stopword.");
}

}  // namespace kezo::python
