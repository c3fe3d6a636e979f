// The published-algorithm methods TextRank and TF-IDF: their configurations and the calls,
// which release the interpreter lock after copying their arguments.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/textrank_method.h"
#include "kezo/tfidf_method.h"
#include "spanned_keywords.h"
#include "utf8_arguments.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

std::unordered_set<std::string> word_set(const std::unordered_set<std::string>& words) {
    for (const std::string& w : words) require_utf8(w, "extra_stopwords");
    return words;
}

// The fields both configurations share.
template <class Config>
void common_fields(py::class_<Config>& c) {
    c.def_readwrite("language", &Config::language, "Language; Auto identifies each text's.")
        .def_readwrite("top_k", &Config::top_k, "Phrases returned at most; 0 keeps all.")
        .def_readwrite("min_words", &Config::min_words, "Shortest phrase in words.")
        .def_readwrite("max_words", &Config::max_words, "Longest phrase in words.")
        .def_property(
            "tenant_id", [](const Config& k) { return k.tenant_id; },
            [](Config& k, std::string tenant) {
                require_utf8(tenant, "tenant_id");
                k.tenant_id = std::move(tenant);
            },
            "Tenant whose stopwords apply during the call; empty for none.")
        .def_property(
            "extra_stopwords", [](const Config& k) { return k.extra_stopwords; },
            [](Config& k, const std::unordered_set<std::string>& words) {
                k.extra_stopwords = word_set(words);
            },
            "set[str]: further stopwords for calls with this configuration, compared\n"
            "lower-cased; reading gives a copy.");
}

}  // namespace

void bind_methods_textrank_tfidf(py::module_& m) {
    py::class_<TextRankMethodConfig> textrank(
        m, "TextRankMethodConfig", "Options of textrank_keyphrases (the TextRank method).");
    textrank.def(py::init<>());
    common_fields(textrank);
    textrank
        .def_readwrite("window", &TextRankMethodConfig::window,
                       "Co-occurrence window in content words of one sentence (2: next).")
        .def_readwrite("damping", &TextRankMethodConfig::damping, "Damping factor, in (0, 1).")
        .def_readwrite("max_iter", &TextRankMethodConfig::max_iter, "Most ranking rounds.")
        .def_readwrite("tol", &TextRankMethodConfig::tol, "Convergence threshold.")
        .def_readwrite("keyword_share", &TextRankMethodConfig::keyword_share,
                       "Share of the ranked words marked as keywords (a third).");

    py::class_<TfidfMethodConfig> tfidf(m, "TfidfMethodConfig",
                                        "Options of tfidf_keyphrases (the TF-IDF method).");
    tfidf.def(py::init<>());
    common_fields(tfidf);
    tfidf
        .def_readonly("total_documents", &TfidfMethodConfig::total_documents,
                      "Documents the corpus table was counted over; 0 for none.")
        .def(
            "set_document_frequency",
            [](TfidfMethodConfig& k, DocumentFrequency table, std::uint32_t total_documents) {
                require_utf8_keys(table, "table");
                k.document_frequency = std::make_shared<const PhraseFrequencyTable>(table);
                k.total_documents = total_documents;
            },
            py::arg("table"), py::arg("total_documents"),
            "Use a corpus table: stem key (keyphrase_stem_key) -> documents holding the\n"
            "phrase, counted over total_documents documents (0 drops the table). The table is\n"
            "copied once and shared by every copy of this configuration.");

    m.def(
        "textrank_keyphrases",
        [](std::string_view text, const TextRankMethodConfig& config, const py::object& record,
           bool spans) {
            const RecordForm form = record_form(record, spans);
            const TextRankMethodConfig copy = config;
            CallResults found;
            without_gil([&] { textrank_keyphrases(text, copy, *found); });
            return spanned_keywords_out(text, *found, form);
        },
        py::arg("text"), py::arg("config") = TextRankMethodConfig(), py::arg("record") = py::none(),
        py::arg("spans") = true,
        "TextRank phrases of `text`, best first: (text, score, count, first_position, spans)\n"
        "tuples as extract_keyphrases_spanned gives them; the best score is 1. Runs without\n"
        "the interpreter lock. `record`, `spans`: as for extract_keyphrases_spanned.");
    m.def(
        "tfidf_keyphrases",
        [](std::string_view text, const TfidfMethodConfig& config, const py::object& record,
           bool spans) {
            const RecordForm form = record_form(record, spans);
            const TfidfMethodConfig copy = config;
            CallResults found;
            without_gil([&] { tfidf_keyphrases(text, copy, *found); });
            return spanned_keywords_out(text, *found, form);
        },
        py::arg("text"), py::arg("config") = TfidfMethodConfig(), py::arg("record") = py::none(),
        py::arg("spans") = true,
        "Phrases of `text` by tf-idf, best first: (text, score, count, first_position,\n"
        "spans) tuples as extract_keyphrases_spanned gives them; the best score is 1. Runs\n"
        "without the interpreter lock. `record`, `spans`: as for extract_keyphrases_spanned.");
}

}  // namespace kezo::python
