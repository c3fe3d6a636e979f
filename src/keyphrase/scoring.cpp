// Phrase scoring.
//
// A log-linear model over the features of phrase_features.h: z = sum of weight * feature, and the
// score is 1 / (1 + e^-z), the estimated chance that a reader picks the phrase. What the
// weights say, in words:
// - a phrase that fills a whole run of content words (bounded by function words or punctuation)
//   is a name for something; a piece cut out of a longer run rarely is, unless it recurs while
//   the words around it change;
// - two- and three-word phrases are preferred in short texts, where little recurs; as the text
//   grows, recurrence takes over and single recurring words (names above all) come first;
// - an early first occurrence, the title, capitals where case tells names, and an article or
//   preposition right before the phrase all speak for it; a determiner right after it (its last
//   word was a verb), a last word in -ed (a participle) or an adverb speak against it.
// The weights were fitted on five public gold sets of short documents in three languages, each
// set weighing the same. Long documents are scored in windows of that length (windows.h); these
// weights serve them better than refits that include the windows and two sets of long documents
// (bench/keyphrase_fit.py compares them on all seven sets).
#include "scoring.h"

#include <algorithm>
#include <cmath>

#include "phrase_features.h"
#include "stem_keys.h"

namespace kezo::keyphrase {
namespace {

// Fitted weights, in the order of the Feature enumeration.
constexpr double kWeights[kFeatureCount] = {
    +0.2663,  // bias
    -0.6790,  // length
    -3.7949,  // one_word
    +1.5265,  // three_words
    +1.7268,  // four_words
    +0.7162,  // one_word_by_l
    -0.3628,  // three_words_by_l
    -0.4826,  // four_words_by_l
    -1.1229,  // connector
    -1.3123,  // word_chars
    +0.4178,  // word_chars_by_l
    +0.1756,  // log_count
    +0.0297,  // log_count_by_l
    -0.1244,  // once
    -0.2625,  // one_word_by_log_count
    -0.2423,  // log_first
    -0.0119,  // log_first_by_l
    +0.2844,  // first_share
    +0.3756,  // in_title
    -0.0853,  // in_title_by_l
    +3.3968,  // maximal
    -0.5069,  // maximal_by_l
    +1.0186,  // recurring_unit
    +1.3803,  // capitalised
    -0.2531,  // capitalised_by_l
    +0.5363,  // one_word_by_capitalised
    +0.5310,  // all_caps
    +0.2478,  // after_opener
    +0.4891,  // before_auxiliary
    -0.6242,  // before_determiner
    +0.2976,  // last_ing
    -0.5149,  // last_ed
    +0.2985,  // first_ed
    -0.8067,  // adverb
};

}  // namespace

std::string phrase_stem_key(const Candidates& c, const Phrase& phrase) {
    std::string key;
    phrase_stem_key(c, phrase, &key);
    return key;
}

void phrase_stem_key(const Candidates& c, const Phrase& phrase, std::string* key) {
    key->clear();
    append_stem_key(c, phrase, *key);
}

std::vector<double> score_phrases(const Candidates& c, const ScoringParams& params) {
    const bool corpus = params.document_frequency != nullptr && params.total_documents > 0;
    std::vector<double> scores(c.phrases.size(), 0.0);
    std::string key;
    for_each_phrase_features(c, params.language, [&](std::size_t p, const FeatureRow& row) {
        double z = 0.0;
        for (std::size_t f = 0; f < kFeatureCount; ++f) z += kWeights[f] * row[f];
        if (corpus) {
            // Corpus statistics multiply the odds by the phrase's inverse document frequency:
            // a phrase found in every document of the corpus says little about this one.
            phrase_stem_key(c, c.phrases[p], &key);
            const auto found = params.document_frequency->find(key);
            const double df = found == params.document_frequency->end() ? 0.0 : found->second;
            z += 0.5 * std::log(std::log((params.total_documents + 1.0) / (df + 1.0)) + 1.0);
        }
        const double score = 1.0 / (1.0 + std::exp(-z));
        scores[p] = std::isfinite(score) ? score : 0.0;
    });
    return scores;
}

}  // namespace kezo::keyphrase
