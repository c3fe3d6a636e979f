// spanned_keyphrases_batch: many texts through one spanned extraction on native threads, the
// records made by the calling thread as the texts are done. A batch of short texts pays no Python
// thread pool and no interpreter lock per text, and the native threads are the process's helpers,
// kept between batches.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings.h"
#include "kezo/keyphrase.h"
#include "kezo/rake_method.h"
#include "kezo/textrank_method.h"
#include "kezo/tfidf_method.h"
#include "kezo/yake_method.h"
#include "streamed_records.h"
#include "utf8_text.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

// extract(texts[i], config) for every i on up to `threads` threads (each takes the next text
// as it finishes one), each text's records made as it is done (records_as_extracted). The
// first error of any thread is raised once all have stopped.
template <class Config, class Extract>
py::list run_batch(const std::vector<std::string_view>& texts, const Config& config,
                   unsigned threads, RecordForm form, Extract extract) {
    const Config copy = config;
    std::atomic<std::size_t> next{0};
    return records_as_extracted(
        texts, std::max<std::size_t>(1, std::min<std::size_t>(threads, texts.size())), form,
        [&] {
            const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
            return i < texts.size() ? i : SIZE_MAX;
        },
        [&](std::size_t i) { return extract(texts[i], copy); }, [&] { next.store(texts.size()); });
}

// run_batch with config as a Config, when it is one; nothing otherwise.
template <class Config, class Extract>
std::optional<py::list> batch_as(const std::vector<std::string_view>& texts,
                                 const py::object& config, unsigned threads, RecordForm form,
                                 Extract extract) {
    if (!py::isinstance<Config>(config)) return std::nullopt;
    return run_batch(texts, config.cast<const Config&>(), threads, form, extract);
}

// batch_as for a method that reads its text where the caller's str holds it and lays its
// keyphrases out flat: three blocks a text instead of two a keyphrase.
template <class Config, void (*Method)(std::string_view, const Config&, FlatKeyphrases&)>
std::optional<py::list> flat_method_batch_as(const std::vector<std::string_view>& texts,
                                             const py::object& config, unsigned threads,
                                             RecordForm form) {
    return batch_as<Config>(texts, config, threads, form,
                            [](std::string_view text, const Config& c) {
                                FlatKeyphrases found;
                                Method(text, c, found);
                                return found;
                            });
}

py::list spanned_keyphrases_batch(const py::sequence& sequence, const py::object& config,
                                  unsigned threads, const py::object& record, bool spans) {
    // Dispatched here, not by overloads, so the texts are read once, where they are. No Python
    // object is made between here and run_batch but the texts' holder, which frees nothing
    // without the lock (the empty optional holds none): run_batch takes the lock back, and an
    // object freed by an unwinding there would be freed without the lock.
    const Utf8Texts utf8(sequence, "texts");
    const std::vector<std::string_view>& texts = utf8.views();
    const RecordForm form = record_form(record, spans);
    std::optional<py::list> out = batch_as<KeyphraseConfig>(
        texts, config, threads, form, [](std::string_view text, const KeyphraseConfig& c) {
            FlatKeyphrases found;
            extract_keyphrases_spanned(text, c, found);
            return found;
        });
    if (!out)
        out = flat_method_batch_as<YakeConfig, &extract_yake_keyphrases>(texts, config, threads,
                                                                         form);
    if (!out)
        out = flat_method_batch_as<RakeConfig, &extract_rake_keyphrases>(texts, config, threads,
                                                                         form);
    if (!out)
        out = flat_method_batch_as<TextRankMethodConfig, &textrank_keyphrases>(texts, config,
                                                                               threads, form);
    if (!out)
        out = flat_method_batch_as<TfidfMethodConfig, &tfidf_keyphrases>(texts, config, threads,
                                                                         form);
    if (out) return std::move(*out);
    throw py::type_error(
        "config must be a KeyphraseConfig, YakeMethodConfig, RakeMethodConfig, "
        "TextRankMethodConfig or TfidfMethodConfig, got " +
        py::str(py::type::of(config).attr("__name__")).cast<std::string>());
}

}  // namespace

void bind_batch_extraction(py::module_& m) {
    m.def("spanned_keyphrases_batch", &spanned_keyphrases_batch, py::arg("texts"),
          py::arg("config"), py::arg("threads") = 1, py::arg("record") = py::none(),
          py::arg("spans") = true,
          "The spanned keyphrases of every text of `texts` (a list of str) under `config`, on\n"
          "`threads` threads without the interpreter lock (taken now and then to make the\n"
          "records of the texts done): for a KeyphraseConfig what\n"
          "extract_keyphrases_spanned gives, for a method's configuration what its call gives\n"
          "(extract_yake_keyphrases, extract_rake_keyphrases, textrank_keyphrases,\n"
          "tfidf_keyphrases). One list per text, in order; `record` and `spans` as for those\n"
          "calls.");
}

}  // namespace kezo::python
