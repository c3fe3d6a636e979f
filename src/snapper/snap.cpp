// The read path: maps a term to the nearest canonical term of a tenant's dictionary.
#include <chrono>
#include <mutex>
#include <shared_mutex>

#include "distance_kernel.h"
#include "kezo/snapper.h"
#include "kezo/unicode.h"
#include "nearest.h"

namespace kezo {

TenantFuzzySnapper::Snapped TenantFuzzySnapper::snap(const std::string& tenant_id,
                                                     const std::string& term,
                                                     int max_edit_distance) {
    Snapped result;
    if (max_edit_distance < 0 || term.empty()) return result;
    std::size_t max_token_length = 0;
    bool lazy_load = false;
    {
        std::lock_guard<std::mutex> lock(policy_mutex_);
        max_token_length = policy_.max_token_length;
        lazy_load = policy_.lazy_load_on_miss;
    }
    if (max_token_length != 0 &&
        snapper_detail::count_symbols_up_to(term, max_token_length) > max_token_length)
        return result;

    std::shared_ptr<TenantState> state;
    {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        auto it = tenants_.find(tenant_id);
        if (it == tenants_.end() || !it->second) return result;
        state = it->second;
    }

    const auto t0 = clock_.steady_now();
    std::shared_ptr<TenantDictionary> dict;
    {
        std::shared_lock<std::shared_mutex> lock(state->dictionary_mutex);
        dict = state->dictionary;
    }
    if (!dict) {
        if (!lazy_load) return result;
        prewarm_tenant(tenant_id);
        std::shared_lock<std::shared_mutex> lock(state->dictionary_mutex);
        dict = state->dictionary;
    }
    if (!dict || dict->nodes.empty()) return result;

    const snapper_detail::NearestTerm found =
        snapper_detail::find_nearest_term(*dict, unicode::to_lower(term), max_edit_distance);

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
    if (found.term != nullptr) {
        result.dictionary = std::move(dict);
        result.term = found.term;
        result.distance = found.distance;
    }
    return result;
}

std::string TenantFuzzySnapper::snap_term(const std::string& tenant_id, const std::string& term,
                                          int max_edit_distance) {
    const Snapped found = snap(tenant_id, term, max_edit_distance);
    return found.term != nullptr ? found.term->canonical : term;
}

SnapMatch TenantFuzzySnapper::snap_term_detailed(const std::string& tenant_id,
                                                 const std::string& term, int max_edit_distance) {
    const Snapped found = snap(tenant_id, term, max_edit_distance);
    if (found.term == nullptr) return SnapMatch{term, -1, false};
    return SnapMatch{found.term->canonical, found.distance, true};
}

}  // namespace kezo
