// The keyphrase pipeline: KeyphraseConfig, extract_keyphrases and its corpus helpers. The calls
// that run long release the interpreter lock after copying their arguments.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/keyphrase.h"
#include "kezo/language.h"
#include "spanned_keywords.h"
#include "utf8_arguments.h"
#include "utf8_text.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

std::string config_repr(const KeyphraseConfig& c) {
    const auto flag = [](bool value) { return value ? "True" : "False"; };
    return "KeyphraseConfig(language=Language." + std::string(language_name(c.language)) +
           ", top_k=" + std::to_string(c.top_k) + ", max_words=" + std::to_string(c.max_words) +
           ", keep_near_duplicates=" + flag(c.keep_near_duplicates) +
           ", tenant_id=" + py::repr(py::str(c.tenant_id)).cast<std::string>() +
           ", keep_numbers=" + flag(c.keep_numbers) +
           ", allow_connectors=" + flag(c.allow_connectors) + ", document_frequency=<" +
           std::to_string(c.document_frequency.size()) +
           " entries>, total_documents=" + std::to_string(c.total_documents) +
           ", near_duplicate_threshold=" +
           py::repr(py::float_(c.near_duplicate_threshold)).cast<std::string>() +
           ", extra_stopwords=<" + std::to_string(c.extra_stopwords.size()) + " words>)";
}

// Any iterable of str but a str itself (whose characters would become the words).
std::unordered_set<std::string> stopword_set(const py::handle& words) {
    if (py::isinstance<py::str>(words) || py::isinstance<py::bytes>(words))
        throw py::type_error("extra_stopwords must be a collection of str, not a single string");
    std::unordered_set<std::string> out;
    for (const py::handle item : py::iter(words)) {
        if (!py::isinstance<py::str>(item))
            throw py::type_error(
                "extra_stopwords holds a " +
                py::str(py::type::handle_of(item).attr("__name__")).cast<std::string>() +
                ", not a str");
        std::string word = item.cast<std::string>();
        require_utf8(word, "extra_stopwords");
        out.insert(std::move(word));
    }
    return out;
}

}  // namespace

