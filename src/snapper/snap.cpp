// The read path: maps a term to the nearest canonical term of a tenant's dictionary.
#include <algorithm>
#include <chrono>
#include <climits>
#include <mutex>
#include <shared_mutex>

#include "distance_kernel.h"
#include "kezo/snapper.h"
#include "kezo/unicode.h"

namespace kezo {
namespace {

using snapper_detail::bounded_distance;
using snapper_detail::count_symbols_up_to;
using snapper_detail::PatternDistance;
using snapper_detail::to_symbols;

// Distances beyond this cannot occur between strings that fit in memory; clamping the caller's
// bound keeps best + 1 and the band arithmetic free of overflow.
constexpr int kDistanceLimit = 1 << 29;

// Per-thread buffers of the search, so a snap allocates nothing once they have grown.
struct SearchScratch {
    PatternDistance pattern;
    std::vector<std::uint32_t> query;
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

// Depth-first BK-tree search. Returns the canonical term of the first node visited at the
// smallest distance within max_distance, or null. An exact match ends the search.
const std::string* search(const TenantFuzzySnapper::TenantDictionary& dict,
                          const std::string& lowered, int max_distance, SearchScratch& s) {
    to_symbols(lowered, s.query);
    const bool use_pattern = s.pattern.prepare(s.query);
    s.stack.clear();
    s.stack.push_back(0);
    int best = max_distance + 1;
    const std::string* best_term = nullptr;
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
        if (d < best) {
            best = d;
            best_term = &node.term.canonical;
            if (d == 0) break;
        }
        if (d > cap) continue;
        const long long low = static_cast<long long>(d) - max_distance;
        const long long high = static_cast<long long>(d) + max_distance;
        for (const auto& [key, index] : node.children) {
            if (key >= low && key <= high) s.stack.push_back(index);
        }
    }
    return best <= max_distance ? best_term : nullptr;
}

}  // namespace

std::string TenantFuzzySnapper::snap_term(const std::string& tenant_id, const std::string& term,
                                          int max_edit_distance) {
    if (max_edit_distance < 0 || term.empty()) return term;
    std::size_t max_token_length = 0;
    bool lazy_load = false;
    {
        std::lock_guard<std::mutex> lock(policy_mutex_);
        max_token_length = policy_.max_token_length;
        lazy_load = policy_.lazy_load_on_miss;
    }
    if (max_token_length != 0 && count_symbols_up_to(term, max_token_length) > max_token_length)
        return term;

    std::shared_ptr<TenantState> state;
    {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        auto it = tenants_.find(tenant_id);
        if (it == tenants_.end() || !it->second) return term;
        state = it->second;
    }

    const auto t0 = clock_.steady_now();
    std::shared_ptr<TenantDictionary> dict;
    {
        std::shared_lock<std::shared_mutex> lock(state->dictionary_mutex);
        dict = state->dictionary;
    }
    if (!dict) {
        if (!lazy_load) return term;
        prewarm_tenant(tenant_id);
        std::shared_lock<std::shared_mutex> lock(state->dictionary_mutex);
        dict = state->dictionary;
    }
    if (!dict || dict->nodes.empty()) return term;

    thread_local SearchScratch scratch;
    const std::string* found = search(*dict, unicode::to_lower(term),
                                      std::min(max_edit_distance, kDistanceLimit), scratch);
    scratch.trim();

    const auto t1 = clock_.steady_now();
    const std::uint64_t now = clock_.epoch_ms();
    {
        std::lock_guard<std::mutex> lock(state->stats_mutex);
        state->last_access_epoch_ms = now;
        ++state->snap_count;
        auto& ring = state->latency_ring_ms;
        if (!ring.empty()) {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t1 - t0).count();
            ring[state->latency_pos % ring.size()] = static_cast<double>(ns) / 1e6;
            state->latency_pos = (state->latency_pos + 1) % ring.size();
        }
    }
    return found != nullptr ? *found : term;
}

}  // namespace kezo
