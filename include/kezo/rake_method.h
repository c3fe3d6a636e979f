// Rapid automatic keyword extraction: candidate phrases are the maximal runs of content words
// between stopwords and phrase delimiters (sentence ends, clause and other punctuation, line
// breaks closing a title or paragraph, numbers and one-letter words). Each word scores its
// degree over its frequency, deg(w) / freq(w), where deg(w) sums the lengths of the candidate
// occurrences holding w; a phrase scores the sum of its words' scores. Stopwords are the
// built-in, tenant and per-call ones the keyphrase pipeline uses; words are compared
// lower-cased (no stemming).
//
// Thread-safe: any number of threads may call extract_rake_keyphrases at once; the result is
// returned by value and keeps no reference to the arguments. Each thread keeps the working
// memory of its last call (a few dozen bytes a word) for the next one, and gives it back after
// a text of more than about 65,536 runs or distinct words.
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

struct RakeConfig {
    // Auto: identify_best_language(text) (language_id.h).
    Language language = Language::Auto;
    // Number of keyphrases returned; 0 keeps all.
    std::uint32_t top_k = 10;
    // Shortest and longest phrase returned, in words (0 as max_words: no limit). Longer runs
    // still count towards their words' degrees and frequencies.
    std::uint32_t min_words = 1;
    std::uint32_t max_words = 3;
    // Also offer adjoining keywords: two candidates joined by one or two stopwords ("axis of
    // evil") that occur so at least twice in the text, scoring the sum of their content words'
    // scores. Off by default: it changed nothing measurable on the gold sets.
    bool adjoining = false;
    // Tenant whose stopwords apply during the call; empty for none.
    std::string tenant_id;
    // Further stopwords for this call only, compared lower-cased.
    std::unordered_set<std::string> extra_stopwords;
};

// The RAKE keyphrases of text, best first, at most config.top_k. Keyword.text is the phrase
// lower-cased, score its phrase score divided by the best phrase score of the text (so the best
// phrase scores 1, every score lies in (0, 1]), count its occurrences, first_position the index
// of its first word among the text's words; spans are its occurrences in text order. Ties keep
// text order. Any bytes are accepted. Linear in the text plus n log top_k in the candidates
// (n log n when top_k is 0).
std::vector<SpannedKeyword> extract_rake_keyphrases(std::string_view text,
                                                    const RakeConfig& config);

// The same keyphrases into out, cleared first and filled in the same order: a caller that
// keeps out from one call to the next allocates nothing for the results once it has grown.
void extract_rake_keyphrases(std::string_view text, const RakeConfig& config, FlatKeyphrases& out);

}  // namespace kezo
