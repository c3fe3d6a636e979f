// TF-IDF over the keyphrase pipeline's candidates, with corpus or sentence statistics.
#include <algorithm>
#include <cmath>

#include "../keyphrase/scoring.h"
#include "kezo/stopwords.h"
#include "kezo/tfidf_method.h"
#include "method_text.h"

namespace kezo {
namespace {

double smoothed_idf(double documents, double holding) {
    return std::log((1.0 + documents) / (1.0 + std::min(holding, documents))) + 1.0;
}

// Sentences holding each phrase, and the number of sentences: the statistics of a text alone.
std::vector<std::uint32_t> sentence_frequency(const keyphrase::Candidates& c,
                                              std::uint32_t* sentences) {
    std::vector<std::uint32_t> held(c.phrases.size(), 0);
    std::vector<std::uint32_t> last(c.phrases.size(), UINT32_MAX);
    for (const keyphrase::Occurrence& o : c.occurrences) {
        const std::uint32_t s = c.words.words[o.start].sentence;
        if (last[o.phrase] != s) {
            last[o.phrase] = s;
            ++held[o.phrase];
        }
    }
    *sentences = c.words.words.empty() ? 0 : c.words.words.back().sentence + 1;
    return held;
}

}  // namespace

std::vector<SpannedKeyword> tfidf_keyphrases(const std::string& text,
                                             const TfidfMethodConfig& config) {
    const Language lang = methods::resolve_language(text, config.language);
    const stopwords::ScopedTenant tenant(config.tenant_id);
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    const std::uint32_t max_words = std::max(config.max_words, min_words);
    const keyphrase::Candidates c =
        methods::method_candidates(text, lang, max_words, true, config.extra_stopwords);

    std::vector<char> offered(c.phrases.size(), 0);
    for (std::size_t p = 0; p < c.phrases.size(); ++p)
        offered[p] = c.phrases[p].content_words >= min_words;
    std::vector<double> score(c.phrases.size(), 0.0);
    const bool corpus = config.document_frequency != nullptr && config.total_documents > 0;
    std::uint32_t sentences = 0;
    const std::vector<std::uint32_t> held =
        corpus ? std::vector<std::uint32_t>() : sentence_frequency(c, &sentences);
    std::string key;  // one buffer for every phrase's stem key
    for (std::size_t p = 0; p < c.phrases.size(); ++p) {
        if (!offered[p]) continue;
        const keyphrase::Phrase& phrase = c.phrases[p];
        double idf = 1.0;
        if (corpus) {
            keyphrase::phrase_stem_key(c, phrase, &key);
            const auto found = config.document_frequency->find(key);
            const double df =
                found == config.document_frequency->end() ? 0.0 : double(found->second);
            idf = smoothed_idf(config.total_documents, df);
        } else {
            idf = smoothed_idf(sentences, held[p]);
        }
        const auto tf = static_cast<double>(phrase.count);
        score[p] = tf * idf;
    }
    methods::scale_to_best(score, &offered);

    keyphrase::SelectionOptions selection;
    selection.top_k = config.top_k;
    selection.keep_near_duplicates = true;  // every n-gram counts, as tf-idf has it
    selection.spans = true;
    selection.offered = &offered;
    return keyphrase::select_keyphrases(c, score, selection);
}

}  // namespace kezo
