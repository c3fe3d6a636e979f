// Tenant lifecycle under a substituted clock: rate limit, expiry, least-recently-used cap, hot
// tenants, lazy rebuilds and unloading.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "kezo/snapper.h"
#include "snapper_fake_clock.h"

namespace kezo {
namespace {

using testing::FakeClock;

class SnapperLifecycle : public ::testing::Test {
  protected:
    SnapperLifecycle() { FakeClock::reset(); }
    TenantFuzzySnapper snapper{FakeClock::clock()};

    void set(void (*change)(TenantCachePolicy&)) {
        TenantCachePolicy policy = snapper.get_cache_policy();
        change(policy);
        snapper.set_cache_policy(policy);
    }
    bool loaded(const std::string& id) { return snapper.get_tenant_metrics(id).loaded; }
};

TEST_F(SnapperLifecycle, RateLimitKeepsPreviousDictionary) {
    for (int i = 0; i < 120; ++i) ASSERT_TRUE(snapper.load_tenant_dictionary("t", {"alpha"}));
    FakeClock::advance_ms(60000);  // exactly a minute old still counts
    EXPECT_FALSE(snapper.load_tenant_dictionary("t", {"beta"}));
    EXPECT_EQ(snapper.snap_term("t", "alpha", 0), "alpha");
    EXPECT_EQ(snapper.snap_term("t", "beta", 0), "beta");
    auto m = snapper.get_tenant_metrics("t");
    EXPECT_EQ(m.rejected_updates, 1u);
    EXPECT_EQ(m.load_count, 120u);
    FakeClock::advance_ms(1);
    EXPECT_TRUE(snapper.load_tenant_dictionary("t", {"beta"}));
    EXPECT_EQ(snapper.snap_term("t", "bet", 1), "beta");

    set([](TenantCachePolicy& p) { p.max_updates_per_minute = 0; });
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(snapper.load_tenant_dictionary("t", {"x"}));
    EXPECT_FALSE(snapper.load_tenant_dictionary("", {"x"}));
    EXPECT_TRUE(snapper.get_tenant_metrics("").load_count == 0);
}

TEST_F(SnapperLifecycle, RefusedTermsAreCounted) {
    EXPECT_TRUE(snapper.load_tenant_dictionary("t", {"alpha", "", "beta"}));
    auto m = snapper.get_tenant_metrics("t");
    EXPECT_EQ(m.dictionary_terms, 2u);
    EXPECT_EQ(m.rejected_updates, 1u);

    set([](TenantCachePolicy& p) { p.max_terms_per_tenant = 0; });
    EXPECT_TRUE(snapper.load_tenant_dictionary("z", {"a", "b"}));
    m = snapper.get_tenant_metrics("z");
    EXPECT_EQ(m.dictionary_terms, 0u);
    EXPECT_EQ(m.rejected_updates, 2u);
}

TEST_F(SnapperLifecycle, TimeToLiveSparesHotAndRecentTenants) {
    set([](TenantCachePolicy& p) { p.tenant_ttl_seconds = 1; });
    snapper.load_tenant_dictionary("idle", {"one"});
    snapper.load_tenant_dictionary("hot", {"two"});
    snapper.set_tenant_hot("hot", true);
    FakeClock::advance_ms(1000);  // exactly the limit does not expire
    snapper.evict_expired_and_lru();
    EXPECT_TRUE(loaded("idle"));
    FakeClock::advance_ms(1);
    snapper.load_tenant_dictionary("fresh", {"three"});  // its pass evicts idle
    EXPECT_FALSE(loaded("idle"));
    EXPECT_TRUE(loaded("hot"));
    EXPECT_TRUE(loaded("fresh"));
    auto m = snapper.get_tenant_metrics("idle");
    EXPECT_EQ(m.evictions, 1u);
    EXPECT_EQ(m.dictionary_terms, 0u);
    EXPECT_EQ(m.memory_bytes, 0u);
    EXPECT_EQ(m.load_count, 1u);
    EXPECT_TRUE(snapper.get_tenant_metrics("hot").hot_tenant);

    // A wall clock set back must not make every tenant look ancient.
    FakeClock::epoch_ms -= 3600000;
    snapper.evict_expired_and_lru();
    EXPECT_TRUE(loaded("fresh"));
}

TEST_F(SnapperLifecycle, LeastRecentlyUsedCapWithHotTenant) {
    set([](TenantCachePolicy& p) { p.max_cached_tenants = 2; });
    snapper.load_tenant_dictionary("A", {"a"});
    FakeClock::advance_ms(5);
    snapper.load_tenant_dictionary("B", {"b"});
    FakeClock::advance_ms(5);
    snapper.snap_term("A", "a", 0);  // A is now more recent than B
    FakeClock::advance_ms(5);
    snapper.load_tenant_dictionary("C", {"c"});
    EXPECT_TRUE(loaded("A"));
    EXPECT_FALSE(loaded("B"));
    EXPECT_TRUE(loaded("C"));
    EXPECT_EQ(snapper.get_tenant_metrics("B").evictions, 1u);
    EXPECT_EQ(snapper.get_all_tenant_metrics().size(), 3u);  // evicted, not removed

    // A smaller cap applies at the next pass only; the hot tenant counts but stays.
    snapper.set_tenant_hot("A", true);
    set([](TenantCachePolicy& p) { p.max_cached_tenants = 1; });
    EXPECT_TRUE(loaded("C"));
    snapper.evict_expired_and_lru();
    EXPECT_TRUE(loaded("A"));
    EXPECT_FALSE(loaded("C"));
    FakeClock::advance_ms(5);
    snapper.load_tenant_dictionary("D", {"d"});
    EXPECT_FALSE(loaded("D"));  // evicted by the pass that ends its own load
    EXPECT_EQ(snapper.list_loaded_tenants(), std::vector<std::string>{"A"});
}

TEST_F(SnapperLifecycle, LazyReloadThroughPrewarm) {
    set([](TenantCachePolicy& p) { p.tenant_ttl_seconds = 1; });
    snapper.load_tenant_dictionary("plain", {"Apple"});
    FakeClock::advance_ms(2000);
    snapper.evict_expired_and_lru();
    EXPECT_FALSE(snapper.prewarm_tenant("plain"));  // sources were not retained
    EXPECT_EQ(snapper.snap_term("plain", "apple", 0), "apple");
    EXPECT_EQ(snapper.get_tenant_metrics("plain").snap_count, 0u);

    set([](TenantCachePolicy& p) {
        p.tenant_ttl_seconds = 1;
        p.retain_sources_for_lazy_reload = true;
    });
    snapper.load_tenant_dictionary("kept", {"Apple"});
    EXPECT_TRUE(snapper.prewarm_tenant("kept"));  // already loaded: nothing changes
    EXPECT_EQ(snapper.get_tenant_metrics("kept").load_count, 1u);
    FakeClock::advance_ms(2000);
    snapper.evict_expired_and_lru();
    EXPECT_FALSE(loaded("kept"));
    EXPECT_TRUE(snapper.prewarm_tenant("kept"));
    auto m = snapper.get_tenant_metrics("kept");
    EXPECT_EQ(m.lazy_load_count, 1u);
    EXPECT_EQ(m.load_count, 2u);

    // snap_term rebuilds on a miss; with lazy loading off it answers unchanged.
    FakeClock::advance_ms(2000);
    snapper.evict_expired_and_lru();
    EXPECT_EQ(snapper.snap_term("kept", "APPLE", 0), "Apple");
    EXPECT_EQ(snapper.get_tenant_metrics("kept").lazy_load_count, 2u);
    FakeClock::advance_ms(2000);
    snapper.evict_expired_and_lru();
    set([](TenantCachePolicy& p) {
        p.retain_sources_for_lazy_reload = true;
        p.lazy_load_on_miss = false;
    });
    EXPECT_EQ(snapper.snap_term("kept", "APPLE", 0), "APPLE");
    EXPECT_EQ(snapper.get_tenant_metrics("kept").snap_count, 1u);
    EXPECT_FALSE(snapper.prewarm_tenant("nobody"));
}

// A lazy rebuild builds from the sources it copied; a load that lands while it builds is newer
// and must not be overwritten by those stale sources.
TEST_F(SnapperLifecycle, LazyRebuildNeverOverwritesANewerLoad) {
    set([](TenantCachePolicy& p) {
        p.tenant_ttl_seconds = 1;
        p.retain_sources_for_lazy_reload = true;
    });
    snapper.load_tenant_dictionary("t", {"old"});
    FakeClock::advance_ms(2000);
    snapper.evict_expired_and_lru();
    ASSERT_FALSE(loaded("t"));

    FakeClock::hold_next_steady = true;  // the rebuild stops just before it builds
    bool rebuilt = false;
    std::thread rebuild([&] { rebuilt = snapper.prewarm_tenant("t"); });
    while (!FakeClock::held.load()) std::this_thread::yield();
    EXPECT_TRUE(snapper.load_tenant_dictionary("t", {"new"}));
    FakeClock::release = true;
    rebuild.join();

    EXPECT_TRUE(rebuilt);  // the tenant has a dictionary afterwards
    EXPECT_EQ(snapper.snap_term("t", "new", 0), "new");
    EXPECT_EQ(snapper.snap_term("t", "olt", 1), "olt");  // the stale term is not there
    auto m = snapper.get_tenant_metrics("t");
    EXPECT_EQ(m.lazy_load_count, 0u);
    EXPECT_EQ(m.load_count, 2u);
    EXPECT_EQ(m.dictionary_terms, 1u);
}

TEST_F(SnapperLifecycle, LazyRebuildNeverRevivesAnUnloadedTenant) {
    set([](TenantCachePolicy& p) {
        p.tenant_ttl_seconds = 1;
        p.retain_sources_for_lazy_reload = true;
    });
    snapper.load_tenant_dictionary("t", {"old"});
    FakeClock::advance_ms(2000);
    snapper.evict_expired_and_lru();

    FakeClock::hold_next_steady = true;
    std::thread rebuild([&] { snapper.prewarm_tenant("t"); });
    while (!FakeClock::held.load()) std::this_thread::yield();
    snapper.unload_tenant("t");
    FakeClock::release = true;
    rebuild.join();

    EXPECT_TRUE(snapper.list_loaded_tenants().empty());
    EXPECT_EQ(snapper.get_tenant_metrics("t").load_count, 0u);
    EXPECT_EQ(snapper.snap_term("t", "olt", 1), "olt");
}

TEST_F(SnapperLifecycle, UnloadAndHotMarkOfAbsentTenants) {
    snapper.set_tenant_hot("later", true);  // not remembered
    snapper.load_tenant_dictionary("later", {"x"});
    EXPECT_FALSE(snapper.get_tenant_metrics("later").hot_tenant);

    snapper.snap_term("later", "x", 0);
    snapper.unload_tenant("later");
    snapper.unload_tenant("later");  // absent: no error
    EXPECT_TRUE(snapper.get_all_tenant_metrics().empty());
    snapper.load_tenant_dictionary("later", {"x"});
    auto m = snapper.get_tenant_metrics("later");
    EXPECT_EQ(m.load_count, 1u);
    EXPECT_EQ(m.snap_count, 0u);
}

}  // namespace
}  // namespace kezo
