// Tenant lifecycle under a substituted clock: rate limit, expiry, least-recently-used cap, hot
// tenants, lazy rebuilds and unloading.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "kezo/snapper.h"
#include "snapper_fake_clock.h"

namespace kezo {
namespace {

using testing::FakeClock;

class SnapperLifecycle : public testing::FakeClockTest {
  protected:
    // Evicts tenant t (sources retained), starts a lazy rebuild of it that stops just before it
    // builds, runs meanwhile, lets the rebuild finish and returns its answer.
    bool rebuild_racing(const std::function<void()>& meanwhile) {
        set([](TenantCachePolicy& p) {
            p.tenant_ttl_seconds = 1;
            p.retain_sources_for_lazy_reload = true;
        });
        snapper.load_tenant_dictionary("t", {"old"});
        age(2000);
        EXPECT_FALSE(loaded("t"));
        FakeClock::hold_next_steady = true;
        bool rebuilt = false;
        std::thread rebuild([&] { rebuilt = snapper.prewarm_tenant("t"); });
        while (!FakeClock::held.load()) std::this_thread::yield();
        meanwhile();
        FakeClock::release = true;
        rebuild.join();
        return rebuilt;
    }
};

TEST_F(SnapperLifecycle, RateLimitKeepsPreviousDictionary) {
    for (int i = 0; i < 120; ++i) ASSERT_TRUE(snapper.load_tenant_dictionary("t", {"alpha"}));
    FakeClock::advance_ms(60000);  // exactly a minute old still counts
    EXPECT_FALSE(snapper.load_tenant_dictionary("t", {"beta"}));
    EXPECT_EQ(snapper.snap_term("t", "alph", 1), "alpha");
    EXPECT_EQ(snapper.snap_term("t", "bet", 1), "bet");
    EXPECT_EQ(metrics("t").rejected_updates, 1u);
    EXPECT_EQ(metrics("t").load_count, 120u);
    FakeClock::advance_ms(1);
    EXPECT_TRUE(snapper.load_tenant_dictionary("t", {"beta"}));
    EXPECT_EQ(snapper.snap_term("t", "bet", 1), "beta");

    set([](TenantCachePolicy& p) { p.max_updates_per_minute = 0; });  // no limit
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(snapper.load_tenant_dictionary("t", {"x"}));
    EXPECT_FALSE(snapper.load_tenant_dictionary("", {"x"}));  // an empty id is never a tenant
    EXPECT_EQ(snapper.get_all_tenant_metrics().count(""), 0u);
}

TEST_F(SnapperLifecycle, TimeToLiveSparesHotAndRecentTenants) {
    set([](TenantCachePolicy& p) { p.tenant_ttl_seconds = 1; });
    snapper.load_tenant_dictionary("idle", {"one"});
    snapper.load_tenant_dictionary("hot", {"two"});
    snapper.set_tenant_hot("hot", true);
    age(1000);  // exactly the limit does not expire
    EXPECT_TRUE(loaded("idle"));
    FakeClock::advance_ms(1);
    snapper.load_tenant_dictionary("fresh", {"three"});  // its pass evicts idle
    EXPECT_FALSE(loaded("idle"));
    EXPECT_TRUE(loaded("hot") && loaded("fresh") && metrics("hot").hot_tenant);
    // An evicted tenant keeps its counters but reports no dictionary.
    const TenantMetrics m = metrics("idle");
    EXPECT_EQ(
        (std::vector<std::uint64_t>{m.evictions, m.dictionary_terms, m.memory_bytes, m.load_count}),
        (std::vector<std::uint64_t>{1, 0, 0, 1}));

    // A wall clock set back (accesses now in the future) must not make every tenant look ancient.
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
    EXPECT_TRUE(loaded("A") && !loaded("B") && loaded("C"));
    EXPECT_EQ(metrics("B").evictions, 1u);
    EXPECT_EQ(snapper.get_all_tenant_metrics().size(), 3u);  // evicted, not removed

    // A smaller cap applies at the next pass only; the hot tenant counts but stays.
    snapper.set_tenant_hot("A", true);
    set([](TenantCachePolicy& p) { p.max_cached_tenants = 1; });
    EXPECT_TRUE(loaded("C"));
    snapper.evict_expired_and_lru();
    EXPECT_TRUE(loaded("A") && !loaded("C"));
    FakeClock::advance_ms(5);
    snapper.load_tenant_dictionary("D", {"d"});
    EXPECT_FALSE(loaded("D"));  // evicted by the pass that ends its own load
    EXPECT_EQ(snapper.list_loaded_tenants(), std::vector<std::string>{"A"});
}

TEST_F(SnapperLifecycle, LazyReloadThroughPrewarmAndSnap) {
    set([](TenantCachePolicy& p) { p.tenant_ttl_seconds = 1; });
    snapper.load_tenant_dictionary("plain", {"Apple"});
    age(2000);
    EXPECT_FALSE(snapper.prewarm_tenant("plain"));  // sources were not retained
    EXPECT_EQ(snapper.snap_term("plain", "apple", 0), "apple");
    EXPECT_EQ(metrics("plain").snap_count, 0u);
    EXPECT_FALSE(snapper.prewarm_tenant("nobody"));

    set([](TenantCachePolicy& p) { p.retain_sources_for_lazy_reload = true; });
    snapper.load_tenant_dictionary("kept", {"Apple"});
    EXPECT_TRUE(snapper.prewarm_tenant("kept"));  // already loaded: nothing changes
    EXPECT_EQ(metrics("kept").load_count, 1u);
    age(2000);
    EXPECT_TRUE(snapper.prewarm_tenant("kept"));
    EXPECT_EQ(metrics("kept").lazy_load_count, 1u);
    EXPECT_EQ(metrics("kept").load_count, 2u);

    // snap_term rebuilds on a miss; with lazy loading off it answers unchanged.
    age(2000);
    EXPECT_EQ(snapper.snap_term("kept", "APPLE", 0), "Apple");
    EXPECT_EQ(metrics("kept").lazy_load_count, 2u);
    age(2000);
    set([](TenantCachePolicy& p) { p.lazy_load_on_miss = false; });
    EXPECT_EQ(snapper.snap_term("kept", "APPLE", 0), "APPLE");
    EXPECT_EQ(metrics("kept").snap_count, 1u);
}

// A lazy rebuild builds from the sources it copied: a load that lands meanwhile is newer and
// must not be overwritten by them, and a tenant unloaded meanwhile must not come back.
TEST_F(SnapperLifecycle, LazyRebuildNeverOverwritesANewerLoad) {
    EXPECT_TRUE(rebuild_racing([&] { EXPECT_TRUE(snapper.load_tenant_dictionary("t", {"new"})); }));
    EXPECT_EQ(snapper.snap_term("t", "nev", 1), "new");
    EXPECT_EQ(snapper.snap_term("t", "olt", 1), "olt");  // the stale term is not there
    const TenantMetrics m = metrics("t");
    EXPECT_EQ((std::vector<std::uint64_t>{m.lazy_load_count, m.load_count, m.dictionary_terms}),
              (std::vector<std::uint64_t>{0, 2, 1}));
}

TEST_F(SnapperLifecycle, LazyRebuildNeverRevivesAnUnloadedTenant) {
    rebuild_racing([&] { snapper.unload_tenant("t"); });
    EXPECT_TRUE(snapper.get_all_tenant_metrics().empty());
    EXPECT_EQ(snapper.snap_term("t", "olt", 1), "olt");
}

TEST_F(SnapperLifecycle, UnloadAndHotMarkOfAbsentTenants) {
    snapper.set_tenant_hot("later", true);  // not remembered
    snapper.load_tenant_dictionary("later", {"x"});
    EXPECT_FALSE(metrics("later").hot_tenant);

    snapper.snap_term("later", "x", 0);
    snapper.unload_tenant("later");
    snapper.unload_tenant("later");  // absent: no error
    EXPECT_TRUE(snapper.get_all_tenant_metrics().empty());
    snapper.load_tenant_dictionary("later", {"x"});  // starts again from zero
    EXPECT_EQ(metrics("later").load_count, 1u);
    EXPECT_EQ(metrics("later").snap_count, 0u);
}

}  // namespace
}  // namespace kezo
