// The read path's search: the trie index first, the BK-tree walk for what the index leaves open.
#include "nearest.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "distance_kernel.h"
#include "pattern_distance.h"
#include "term_index.h"

namespace kezo::snapper_detail {
namespace {

using Dictionary = TenantFuzzySnapper::TenantDictionary;

// Distances beyond this cannot occur between strings that fit in memory; clamping the caller's
// bound keeps best + 1 and the band arithmetic free of overflow.
constexpr int kDistanceLimit = 1 << 29;

// Per-thread buffers of the search, so a snap allocates nothing once they have grown.
struct SearchScratch {
    std::vector<std::uint32_t> query;
    NearestTermIndex::Scratch index;
    PatternDistance pattern;
    std::vector<std::size_t> stack;

    // A huge query must not pin its buffers to the thread for good.
    void trim() {
        constexpr std::size_t kKeep = 1 << 14;
        if (query.capacity() > kKeep) std::vector<std::uint32_t>().swap(query);
        if (pattern.heap_bytes() > 16 * kKeep) pattern = PatternDistance();
        if (stack.capacity() > kKeep) std::vector<std::size_t>().swap(stack);
    }
};

SearchScratch& thread_scratch() {
    thread_local SearchScratch scratch;
    return scratch;
}

// The tree walk for the query already in s.query. A node y below the child with key k of a node
// at distance d from the query lies at distance at least |d - k| from it, and only a node
// strictly nearer than the best so far can change the answer: so the walk descends only where
// |d - k| < best, which always keeps every node within max_distance that could still win, in the
// same order. It needs a node's exact distance only up to that band's edge past its largest child
// key; the kernel stops as soon as it knows the distance lies beyond.
NearestTerm walk(const Dictionary& dict, int max_distance, SearchScratch& s) {
    const bool use_pattern = s.pattern.prepare(s.query);
    s.stack.clear();
    s.stack.push_back(0);
    NearestTerm best{nullptr, max_distance + 1};
    while (!s.stack.empty()) {
        const auto& node = dict.nodes[s.stack.back()];
        s.stack.pop_back();
        int max_key = 0;
        for (const auto& child : node.children) max_key = std::max(max_key, child.first);
        const long long band = best.distance - 1;
        const int cap = static_cast<int>(std::min<long long>(band + max_key, INT_MAX - 1));
        // An empty query (a term that lowers to nothing) is as far from a key as the key is long.
        const int d = use_pattern ? s.pattern.distance_to(node.term.normalized, cap)
                                  : static_cast<int>(count_symbols_up_to(
                                        node.term.normalized, static_cast<std::size_t>(cap)));
        if (d < best.distance) {
            best = {&node.term, d};
            if (d == 0) break;
        }
        if (d > cap) continue;  // then every child key lies outside the band
        const long long low = static_cast<long long>(d) - (best.distance - 1);
        const long long high = static_cast<long long>(d) + (best.distance - 1);
        for (const auto& [key, index] : node.children) {
            if (key >= low && key <= high) s.stack.push_back(index);
        }
    }
    return best.term != nullptr ? best : NearestTerm{};
}

}  // namespace

NearestTerm find_nearest_term(const Dictionary& dict, const std::string& lowered,
                              int max_distance) {
    if (dict.nodes.empty() || max_distance < 0) return {};
    max_distance = std::min(max_distance, kDistanceLimit);
    SearchScratch& s = thread_scratch();
    to_symbols(lowered, s.query);
    const NearestTermIndex* index = dict.index.get();
    NearestTerm result;
    if (index == nullptr || index->node_count() != dict.nodes.size()) {
        result = walk(dict, max_distance, s);  // a dictionary assembled without its index
    } else {
        const NearestTermIndex::Result found = index->search(s.query, max_distance, s.index);
        switch (found.outcome) {
            case NearestTermIndex::Outcome::Found:
                result = {&dict.nodes[found.node].term, found.distance};
                break;
            case NearestTermIndex::Outcome::NotFound:
                break;
            case NearestTermIndex::Outcome::Undecided: {
                const NearestTermIndex::Result scanned =
                    index->scan(s.query, max_distance, s.index);
                if (scanned.outcome == NearestTermIndex::Outcome::Found)
                    result = {&dict.nodes[scanned.node].term, scanned.distance};
                break;
            }
        }
    }
    s.trim();
    return result;
}

NearestTerm walk_tree(const Dictionary& dict, const std::string& lowered, int max_distance) {
    if (dict.nodes.empty() || max_distance < 0) return {};
    SearchScratch& s = thread_scratch();
    to_symbols(lowered, s.query);
    const NearestTerm result = walk(dict, std::min(max_distance, kDistanceLimit), s);
    s.trim();
    return result;
}

}  // namespace kezo::snapper_detail
