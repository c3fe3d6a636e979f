// Phrase scoring.
//
// A log-linear model over the features of phrase_features.h: z = sum of weight * feature, and the
// score is 1 / (1 + e^-z), the estimated chance that a reader picks the phrase. What the
// weights say, in words:
// - a phrase that fills a whole run of content words (bounded by function words or punctuation)
//   is a name for something; a piece cut out of a longer run rarely is;
// - two- and three-word phrases are preferred in short texts, where little recurs; as the text
//   grows, recurrence takes over and single recurring words (names above all) come first;
// - an early first occurrence, the title, capitals where case tells names, and an article or
//   preposition right before the phrase all speak for it; a determiner right after it (its last
//   word was a verb), an -ed/-ing ending or an adverb speak against it.
// The weights were fitted on five public gold sets in three languages, each set weighing the
// same, and checked set by set on the other four (bench/keyphrase_fit.py).
#include "scoring.h"

#include <cmath>

#include "phrase_features.h"

namespace kezo::keyphrase {
namespace {

// Fitted weights, in the order of the Feature enumeration.
constexpr double kWeights[kFeatureCount] = {
    -2.0,   // bias
    0.0,    // length
    -3.6,   // one_word
    1.44,   // three_words
    1.53,   // four_words
    0.71,   // one_word_by_l
    -0.35,  // three_words_by_l
    -0.44,  // four_words_by_l
    -0.96,  // connector
    -0.13,  // word_chars
    0.16,   // word_chars_by_l
    0.69,   // log_count
    0.04,   // log_count_by_l
    -0.37,  // once
    -0.25,  // one_word_by_log_count
    -0.12,  // log_first
    -0.05,  // log_first_by_l
    0.35,   // first_share
    1.02,   // in_title
    -0.24,  // in_title_by_l
    3.32,   // maximal
    -0.49,  // maximal_by_l
    1.59,   // capitalised
    -0.29,  // capitalised_by_l
    0.48,   // one_word_by_capitalised
    0.56,   // all_caps
    0.16,   // after_opener
    0.52,   // before_auxiliary
    -0.93,  // before_determiner
    0.32,   // last_ing
    -0.53,  // last_ed
    0.32,   // first_ed
    -0.41,  // adverb
};

}  // namespace

std::string phrase_stem_key(const Candidates& c, const Phrase& phrase) {
    std::string key;
    for (std::uint32_t t : phrase.terms) {
        if (!key.empty()) key.push_back(' ');
        const std::string& stem = c.terms[t].stem;
        key.append(c.terms[t].connector ? stem.substr(1) : stem);
    }
    return key;
}

std::vector<double> score_phrases(const Candidates& c, const ScoringParams& params) {
    const std::vector<FeatureRow> features = phrase_features(c, params.language);
    const bool corpus = params.document_frequency != nullptr && params.total_documents > 0;
    std::vector<double> scores(features.size(), 0.0);
    for (std::size_t p = 0; p < features.size(); ++p) {
        double z = 0.0;
        for (std::size_t f = 0; f < kFeatureCount; ++f) z += kWeights[f] * features[p][f];
        if (corpus) {
            // Corpus statistics multiply the odds by the phrase's inverse document frequency:
            // a phrase found in every document of the corpus says little about this one.
            const auto found = params.document_frequency->find(phrase_stem_key(c, c.phrases[p]));
            const double df = found == params.document_frequency->end() ? 0.0 : found->second;
            z += std::log(std::log((params.total_documents + 1.0) / (df + 1.0)) + 1.0);
        }
        const double score = 1.0 / (1.0 + std::exp(-z));
        scores[p] = std::isfinite(score) ? score : 0.0;
    }
    return scores;
}

}  // namespace kezo::keyphrase
