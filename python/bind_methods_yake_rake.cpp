// The published-algorithm YAKE and RAKE methods: their configurations and the extraction calls,
// which release the interpreter lock after copying their arguments.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/rake_method.h"
#include "kezo/yake_method.h"
#include "spanned_keywords.h"
#include "utf8_arguments.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

std::unordered_set<std::string> word_set(const py::handle& words) {
    if (py::isinstance<py::str>(words) || py::isinstance<py::bytes>(words))
        throw py::type_error("extra_stopwords must be a collection of str, not a single string");
    std::unordered_set<std::string> out;
    for (const py::handle item : py::iter(words)) {
        if (!py::isinstance<py::str>(item))
            throw py::type_error("extra_stopwords holds a non-str item");
        std::string word = item.cast<std::string>();
        require_utf8(word, "extra_stopwords");
        out.insert(std::move(word));
    }
    return out;
}

// The fields both configurations share.
template <typename Config>
void bind_common(py::class_<Config>& c) {
    c.def_readwrite("language", &Config::language,
                    "Language of the text; Language.Auto identifies it.")
        .def_readwrite("top_k", &Config::top_k, "Number of keyphrases returned; 0 returns all.")
        .def_readwrite("min_words", &Config::min_words, "Shortest phrase in words.")
        .def_readwrite("max_words", &Config::max_words, "Longest phrase in words.")
        .def_property(
            "tenant_id", [](const Config& k) { return k.tenant_id; },
            [](Config& k, std::string tenant_id) {
                require_utf8(tenant_id, "tenant_id");
                k.tenant_id = std::move(tenant_id);
            },
            "Tenant whose stopwords apply during the call; empty for none.")
        .def_property(
            "extra_stopwords", [](const Config& k) { return k.extra_stopwords; },
            [](Config& k, const py::object& words) { k.extra_stopwords = word_set(words); },
            "set[str]: further stopwords for calls with this configuration only, compared\n"
            "lower-cased. Reading gives a copy.");
}

}  // namespace

void bind_methods_yake_rake(py::module_& m) {
    py::class_<YakeConfig> yake(m, "YakeMethodConfig",
                                "Options of extract_yake_keyphrases; set fields after creation.");
    yake.def(py::init<>());
    bind_common(yake);
    yake.def_readwrite("window", &YakeConfig::window,
                       "Co-occurrence distance in words of the relatedness feature.")
        .def_readwrite("dedup_threshold", &YakeConfig::dedup_threshold,
                       "Edit-distance similarity above which a candidate repeating a better\n"
                       "one is left out; 1 keeps all.");
    py::class_<RakeConfig> rake(m, "RakeMethodConfig",
                                "Options of extract_rake_keyphrases; set fields after creation.");
    rake.def(py::init<>());
    bind_common(rake);
    rake.def_readwrite("adjoining", &RakeConfig::adjoining,
                       "Also offer two candidates joined by one or two stopwords that occur so\n"
                       "at least twice.");

    m.def(
        "extract_yake_keyphrases",
        [](std::string_view text, const YakeConfig& config, const py::object& record, bool spans) {
            const RecordForm form = record_form(record, spans);
            const YakeConfig copy = config;
            CallResults found;
            without_gil([&] { extract_yake_keyphrases(text, copy, *found); });
            return spanned_keywords_out(text, *found, form);
        },
        py::arg("text"), py::arg("config") = YakeConfig(), py::arg("record") = py::none(),
        py::arg("spans") = true,
        "Return the YAKE keyphrases of `text`, best first: a list of (text, score, count,\n"
        "first_position, spans) tuples. score is 1 / (1 + S) for the method's score S (lower\n"
        "S is better), so higher is better and every score lies in (0, 1]. spans lists the\n"
        "(start, end) offsets of the occurrences. Runs without the interpreter lock. `record`,\n"
        "`spans`: as for extract_keyphrases_spanned.");
    m.def(
        "extract_rake_keyphrases",
        [](std::string_view text, const RakeConfig& config, const py::object& record, bool spans) {
            const RecordForm form = record_form(record, spans);
            const RakeConfig copy = config;
            CallResults found;
            without_gil([&] { extract_rake_keyphrases(text, copy, *found); });
            return spanned_keywords_out(text, *found, form);
        },
        py::arg("text"), py::arg("config") = RakeConfig(), py::arg("record") = py::none(),
        py::arg("spans") = true,
        "Return the RAKE keyphrases of `text`, best first: a list of (text, score, count,\n"
        "first_position, spans) tuples. score is the phrase's degree-over-frequency sum\n"
        "divided by the best one of the text (the best scores 1). spans lists the (start,\n"
        "end) offsets of the occurrences. Runs without the interpreter lock. `record`,\n"
        "`spans`: as for extract_keyphrases_spanned.");
}

}  // namespace kezo::python
