// Tenant lifecycle: the load path with its rate limit and copy-on-write swap, lazy rebuilds,
// unloading, hot marks, the policy and the eviction pass.
#include <algorithm>
#include <chrono>
#include <mutex>
#include <shared_mutex>

#include "kezo/snapper.h"

namespace kezo {
namespace {

constexpr std::uint64_t kRateWindowMs = 60000;

double elapsed_ms(std::chrono::steady_clock::time_point from,
                  std::chrono::steady_clock::time_point to) {
    return static_cast<double>(
               std::chrono::duration_cast<std::chrono::nanoseconds>(to - from).count()) /
           1e6;
}

}  // namespace

TenantFuzzySnapper::Clock TenantFuzzySnapper::system_clocks() {
    return Clock{[] {
                     const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch());
                     return static_cast<std::uint64_t>(ns.count() / 1000000);
                 },
                 [] { return std::chrono::steady_clock::now(); }};
}

bool TenantFuzzySnapper::apply_dictionary_update(const std::string& tenant_id,
                                                 const std::vector<std::string>& terms) {
    return load_dictionary(tenant_id, terms, nullptr, nullptr) == LoadResult::Installed;
}

TenantFuzzySnapper::LoadResult TenantFuzzySnapper::load_dictionary(
    const std::string& tenant_id, const std::vector<std::string>& terms,
    std::shared_ptr<TenantState> state, const std::shared_ptr<TenantDictionary>* expected) {
    if (tenant_id.empty()) return LoadResult::Refused;
    TenantCachePolicy policy;
    {
        std::lock_guard<std::mutex> lock(policy_mutex_);
        policy = policy_;
    }

    if (!state) {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        auto it = tenants_.find(tenant_id);
        if (it != tenants_.end()) state = it->second;
    }
    if (!state) {
        std::unique_lock<std::shared_mutex> lock(tenants_mutex_);
        auto& slot = tenants_[tenant_id];
        if (!slot) slot = std::make_shared<TenantState>();
        state = slot;
    }

    const std::uint64_t now = clock_.epoch_ms();
    {
        std::lock_guard<std::mutex> lock(state->stats_mutex);
        // Unsigned difference: a time in the future (the wall clock was set back) reads as
        // very old and leaves the window, so a clock step never locks a tenant out.
        auto& times = state->update_times_ms;
        while (!times.empty() && now - times.front() > kRateWindowMs) times.pop_front();
        if (policy.max_updates_per_minute != 0 && times.size() >= policy.max_updates_per_minute) {
            ++state->rejected_updates;
            return LoadResult::Refused;
        }
        times.push_back(now);
        if (policy.latency_window_size != 0 &&
            state->latency_ring_ms.size() != policy.latency_window_size) {
            state->latency_ring_ms.assign(policy.latency_window_size, 0.0);
            state->latency_pos = 0;
        }
    }

    std::size_t refused = 0;
    const auto start = clock_.steady_now();
    auto dict =
        build_dictionary(terms, policy.max_terms_per_tenant, policy.max_token_length, &refused);
    const double duration = elapsed_ms(start, clock_.steady_now());

    std::vector<std::string> sources;
    if (policy.retain_sources_for_lazy_reload) sources = terms;  // copied before the swap lock
    std::shared_ptr<TenantDictionary> old;
    {
        std::unique_lock<std::shared_mutex> lock(state->dictionary_mutex);
        if (expected != nullptr && state->dictionary != *expected) return LoadResult::Superseded;
        old = std::move(state->dictionary);
        state->dictionary = std::move(dict);
        state->sources.swap(sources);
    }
    old.reset();  // the previous dictionary is freed outside the lock (if no reader holds it)

    {
        std::lock_guard<std::mutex> lock(state->stats_mutex);
        ++state->load_count;
        state->rejected_updates += refused;
        state->last_access_epoch_ms = now;
        state->last_load_epoch_ms = now;
        state->total_load_ms += duration;
        state->last_load_ms = duration;
    }
    evict_expired_and_lru();
    return LoadResult::Installed;
}

bool TenantFuzzySnapper::load_tenant_dictionary(const std::string& tenant_id,
                                                const std::vector<std::string>& terms) {
    return apply_dictionary_update(tenant_id, terms);
}

bool TenantFuzzySnapper::prewarm_tenant(const std::string& tenant_id) {
    std::shared_ptr<TenantState> state;
    {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        auto it = tenants_.find(tenant_id);
        if (it == tenants_.end() || !it->second) return false;
        state = it->second;
    }
    std::vector<std::string> sources;
    std::shared_ptr<TenantDictionary> seen;  // held so a freed address cannot be mistaken for it
    {
        std::shared_lock<std::shared_mutex> lock(state->dictionary_mutex);
        if (state->dictionary && !state->dictionary->nodes.empty()) return true;
        sources = state->sources;
        seen = state->dictionary;
    }
    if (sources.empty()) return false;
    // The rebuild installs only over the dictionary seen above: if a load or a queued update
    // landed meanwhile, its newer terms stay and the stale sources are dropped.
    switch (load_dictionary(tenant_id, sources, state, &seen)) {
        case LoadResult::Installed: {
            std::lock_guard<std::mutex> lock(state->stats_mutex);
            ++state->lazy_load_count;
            return true;
        }
        case LoadResult::Superseded: {
            std::shared_lock<std::shared_mutex> lock(state->dictionary_mutex);
            return state->dictionary && !state->dictionary->nodes.empty();
        }
        case LoadResult::Refused:
            break;
    }
    return false;
}