void bind_keyphrase(py::module_& m) {
    const KeyphraseConfig defaults;
    py::class_<KeyphraseConfig>(m, "KeyphraseConfig",
                                "Options of the keyphrase pipeline (extract_keyphrases).")
        .def(py::init([](Language language, std::uint32_t top_k, std::uint32_t max_words,
                         bool keep_near_duplicates, std::string tenant_id, bool keep_numbers,
                         bool allow_connectors,
                         std::unordered_map<std::string, std::uint32_t> document_frequency,
                         std::uint32_t total_documents, double near_duplicate_threshold,
                         const py::object& extra_stopwords) {
                 require_utf8(tenant_id, "tenant_id");
                 require_utf8_keys(document_frequency, "document_frequency");
                 KeyphraseConfig c;
                 c.language = language;
                 c.top_k = top_k;
                 c.max_words = max_words;
                 c.keep_near_duplicates = keep_near_duplicates;
                 c.tenant_id = std::move(tenant_id);
                 c.keep_numbers = keep_numbers;
                 c.allow_connectors = allow_connectors;
                 c.document_frequency = std::move(document_frequency);
                 c.total_documents = total_documents;
                 c.near_duplicate_threshold = near_duplicate_threshold;
                 if (!extra_stopwords.is_none()) c.extra_stopwords = stopword_set(extra_stopwords);
                 return c;
             }),
             py::kw_only(), py::arg("language") = defaults.language,
             py::arg("top_k") = defaults.top_k, py::arg("max_words") = defaults.max_words,
             py::arg("keep_near_duplicates") = defaults.keep_near_duplicates,
             py::arg("tenant_id") = defaults.tenant_id,
             py::arg("keep_numbers") = defaults.keep_numbers,
             py::arg("allow_connectors") = defaults.allow_connectors,
             py::arg("document_frequency") = defaults.document_frequency,
             py::arg("total_documents") = defaults.total_documents,
             py::arg("near_duplicate_threshold") = defaults.near_duplicate_threshold,
             py::arg("extra_stopwords") = py::none(),
             "Every option can be given by keyword; the others keep their defaults.")
        .def_readwrite("language", &KeyphraseConfig::language,
                       "Language of the text; Language.Auto identifies it.")
        .def_readwrite("top_k", &KeyphraseConfig::top_k,
                       "Number of keyphrases returned; 0 returns all.")
        .def_readwrite("max_words", &KeyphraseConfig::max_words,
                       "Longest phrase in words (a hyphenated compound is one word).")
        .def_readwrite("keep_near_duplicates", &KeyphraseConfig::keep_near_duplicates,
                       "Keep phrases inside a higher-ranked one or with the same stems.")
        .def_property(
            "tenant_id", [](const KeyphraseConfig& c) { return c.tenant_id; },
            [](KeyphraseConfig& c, std::string tenant_id) {
                require_utf8(tenant_id, "tenant_id");
                c.tenant_id = std::move(tenant_id);
            },
            "Tenant whose stopwords apply during the call; empty for none.")
        .def_readwrite("keep_numbers", &KeyphraseConfig::keep_numbers,
                       "Let words with digits take part in phrases instead of ending them.")
        .def_readwrite("allow_connectors", &KeyphraseConfig::allow_connectors,
                       "Let one 'of' / 'de' / 'da' ... join two words inside a phrase.")
        .def_property(
            "document_frequency", [](const KeyphraseConfig& c) { return c.document_frequency; },
            [](KeyphraseConfig& c, std::unordered_map<std::string, std::uint32_t> table) {
                require_utf8_keys(table, "document_frequency");
                c.document_frequency = std::move(table);
            },
            "dict[str, int]: documents holding each phrase, by stem key (see "
            "keyphrase_document_frequency). Reading gives a copy: assign a whole dict to "
            "change it.")
        .def_readwrite("total_documents", &KeyphraseConfig::total_documents,
                       "Documents counted in document_frequency; 0 ignores the table.")
        .def_readwrite("near_duplicate_threshold", &KeyphraseConfig::near_duplicate_threshold,
                       "Leave out a phrase whose similarity to a higher-ranked one reaches this:\n"
                       "1 when that phrase holds all its stems in a row or reordered, else the\n"
                       "share of its stems in the longest run both hold in a row. 1 (default)\n"
                       "drops only whole containment; above 1 drops nothing.")
        .def_property(
            "extra_stopwords", [](const KeyphraseConfig& c) { return c.extra_stopwords; },
            [](KeyphraseConfig& c, const py::object& words) {
                c.extra_stopwords = stopword_set(words);
            },
            "set[str]: further stopwords for calls with this configuration only, compared\n"
            "lower-cased. Accepts any collection of str; reading gives a copy.")
        .def("__repr__", &config_repr);

    m.def(
        "extract_keyphrases",
        [](const std::string& text, const KeyphraseConfig& config) {
            // Copied while the lock is held: another thread may change the Python object.
            const KeyphraseConfig copy = config;
            return without_gil([&] { return extract_keyphrases(text, copy); });
        },
        py::arg("text"), py::arg("config") = KeyphraseConfig(),
        "Return the keyphrases of `text`, best first: a list of Keyword.\n\n"
        "Phrases never cross sentence ends, clause punctuation, title or paragraph breaks,\n"
        "numbers or one-letter words; inflected forms count together. Keyword.text is the\n"
        "most frequent spelling in the text, Keyword.score the estimated chance (0 to 1) that\n"
        "a reader would pick the phrase, Keyword.count its occurrences and\n"
        "Keyword.first_position the index in words of its first occurrence. Runs without\n"
        "the interpreter lock.");
    m.def("keyphrase_stem_key", &keyphrase_stem_key, py::arg("phrase"), py::arg("language"),
          "The key of `phrase` in KeyphraseConfig.document_frequency: its words lower-cased\n"
          "and stemmed for `language`, joined by one blank.");
    m.def(
        "keyphrase_document_frequency",
        [](const std::vector<std::string>& texts, const KeyphraseConfig& config) {
            const KeyphraseConfig copy = config;
            return without_gil([&] { return keyphrase_document_frequency(texts, copy); });
        },
        py::arg("texts"), py::arg("config") = KeyphraseConfig(),
        "Count, for each candidate phrase, the texts that hold it: dict[str, int] by stem key.\n"
        "Set it as KeyphraseConfig.document_frequency with total_documents=len(texts).\n"
        "Runs without the interpreter lock.");
}

void bind_keyphrase_spans(py::module_& m) {
    m.def(
        "extract_keyphrases_spanned",
        [](const py::str& text, const KeyphraseConfig& config, const py::object& record,
           bool spans) {
            const RecordForm form = record_form(record, spans);
            const KeyphraseConfig copy = config;
            const Utf8Text utf8(text);  // a long text is not copied
            CallResults found;
            without_gil([&] { extract_keyphrases_spanned(utf8.view(), copy, *found); });
            return spanned_keywords_out(utf8.view(), *found, form);
        },
        py::arg("text"), py::arg("config") = KeyphraseConfig(), py::arg("record") = py::none(),
        py::arg("spans") = true,
        "Return the keyphrases of `text` with where they occur: a list of (text, score,\n"
        "count, first_position, spans) tuples, best first, as extract_keyphrases ranks them.\n"
        "spans lists (start, end) offsets into `text` of every occurrence the phrase stands\n"
        "for (inflected variants included), in text order and never overlapping:\n"
        "text[start:end] is the occurrence as written. With `record` (a tuple subclass adding\n"
        "no fields, such as a NamedTuple) the items are its instances and spans a tuple of\n"
        "tuples. With `spans` False every spans is empty, which spares making a tuple per\n"
        "occurrence. Runs without the interpreter lock.");
}

}  // namespace kezo::python
