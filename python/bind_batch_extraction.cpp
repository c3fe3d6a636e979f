// spanned_keyphrases_batch: many texts through one spanned extraction on native threads, the
// records made once every text is done. A batch of short texts pays no Python thread pool and no
// interpreter lock per text, and the native threads are the process's helpers, kept between
// batches.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <string>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/helper_threads.h"
#include "kezo/keyphrase.h"
#include "kezo/rake_method.h"
#include "kezo/textrank_method.h"
#include "kezo/tfidf_method.h"
#include "kezo/yake_method.h"
#include "spanned_keywords.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

// extract(texts[i], config) for every i on up to `threads` threads (each takes the next text
// as it finishes one), then the records of each text in order. The first error of any thread
// is raised once all have stopped.
template <class Config, class Extract>
py::list run_batch(const std::vector<std::string>& texts, const Config& config, unsigned threads,
                   const py::object& record, Extract extract) {
    PyTypeObject* const type = keyword_record_type(record);
    const Config copy = config;
    std::vector<std::vector<SpannedKeyword>> found(texts.size());
    without_gil([&] {
        const std::size_t workers =
            std::max<std::size_t>(1, std::min<std::size_t>(threads, texts.size()));
        std::atomic<std::size_t> next{0};
        run_on_helper_threads(workers, [&](std::size_t) {
            try {
                for (std::size_t i; (i = next.fetch_add(1)) < texts.size();)
                    found[i] = extract(texts[i], copy);
            } catch (...) {
                next.store(texts.size());  // the others stop after their current text
                throw;                     // and the helpers pass the first error back
            }
        });
    });
    return spanned_keywords_lists(texts, found, type);
}

// run_batch with config as a Config, when it is one.
template <class Config, class Extract>
bool batch_as(const std::vector<std::string>& texts, const py::object& config, unsigned threads,
              const py::object& record, Extract extract, py::list* out) {
    if (!py::isinstance<Config>(config)) return false;
    *out = run_batch(texts, config.cast<const Config&>(), threads, record, extract);
    return true;
}

py::list spanned_keyphrases_batch(const std::vector<std::string>& texts, const py::object& config,
                                  unsigned threads, const py::object& record) {
    // Dispatched here, not by overloads, so the texts are converted once.
    py::list out;
    if (batch_as<KeyphraseConfig>(texts, config, threads, record, &extract_keyphrases_spanned,
                                  &out) ||
        batch_as<YakeConfig>(texts, config, threads, record, &extract_yake_keyphrases, &out) ||
        batch_as<RakeConfig>(texts, config, threads, record, &extract_rake_keyphrases, &out) ||
        batch_as<TextRankMethodConfig>(texts, config, threads, record, &textrank_keyphrases,
                                       &out) ||
        batch_as<TfidfMethodConfig>(texts, config, threads, record, &tfidf_keyphrases, &out))
        return out;
    throw py::type_error(
        "config must be a KeyphraseConfig, YakeMethodConfig, RakeMethodConfig, "
        "TextRankMethodConfig or TfidfMethodConfig, got " +
        py::str(py::type::of(config).attr("__name__")).cast<std::string>());
}

}  // namespace

void bind_batch_extraction(py::module_& m) {
    m.def("spanned_keyphrases_batch", &spanned_keyphrases_batch, py::arg("texts"),
          py::arg("config"), py::arg("threads") = 1, py::arg("record") = py::none(),
          "The spanned keyphrases of every text of `texts` (a list of str) under `config`, on\n"
          "`threads` threads without the interpreter lock: for a KeyphraseConfig what\n"
          "extract_keyphrases_spanned gives, for a method's configuration what its call gives\n"
          "(extract_yake_keyphrases, extract_rake_keyphrases, textrank_keyphrases,\n"
          "tfidf_keyphrases). One list per text, in order; `record` as for those calls.");
}

}  // namespace kezo::python
