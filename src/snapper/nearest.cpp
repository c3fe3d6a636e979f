// The read path's search: the trie index first, the BK-tree walk for what the index leaves open.
#include "nearest.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "distance_kernel.h"
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
    std::vector<std::uint32_t> key;
    std::vector<int> rows;
    std::vector<std::size_t> stack;

    // A huge query must not pin its buffers to the thread for good.
    void trim() {
        constexpr std::size_t kKeep = 1 << 14;
        if (query.capacity() > kKeep) std::vector<std::uint32_t>().swap(query);
        if (key.capacity() > kKeep) std::vector<std::uint32_t>().swap(key);
        if (rows.capacity() > kKeep) std::vector<int>().swap(rows);
        if (stack.capacity() > kKeep) std::vector<std::size_t>().swap(stack);
    }
};

SearchScratch& thread_scratch() {
    thread_local SearchScratch scratch;
    return scratch;
}

// The tree walk for the query already in s.query.
NearestTerm walk(const Dictionary& dict, int max_distance, SearchScratch& s) {
    const bool use_pattern = s.pattern.prepare(s.query);
    s.stack.clear();
    s.stack.push_back(0);
    NearestTerm best{nullptr, max_distance + 1};
    while (!s.stack.empty()) {
        const auto& node = dict.nodes[s.stack.back()];
        s.stack.pop_back();
        int d = 0;
        int cap = INT_MAX;
        if (use_pattern) {
            d = s.pattern.distance_to(node.term.normalized);
        } else {
            // A query too long for the bit-parallel kernel: only children whose key lies in
            // [d - max, d + max] are visited, so the exact distance matters only up to the largest
            // child key + max; beyond it the kernel stops early (at once when the lengths alone
            // differ by more), which keeps huge queries linear in their size.
            int max_key = 0;
            for (const auto& child : node.children) max_key = std::max(max_key, child.first);
            cap = max_distance + max_key;
            to_symbols(node.term.normalized, s.key);
            d = bounded_distance(s.query.data(), s.query.size(), s.key.data(), s.key.size(), cap,
                                 s.rows);
        }
        if (d < best.distance) {
            best = {&node.term, d};
            if (d == 0) break;
        }
        if (d > cap) continue;
        const long long low = static_cast<long long>(d) - max_distance;
        const long long high = static_cast<long long>(d) + max_distance;
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
            case NearestTermIndex::Outcome::Undecided:
                result = walk(dict, max_distance, s);
                break;
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