void TenantFuzzySnapper::unload_tenant(const std::string& tenant_id) {
    std::shared_ptr<TenantState> removed;  // destroyed after the table lock is released
    std::unique_lock<std::shared_mutex> lock(tenants_mutex_);
    auto it = tenants_.find(tenant_id);
    if (it == tenants_.end()) return;
    removed = std::move(it->second);
    tenants_.erase(it);
}

void TenantFuzzySnapper::set_tenant_hot(const std::string& tenant_id, bool hot) {
    std::shared_ptr<TenantState> state;
    {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        auto it = tenants_.find(tenant_id);
        if (it == tenants_.end() || !it->second) return;
        state = it->second;
    }
    std::lock_guard<std::mutex> lock(state->stats_mutex);
    state->hot = hot;
}

void TenantFuzzySnapper::set_cache_policy(const TenantCachePolicy& policy) {
    std::lock_guard<std::mutex> lock(policy_mutex_);
    policy_ = policy;
}

TenantCachePolicy TenantFuzzySnapper::get_cache_policy() const {
    std::lock_guard<std::mutex> lock(policy_mutex_);
    return policy_;
}

bool TenantFuzzySnapper::evict_if_unchanged(TenantState& state, const TenantDictionary* seen,
                                            bool keep_sources) {
    // Both are freed after the lock is released, so snaps of the tenant wait only for the swap.
    std::shared_ptr<TenantDictionary> dropped;
    std::vector<std::string> dropped_sources;
    {
        std::unique_lock<std::shared_mutex> lock(state.dictionary_mutex);
        // A dictionary installed after the pass took its snapshot is fresh: leave it.
        if (!state.dictionary || state.dictionary.get() != seen) return false;
        dropped = std::move(state.dictionary);
        if (!keep_sources) dropped_sources.swap(state.sources);
    }
    std::lock_guard<std::mutex> lock(state.stats_mutex);
    ++state.evictions;
    return true;
}

void TenantFuzzySnapper::evict_expired_and_lru() {
    std::size_t max_cached = 0;
    std::uint32_t ttl_seconds = 0;
    bool keep_sources = false;
    {
        std::lock_guard<std::mutex> lock(policy_mutex_);
        max_cached = policy_.max_cached_tenants;
        ttl_seconds = policy_.tenant_ttl_seconds;
        keep_sources = policy_.retain_sources_for_lazy_reload;
    }

    struct Entry {
        std::shared_ptr<TenantState> state;
        // Held so that the identity check at eviction cannot be fooled by a new dictionary
        // allocated at the address of a freed one.
        std::shared_ptr<TenantDictionary> dictionary;
        std::uint64_t last_access = 0;
        bool hot = false;
        bool loaded = false;
    };
    std::vector<Entry> entries;
    {
        std::shared_lock<std::shared_mutex> lock(tenants_mutex_);
        entries.reserve(tenants_.size());
        for (const auto& [id, state] : tenants_) {
            if (!state) continue;
            Entry entry;
            entry.state = state;
            {
                std::lock_guard<std::mutex> stats(state->stats_mutex);
                entry.last_access = state->last_access_epoch_ms;
                entry.hot = state->hot;
            }
            {
                std::shared_lock<std::shared_mutex> dict(state->dictionary_mutex);
                entry.dictionary = state->dictionary;
            }
            entry.loaded = entry.dictionary != nullptr;
            entries.push_back(std::move(entry));
        }
    }
    const std::uint64_t now = clock_.epoch_ms();

    std::vector<Entry*> candidates;
    for (auto& entry : entries) {
        if (entry.loaded && !entry.hot) candidates.push_back(&entry);
    }
    if (ttl_seconds != 0) {
        const std::uint64_t limit = static_cast<std::uint64_t>(ttl_seconds) * 1000;
        for (Entry* entry : candidates) {
            // An access stamped after now (the wall clock was set back) counts as fresh rather
            // than as billions of years old.
            const std::uint64_t idle = now > entry->last_access ? now - entry->last_access : 0;
            if (entry->last_access != 0 && idle > limit) {
                entry->loaded =
                    !evict_if_unchanged(*entry->state, entry->dictionary.get(), keep_sources);
            }
        }
    }
    if (max_cached != 0) {
        const auto loaded = static_cast<std::size_t>(
            std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return e.loaded; }));
        if (loaded > max_cached) {
            std::vector<Entry*> lru;
            for (Entry* entry : candidates) {
                if (entry->loaded) lru.push_back(entry);
            }
            std::sort(lru.begin(), lru.end(), [](const Entry* a, const Entry* b) {
                return a->last_access < b->last_access;
            });
            const std::size_t excess = std::min(loaded - max_cached, lru.size());
            for (std::size_t i = 0; i < excess; ++i) {
                evict_if_unchanged(*lru[i]->state, lru[i]->dictionary.get(), keep_sources);
            }
        }
    }
}

}  // namespace kezo
