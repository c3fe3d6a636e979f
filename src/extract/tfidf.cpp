// Document frequencies over a corpus and TF-IDF scoring of one document's candidates.
#include <algorithm>
#include <cmath>

#include "candidates.h"
#include "kezo/extract.h"

namespace kezo {
namespace {

// ln((N + 1) / (d + 1)) + 1 when smoothing, else ln(N / d). The sums are formed in double so a
// count of 4294967295 does not wrap to 0.
double idf(double n, double d, bool smooth) {
    if (smooth) return std::log((n + 1.0) / (d + 1.0)) + 1.0;
    return std::log(n / d);
}

}  // namespace

std::unordered_map<std::string, unsigned int> build_corpus_df(
    const std::vector<std::vector<Token>>& docs, Language lang, unsigned min_n, unsigned max_n) {
    std::unordered_map<std::string, unsigned int> df;
    for (const std::vector<Token>& doc : docs) {
        if (doc.empty()) continue;
        const std::vector<bool> marks = internal::mark_content_tokens(doc, lang);
        // Each distinct candidate of the document counts once.
        const internal::CandidateIds ids = internal::map_candidates(doc, marks, min_n, max_n);
        for (const std::string* text : ids.text) ++df[*text];
    }
    return df;
}

std::vector<Keyword> tfidf_extract(const std::vector<Token>& tokens, Language lang,
                                   const TFIDFConfig& config,
                                   const std::unordered_map<std::string, unsigned int>* df) {
    if (tokens.empty()) return {};
    const std::vector<bool> marks = internal::mark_content_tokens(tokens, lang);
    return internal::tfidf_rank(internal::map_candidates(tokens, marks, config.min_n, config.max_n),
                                config, df);
}

std::vector<Keyword> internal::tfidf_rank(const CandidateIds& ids, const TFIDFConfig& config,
                                          const std::unordered_map<std::string, unsigned int>* df) {
    const double occurrences = static_cast<double>(static_cast<std::uint32_t>(ids.sequence.size()));
    const double corpus_size = config.total_documents;
    std::vector<double> scores(ids.distinct());
    for (std::size_t id = 0; id < scores.size(); ++id) {
        const double count = ids.count[id];
        const double tf = config.sublinear_tf ? (count > 0 ? 1.0 + std::log(count) : 0.0) : count;
        double inverse = 0.0;
        if (df == nullptr) {
            if (occurrences != 0) inverse = idf(occurrences, count, config.smooth);
        } else if (corpus_size != 0) {
            const auto found = df->find(*ids.text[id]);
            if (found == df->end()) {
                inverse = config.smooth ? std::log(corpus_size + 1.0) + 1.0 : std::log(corpus_size);
            } else {
                const double d = found->second;
                // Without smoothing a document frequency of 0 leaves N undivided.
                inverse = (!config.smooth && d == 0) ? std::log(corpus_size)
                                                     : idf(corpus_size, d, config.smooth);
            }
        }
        scores[id] = tf * inverse;
    }

    return internal::ranked_keywords(ids, scores, config.top_k, true);
}

}  // namespace kezo
