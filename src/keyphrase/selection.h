// From scored phrases to the keyphrases returned: ranking, near-duplicate removal, surface forms.
#pragma once

#include <cstdint>
#include <vector>

#include "candidates.h"
#include "kezo/types.h"

namespace kezo::keyphrase {

struct SelectionOptions {
    std::uint32_t top_k = 10;  // 0 keeps all
    bool keep_near_duplicates = false;
};

// The best phrases by score (ties: earlier first occurrence, then fewer words), without
// near-duplicates (NearDuplicateFilter) unless they are kept. Each is shown in its most
// frequent spelling (see extract_keyphrases for the casing).
std::vector<Keyword> select_keyphrases(const Candidates& c, const std::vector<double>& scores,
                                       const SelectionOptions& options);

}  // namespace kezo::keyphrase
