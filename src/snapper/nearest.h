// The nearest term of a dictionary to a lowered query: the first node that the depth-first
// BK-tree walk meets at the smallest distance within the bound. The dictionary's index answers:
// its tries when they can, else a scan of its keys; a dictionary without an index is walked.
#pragma once

#include <string>

#include "kezo/snapper.h"

namespace kezo::snapper_detail {

struct NearestTerm {
    const TenantFuzzySnapper::DictionaryTerm* term = nullptr;  // null when nothing is in bound
    int distance = -1;                                         // to term's key, when found
};

// Thread-safe on a published dictionary; the result points into dict. Allocation-free once
// the calling thread's buffers have grown. With an index, costs at most two bounded distances
// per key (each ceil(query / 64) x key steps) whatever max_distance.
NearestTerm find_nearest_term(const TenantFuzzySnapper::TenantDictionary& dict,
                              const std::string& lowered, int max_distance);

// The same answer by the plain depth-first tree walk: a last-in, first-out stack from the root,
// each node's children within [d - max_distance, d + max_distance] pushed in child-table order,
// the first node at a strictly smaller distance kept, an exact match ending the walk.
NearestTerm walk_tree(const TenantFuzzySnapper::TenantDictionary& dict, const std::string& lowered,
                      int max_distance);

}  // namespace kezo::snapper_detail
