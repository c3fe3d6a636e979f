// tfidf_corpus_keyphrases: a corpus counted and every one of its texts extracted by TF-IDF in
// one native call, the records made as the texts are done.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <vector>

#include "bindings.h"
#include "document_frequency_table.h"
#include "gil_release.h"
#include "kezo/tfidf_corpus.h"
#include "streamed_records.h"
#include "utf8_text.h"

namespace py = pybind11;

namespace kezo::python {

void bind_tfidf_corpus(py::module_& m) {
    m.def(
        "tfidf_corpus_keyphrases",
        [](const py::sequence& texts, const TfidfMethodConfig& config, unsigned threads,
           const py::object& record, bool spans) {
            const RecordForm form = record_form(record, spans);
            const TfidfMethodConfig copy = config;
            const Utf8Texts utf8(texts, "texts");  // read where they are, not copied
            const std::vector<std::string_view>& views = utf8.views();
            const auto pass = without_gil(
                [&] { return std::make_unique<TfidfCorpusPass>(views, copy, threads); });
            py::list out = records_as_extracted(
                views, pass->threads(), form, [&] { return pass->take(); },
                [&](std::size_t i) {
                    FlatKeyphrases found;
                    pass->extract(i, found);
                    return found;
                },
                [&] { pass->stop(); });
            DocumentFrequencyTable table{nullptr, pass->document_frequency()};
            return py::make_tuple(py::cast(std::move(table)), out);
        },
        py::arg("texts"), py::arg("config"), py::arg("threads") = 1, py::arg("record") = py::none(),
        py::arg("spans") = true,
        "Count `texts` as a corpus and extract each of them by tf-idf against it, on `threads`\n"
        "threads without the interpreter lock (taken now and then to make the records of the\n"
        "texts done): (table, keyphrases), table the\n"
        "DocumentFrequencyTable count_document_frequency(texts, ..., noun_phrases=False) gives\n"
        "with config's language, max_words, stopwords and tenant, keyphrases one list per text\n"
        "as tfidf_keyphrases gives it with that table. config's own table is ignored. `record`,\n"
        "`spans`: as for extract_keyphrases_spanned.");
}

}  // namespace kezo::python
