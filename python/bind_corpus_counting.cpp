// DocumentFrequencyTable and count_document_frequency: corpus statistics counted on several
// threads and held natively, so the configurations that use them share one table instead of
// converting a dict of every phrase.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bindings.h"
#include "document_frequency_table.h"
#include "gil_release.h"
#include "kezo/corpus_counting.h"
#include "kezo/tfidf_method.h"
#include "utf8_arguments.h"
#include "utf8_text.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

DocumentFrequencyTable table_of(DocumentFrequency counts) {
    return {std::make_shared<const DocumentFrequency>(std::move(counts)), nullptr};
}

py::dict to_dict(DocumentFrequencyTable& table) {
    py::dict out;
    for (const auto& [key, documents] : table.map())
        out[py::str(key.data(), key.size())] = py::int_(documents);
    return out;
}

}  // namespace

void bind_corpus_counting(py::module_& m) {
    py::class_<DocumentFrequencyTable>(
        m, "DocumentFrequencyTable",
        "Documents holding each phrase, by stem key (keyphrase_stem_key): a read-only mapping\n"
        "counted by count_document_frequency, shared without copying by the configurations\n"
        "given it.")
        .def(py::init([](DocumentFrequency counts) {
                 require_utf8_keys(counts, "counts");
                 return table_of(std::move(counts));
             }),
             py::arg("counts"), "A table holding a copy of counts (dict[str, int]).")
        // A counted table answers these from its lookup form, making no map: every phrase it
        // holds was counted in one document at least, so a count of 0 means absent.
        .def("__len__",
             [](DocumentFrequencyTable& t) {
                 return t.counts ? t.counts->size() : t.lookup->size();
             })
        .def("__contains__",
             [](DocumentFrequencyTable& t, const std::string& key) {
                 return t.counts ? t.counts->count(key) != 0 : t.lookup->find(key) != 0;
             })
        .def("__getitem__",
             [](DocumentFrequencyTable& t, const std::string& key) {
                 if (!t.counts) {
                     const std::uint32_t documents = t.lookup->find(key);
                     if (documents == 0) throw py::key_error(key);
                     return documents;
                 }
                 const auto found = t.counts->find(key);
                 if (found == t.counts->end()) throw py::key_error(key);
                 return found->second;
             })
        .def(
            "__iter__",
            [](DocumentFrequencyTable& t) {
                return py::make_key_iterator(t.map().begin(), t.map().end());
            },
            py::keep_alive<0, 1>())
        .def("to_dict", &to_dict, "A dict of the counts.");

    m.def(
        "count_document_frequency",
        [](const py::sequence& texts, const KeyphraseConfig& config, unsigned threads,
           bool noun_phrases) {
            const KeyphraseConfig copy = config;
            const Utf8Texts utf8(texts, "texts");  // read where they are, not copied
            const std::vector<std::string_view>& views = utf8.views();
            CorpusCountOptions options;
            options.threads = threads;
            options.noun_phrases = noun_phrases;
            // Held as the TF-IDF method's lookup table; a map is made only when asked for.
            return DocumentFrequencyTable{
                nullptr, std::make_shared<const PhraseFrequencyTable>(without_gil(
                             [&] { return count_phrase_frequencies(views, copy, options); }))};
        },
        py::arg("texts"), py::arg("config"), py::arg("threads") = 1, py::arg("noun_phrases") = true,
        "keyphrase_document_frequency of `texts` as a DocumentFrequencyTable, counted on\n"
        "`threads` threads without the interpreter lock. noun_phrases=False forms phrases of\n"
        "several words from the stopwords alone, as tfidf_keyphrases does.");

    m.def(
        "set_keyphrase_document_frequency",
        [](KeyphraseConfig& config, DocumentFrequencyTable& table, std::uint32_t total_documents) {
            config.document_frequency = table.map();
            config.total_documents = total_documents;
        },
        py::arg("config"), py::arg("table"), py::arg("total_documents"),
        "Set config.document_frequency to a copy of `table` and config.total_documents, with\n"
        "no dict in between.");

    py::class_<TfidfMethodConfig> tfidf =
        py::reinterpret_borrow<py::class_<TfidfMethodConfig>>(m.attr("TfidfMethodConfig"));
    tfidf.def(
        "set_document_frequency_table",
        [](TfidfMethodConfig& k, DocumentFrequencyTable& table, std::uint32_t total_documents) {
            k.document_frequency = table.phrase_table();
            k.total_documents = total_documents;
        },
        py::arg("table"), py::arg("total_documents"),
        "Use a DocumentFrequencyTable counted over total_documents documents (0 drops it),\n"
        "shared, not copied.");
}

}  // namespace kezo::python
