// From scored phrases to the keyphrases returned: ranking, near-duplicate removal, surface forms.
#pragma once

#include <cstdint>
#include <vector>

#include "candidates.h"
#include "kezo/flat_keyphrases.h"
#include "kezo/spanned_keyword.h"
#include "kezo/types.h"

namespace kezo::keyphrase {

struct SelectionOptions {
    std::uint32_t top_k = 10;  // 0 keeps all
    bool keep_near_duplicates = false;
    double near_duplicate_threshold = 1.0;  // see KeyphraseConfig
    bool spans = false;                     // fill SpannedKeyword::spans
    // One flag per phrase of the candidates: only phrases flagged non-zero are offered. Null
    // offers every phrase. Not owned: it must outlive the call.
    const std::vector<char>* offered = nullptr;
};

// The best phrases by score (ties: earlier first occurrence, then fewer words), without
// near-duplicates (NearDuplicateFilter) unless they are kept. Each is shown in its most
// frequent spelling (see extract_keyphrases for the casing), with the byte spans of its
// occurrences when asked (text order, an occurrence overlapping the one before left out).
// Thread-safe for different candidates; linear in the phrases and occurrences of the text,
// n log n in the phrases offered.
std::vector<SpannedKeyword> select_keyphrases(const Candidates& c,
                                              const std::vector<double>& scores,
                                              const SelectionOptions& options);

// The same keyphrases in place of what out held, laid out flat: once out has grown, a call
// allocates nothing for them.
void select_keyphrases(const Candidates& c, const std::vector<double>& scores,
                       const SelectionOptions& options, FlatKeyphrases& out);

}  // namespace kezo::keyphrase
