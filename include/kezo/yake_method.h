// Unsupervised keyword extraction from the statistics of one document. Every word (lower-cased)
// gets five features: casing (capitalised or acronym occurrences that are not sentence starts,
// over 1 + ln of its frequency), position (ln ln (3 + median index of the sentences holding
// it)), frequency (its count over mean + standard deviation of the counts of content words),
// relatedness to context (1 + (WL + WR) * TF / maxTF, WL and WR the distinct words within
// `window` words on its left and right over their co-occurrence counts) and spread (sentences
// holding it over all sentences). They combine into
//   S(w) = Rel * Pos / (Case + Freq / Rel + Spread / Rel)     (lower is better).
// Candidates are runs of 1 to max_words words inside a clause, neither starting nor ending with
// a stopword; a candidate k scores
//   S(k) = prod S(w) / (TF(k) * (1 + sum S(w)))
// over its content words, each stopword inside contributing through the chance of its
// neighbours' bigrams instead. Candidates are taken in order of S, leaving out one whose
// Levenshtein similarity to a kept one exceeds dedup_threshold.
//
// Thread-safe: any number of threads may call extract_yake_keyphrases at once; the result is
// returned by value and keeps no reference to the arguments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "kezo/flat_keyphrases.h"
#include "kezo/language.h"
#include "kezo/spanned_keyword.h"

namespace kezo {

struct YakeConfig {
    // Auto: identify_best_language(text) (language_id.h).
    Language language = Language::Auto;
    // Number of keyphrases returned; 0 keeps all.
    std::uint32_t top_k = 10;
    // Shortest and longest candidate in words (0 as max_words is read as 1).
    std::uint32_t min_words = 1;
    std::uint32_t max_words = 3;
    // Co-occurrence distance in words for the relatedness feature; 0 is read as 1.
    std::uint32_t window = 1;
    // Similarity 1 - distance / longer length of the lower-cased texts above which a candidate
    // is left out as a repeat of a better one; 1 or more keeps all.
    double dedup_threshold = 0.9;
    // Tenant whose stopwords apply during the call; empty for none.
    std::string tenant_id;
    // Further stopwords for this call only, compared lower-cased.
    std::unordered_set<std::string> extra_stopwords;
};

// The keyphrases of text, best first, at most config.top_k. Keyword.text is the candidate
// lower-cased, score 1 / (1 + S(k)) (in (0, 1], higher is better, the order of S kept), count
// its occurrences, first_position the index of its first word among the text's words; spans
// are its occurrences in text order. Any bytes are accepted. Linear in the text for the
// features; the de-duplication compares each candidate taken with at most top_k kept ones
// (quadratic in phrase length).
std::vector<SpannedKeyword> extract_yake_keyphrases(std::string_view text,
                                                    const YakeConfig& config);

// The same keyphrases into out, cleared first and filled in the same order: a caller that
// keeps out from one call to the next allocates nothing for the results once it has grown.
void extract_yake_keyphrases(std::string_view text, const YakeConfig& config, FlatKeyphrases& out);

}  // namespace kezo
