// Read-only views of the tenant table: per-tenant metrics and the list of loaded tenants.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <shared_mutex>

#include "kezo/snapper.h"

namespace kezo {
namespace {

// Nearest-rank percentile of a non-empty sample set; reorders samples.
double percentile(std::vector<double>& samples, double p) {
    const std::size_t n = samples.size();
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(n)));
    const std::size_t index = std::min(n - 1, rank == 0 ? 0 : rank - 1);
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(index),
                     samples.end());
    return samples[index];
}

}  // namespace

TenantMetrics TenantFuzzySnapper::get_tenant_metrics(const std::string& tenant_id) const {
    TenantMetrics metrics;
    std::shared_ptr<TenantState> state;
    {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        auto it = tenants_.find(tenant_id);
        if (it == tenants_.end() || !it->second) return metrics;
        state = it->second;
    }
    std::shared_ptr<TenantDictionary> dict;
    {
        std::shared_lock<std::shared_mutex> lock(state->dictionary_mutex);
        dict = state->dictionary;
    }
    if (dict) {
        metrics.loaded = true;
        metrics.dictionary_terms = dict->term_count;
        metrics.memory_bytes = dict->memory_bytes;
    }
    std::vector<double> samples;
    {
        std::lock_guard<std::mutex> lock(state->stats_mutex);
        metrics.load_count = state->load_count;
        metrics.lazy_load_count = state->lazy_load_count;
        metrics.rejected_updates = state->rejected_updates;
        metrics.evictions = state->evictions;
        metrics.snap_count = state->snap_count;
        metrics.last_load_ms = state->last_load_ms;
        metrics.avg_load_ms = state->load_count == 0
                                  ? 0.0
                                  : state->total_load_ms / static_cast<double>(state->load_count);
        metrics.last_access_epoch_ms = state->last_access_epoch_ms;
        metrics.last_load_epoch_ms = state->last_load_epoch_ms;
        metrics.hot_tenant = state->hot;
        samples = state->latency_ring_ms;
    }
    // Slots of a ring that has not wrapped yet still hold 0.0 and are not samples.
    samples.erase(
        std::remove_if(samples.begin(), samples.end(), [](double v) { return !(v > 0.0); }),
        samples.end());
    if (!samples.empty()) {
        metrics.snap_latency_p50_ms = percentile(samples, 50.0);
        metrics.snap_latency_p95_ms = percentile(samples, 95.0);
    }
    return metrics;
}

std::unordered_map<std::string, TenantMetrics> TenantFuzzySnapper::get_all_tenant_metrics() const {
    std::vector<std::string> ids;
    {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        ids.reserve(tenants_.size());
        for (const auto& entry : tenants_) ids.push_back(entry.first);
    }
    std::unordered_map<std::string, TenantMetrics> result;
    result.reserve(ids.size());
    for (auto& id : ids) {
        TenantMetrics metrics = get_tenant_metrics(id);
        result.emplace(std::move(id), metrics);
    }
    return result;
}

std::vector<std::string> TenantFuzzySnapper::list_loaded_tenants() const {
    std::vector<std::string> ids;
    std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
    ids.reserve(tenants_.size());
    for (const auto& [id, state] : tenants_) {
        if (!state) continue;
        std::shared_lock<std::shared_mutex> dict_lock(state->dictionary_mutex);
        if (state->dictionary && !state->dictionary->nodes.empty()) ids.push_back(id);
    }
    return ids;
}

}  // namespace kezo
