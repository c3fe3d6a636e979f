// Readers snapping (one by one and in batches spread over threads) while writers load, queue
// updates for the maintenance thread, replace, unload and evict the same tenants. Run under
// ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "kezo/snapper.h"

namespace kezo {
namespace {

constexpr int kTenants = 4;
constexpr int kVersions = 5;
const char* const kWords[] = {"Harbor", "Lantern", "Meadow", "Quartz", "Saffron", "Thistle"};

std::string tenant_name(int t) {
    return "tenant" + std::to_string(t);
}

// Version v of tenant t: its words tagged with both numbers, so an answer from another tenant or
// from a term that never existed is recognisable.
std::vector<std::string> version_terms(int t, int v) {
    std::vector<std::string> terms;
    for (int w = 0; w <= v; ++w) terms.push_back(std::string(kWords[w]) + "-" + std::to_string(t));
    terms.push_back("Only" + std::to_string(v) + "-" + std::to_string(t));
    return terms;
}

TEST(SnapperConcurrency, ReadersSeeOnlyTermsTheirTenantHad) {
    TenantFuzzySnapper snapper;
    TenantCachePolicy policy;
    policy.max_updates_per_minute = 0;
    policy.max_cached_tenants = 2;
    policy.retain_sources_for_lazy_reload = true;
    policy.latency_window_size = 8;
    snapper.set_cache_policy(policy);

    std::vector<std::set<std::string>> allowed(kTenants);
    for (int t = 0; t < kTenants; ++t)
        for (int v = 0; v < kVersions; ++v)
            for (const auto& term : version_terms(t, v)) allowed[t].insert(term);

    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> threads;
    // Readers through every snap: single, detailed, and batches spread over threads.
    for (int r = 0; r < 3; ++r) {
        threads.emplace_back([&, r] {
            std::mt19937 rng(r);
            std::vector<std::string> batch;
            for (int n = 0; n < 3000 || !stop.load(); ++n) {
                const int t = static_cast<int>(rng() % kTenants);
                std::string query = kWords[rng() % 6];
                query += "-" + std::to_string(t);
                query[rng() % query.size()] = 'x';  // one edit away from the real term
                const int distance = 1 + static_cast<int>(rng() % 2);
                if (r == 0) {
                    const std::string got = snapper.snap_term(tenant_name(t), query, distance);
                    if (got != query && allowed[t].count(got) == 0) ++bad;
                    continue;
                }
                batch.assign(r == 1 ? 1 : 130, query);
                for (const SnapMatch& got :
                     snapper.snap_terms(tenant_name(t), batch, distance, 2)) {
                    if (got.matched ? allowed[t].count(got.term) == 0
                                    : got.term != query || got.distance != -1)
                        ++bad;
                }
                n += static_cast<int>(batch.size()) - 1;
            }
        });
    }
    for (int w = 0; w < 2; ++w) {
        threads.emplace_back([&, w] {
            std::mt19937 rng(100 + w);
            for (int i = 0; i < 400; ++i) {
                const int t = static_cast<int>(rng() % kTenants);
                const std::string id = tenant_name(t);
                const auto terms = version_terms(t, static_cast<int>(rng() % kVersions));
                const unsigned op = rng() % 9;
                if (op == 0) snapper.unload_tenant(id);
                if (op == 1) snapper.evict_expired_and_lru();
                if (op == 2) snapper.set_tenant_hot(id, rng() % 2 == 0);
                if (op == 3) snapper.prewarm_tenant(id);
                if (op == 4) snapper.get_all_tenant_metrics();
                if (op == 4) snapper.list_loaded_tenants();
                if (op == 5) snapper.schedule_tenant_dictionary_update(id, terms);
                if (op > 5) snapper.load_tenant_dictionary(id, terms);
            }
        });
    }
    for (std::size_t i = 3; i < threads.size(); ++i) threads[i].join();
    stop = true;
    for (int i = 0; i < 3; ++i) threads[i].join();
    EXPECT_EQ(bad.load(), 0);
    policy.max_cached_tenants = 0;  // hot tenants may fill the cap of 2
    snapper.set_cache_policy(policy);
    ASSERT_TRUE(snapper.load_tenant_dictionary(tenant_name(0), version_terms(0, kVersions - 1)));
    EXPECT_EQ(snapper.snap_term(tenant_name(0), "Harbxr-0", 1), "Harbor-0");
}

}  // namespace
}  // namespace kezo
