// Keyword extraction functions. The calls that run long on raw text or tokens release the
// interpreter lock; their arguments are converted before the release and results after it is
// re-taken.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/extract.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

using DocumentFrequencyTable = std::unordered_map<std::string, unsigned int>;

// None -> no table. Anything else goes through dict(...), then every key must convert to str
// and every value to an unsigned 32-bit count; a failure raises before the core is called.
bool convert_df(const py::object& df, DocumentFrequencyTable& table) {
    if (df.is_none()) return false;
    const py::dict entries(df);
    table.reserve(entries.size());
    for (const auto& [key, value] : entries) {
        py::detail::make_caster<std::string> text;
        py::detail::make_caster<unsigned int> count;
        if (!text.load(key, false))
            throw py::type_error("df keys must be str, got " + py::repr(key).cast<std::string>());
        if (!count.load(value, false))
            throw py::type_error("df values must be integers from 0 to 4294967295, got " +
                                 py::repr(value).cast<std::string>() + " for key " +
                                 py::repr(key).cast<std::string>());
        table[py::detail::cast_op<std::string&&>(std::move(text))] =
            py::detail::cast_op<unsigned int>(count);
    }
    return true;
}

std::vector<Keyword> tfidf_binding(const std::vector<Token>& tokens, Language language,
                                   const TFIDFConfig& config, const py::object& df) {
    DocumentFrequencyTable table;
    const bool has_table = convert_df(df, table);
    return tfidf_extract(tokens, language, config, has_table ? &table : nullptr);
}

// Runs extract(first, config) without the interpreter lock. The configuration is copied while
// the lock is still held: the caller's object stays writable from other Python threads, so the
// core must not read it once the lock is gone. (A by-value parameter would not do: pybind11
// copies arguments after a call guard has released the lock.)
template <class Config, class First, class Result>
auto released(Result (*extract)(const First&, const Config&)) {
    return [extract](const First& first, const Config& config) {
        const Config copy = config;
        return without_gil([&] { return extract(first, copy); });
    };
}

template <class Config, class Result>
auto released(Result (*extract)(const std::vector<Token>&, Language, const Config&)) {
    return [extract](const std::vector<Token>& tokens, Language language, const Config& config) {
        const Config copy = config;
        return without_gil([&] { return extract(tokens, language, copy); });
    };
}

}  // namespace

void bind_extract_functions(py::module_& m) {
    m.def("extract_keywords", released(&extract_keywords), py::arg("text"),
          py::arg("config") = ExtractConfig(), "Run a single extraction algorithm on `text`.");
    m.def("extract_keywords_ensemble", released(&extract_keywords_ensemble), py::arg("text"),
          py::arg("config") = EnsembleConfig(),
          "Run all four algorithms and return merged, de-duplicated keywords.");
    m.def("build_corpus_df", &build_corpus_df, py::arg("corpus"), py::arg("language"),
          py::arg("min_n") = 1, py::arg("max_n") = 1,
          "Build a per-term document frequency table for TF-IDF.");
    m.def("tfidf_extract", &tfidf_binding, py::arg("tokens"), py::arg("language"),
          py::arg("config") = TFIDFConfig(), py::arg("df") = py::none(),
          "TF-IDF extraction. `df` is an optional dict[str, int] document frequency table.");
    m.def("yake_extract", released(&yake_extract), py::arg("tokens"), py::arg("language"),
          py::arg("config") = YAKEConfig());
    m.def("textrank_extract", released(&textrank_extract), py::arg("tokens"), py::arg("language"),
          py::arg("config") = TextRankConfig());
    m.def("rake_extract", released(&rake_extract), py::arg("tokens"), py::arg("language"),
          py::arg("config") = RAKEConfig());
}

}  // namespace kezo::python
