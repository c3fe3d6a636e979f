// Snapping rules, latency percentiles, metrics and bad input.
#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <string>
#include <vector>

#include "kezo/snapper.h"
#include "snapper_fake_clock.h"

namespace kezo {
namespace {

using testing::FakeClock;

class SnapperSnap : public testing::FakeClockTest {};

// Which term wins (the first of duplicates, an exact match before an earlier near one, any bound
// up to INT_MAX) is checked against brute force by the snapping fuzz target and against the tree
// walk in test_snapper_dictionary.cpp; these are the calls that search nothing and so record
// nothing.
TEST_F(SnapperSnap, RefusedSnapsReturnTheTermAndRecordNothing) {
    snapper.load_tenant_dictionary("t", {"Apple"});
    EXPECT_EQ(snapper.snap_term("t", "APPLE", 0), "Apple");
    EXPECT_EQ(snapper.snap_term("t", "APPLE", -1), "APPLE");  // a negative bound: no search
    EXPECT_EQ(snapper.snap_term("t", "", 2), "");
    EXPECT_EQ(snapper.snap_term("nobody", "apple", 2), "apple");
    EXPECT_EQ(snapper.get_all_tenant_metrics().count("nobody"), 0u);
    EXPECT_EQ(metrics("t").snap_count, 1u);  // only searched snaps count
}

void expect_match(const SnapMatch& got, const std::string& term, int distance, bool matched) {
    EXPECT_TRUE(got.term == term && got.distance == distance && got.matched == matched)
        << got.term << " at " << got.distance << " for " << term;
}

TEST_F(SnapperSnap, DetailedAndBatchSnapsAnswerAndRecordAsSnapTerm) {
    snapper.load_tenant_dictionary("t", {"Apple", "apple", "Banana"});
    expect_match(snapper.snap_term_detailed("t", "apple", -1), "apple", -1, false);
    expect_match(snapper.snap_term_detailed("", "apple", 2), "apple", -1, false);
    EXPECT_EQ(metrics("t").snap_count, 0u);
    // A match is any term in bound, also one whose canonical form is the query itself.
    expect_match(snapper.snap_term_detailed("t", "Apple", 0), "Apple", 0, true);
    expect_match(snapper.snap_term_detailed("t", "bananna", 2), "Banana", 1, true);
    expect_match(snapper.snap_term_detailed("t", "xyz", 1), "xyz", -1, false);
    EXPECT_EQ(metrics("t").snap_count, 3u);

    // One result per term in order, however many threads; every searched term counts once and
    // refused ones (empty) not at all.
    std::vector<std::string> terms;
    for (int i = 0; i < 300; ++i) terms.push_back(i % 3 == 0 ? "APLE" : i % 3 == 1 ? "" : "bnana");
    for (unsigned threads : {1u, 0u, 64u}) {
        const auto got = snapper.snap_terms("t", terms, 2, threads);
        ASSERT_EQ(got.size(), terms.size());
        for (std::size_t i = 0; i < terms.size(); i += 3) {
            expect_match(got[i], "Apple", 1, true);
            expect_match(got[i + 1], "", -1, false);
            expect_match(got[i + 2], "Banana", 1, true);
        }
    }
    EXPECT_EQ(metrics("t").snap_count, 3u + 3 * 200);
    EXPECT_TRUE(snapper.snap_terms("t", {}, 2, 0).empty());

    // A failure in any thread reaches the caller (the empty first term reads no clock, so the
    // failing read happens while the batch is spread), and the service goes on working.
    FakeClock::fail_next_steady = true;
    terms.assign(200, "aple");
    terms[0].clear();
    EXPECT_THROW(snapper.snap_terms("t", terms, 2, 2), std::bad_alloc);
    EXPECT_EQ(snapper.snap_term("t", "aple", 2), "Apple");

    // A lazy reload happens once for a whole batch.
    set([](TenantCachePolicy& p) {
        p.tenant_ttl_seconds = 1;
        p.retain_sources_for_lazy_reload = true;
    });
    snapper.load_tenant_dictionary("lazy", {"alpha"});
    age(2000);
    ASSERT_FALSE(loaded("lazy"));
    const auto got = snapper.snap_terms("lazy", std::vector<std::string>(200, "alph"), 1, 0);
    EXPECT_EQ(got.back().term, "alpha");
    EXPECT_EQ(metrics("lazy").lazy_load_count, 1u);
}

TEST_F(SnapperSnap, LengthLimitAndHugeTerms) {
    snapper.load_tenant_dictionary("t", {"abc"});
    set([](TenantCachePolicy& p) { p.max_token_length = 3; });
    EXPECT_EQ(snapper.snap_term("t", "abcd", 1), "abcd");  // over-long: no lookup
    EXPECT_EQ(metrics("t").snap_count, 0u);
    EXPECT_EQ(snapper.snap_term("t", "ABD", 1), "abc");

    // No limit with 0: a 100 000-symbol term is searched, finds nothing and is returned.
    set([](TenantCachePolicy& p) { p.max_token_length = 0; });
    std::string huge;
    for (int i = 0; i < 100000; ++i) huge += "\xC3\xA9";
    EXPECT_EQ(snapper.snap_term("t", huge, 2), huge);
    EXPECT_EQ(snapper.snap_term("t", huge, INT_MAX), "abc");
    EXPECT_EQ(metrics("t").snap_count, 3u);
}

TEST_F(SnapperSnap, MetricsOfLoadsSnapsAndAbsentTenants) {
    FakeClock::steady_step_ns = 3000000;  // every steady read advances 3 ms
    snapper.load_tenant_dictionary("t", {"alpha", "", "beta"});
    TenantMetrics m = metrics("t");
    EXPECT_EQ(m.dictionary_terms, 2u);
    EXPECT_EQ(m.rejected_updates, 1u);  // refused terms count as rejected
    EXPECT_EQ(m.memory_bytes, 40u + 2 * 120 + 2 * 5 + 2 * 4);
    EXPECT_DOUBLE_EQ(m.last_load_ms, 3.0);
    EXPECT_DOUBLE_EQ(m.avg_load_ms, 3.0);
    EXPECT_EQ(m.last_access_epoch_ms, FakeClock::epoch_ms.load());
    EXPECT_EQ(m.last_load_epoch_ms, FakeClock::epoch_ms.load());
    EXPECT_EQ(m.snap_latency_p50_ms, 0.0);

    FakeClock::advance_ms(7);
    EXPECT_EQ(snapper.snap_term("t", "zzz", 1), "zzz");  // a miss still records a sample
    m = metrics("t");
    EXPECT_EQ(m.snap_count, 1u);
    EXPECT_EQ(m.last_access_epoch_ms, m.last_load_epoch_ms + 7);
    EXPECT_DOUBLE_EQ(m.snap_latency_p50_ms, 3.0);

    // An empty dictionary is loaded but not listed, and a snap on it records nothing.
    snapper.load_tenant_dictionary("empty", {});
    EXPECT_EQ(snapper.snap_term("empty", "x", 2), "x");
    m = metrics("empty");
    EXPECT_TRUE(m.loaded);
    EXPECT_EQ(m.snap_count, 0u);
    EXPECT_EQ(m.memory_bytes, 40u);
    EXPECT_EQ(snapper.list_loaded_tenants(), std::vector<std::string>{"t"});
    // A tenant never loaded reads as all zero and is not created by the read.
    m = metrics("never");
    EXPECT_EQ(m.load_count + m.memory_bytes + m.snap_count, 0u);
    EXPECT_FALSE(m.loaded || m.hot_tenant);
    EXPECT_EQ(snapper.get_all_tenant_metrics().size(), 2u);
}

TEST_F(SnapperSnap, PercentilesByNearestRankOverTheWindow) {
    set([](TenantCachePolicy& p) { p.latency_window_size = 20; });
    snapper.load_tenant_dictionary("t", {"alpha"});
    auto snap_taking = [&](const char* id, int ms) {
        FakeClock::steady_step_ns = ms * 1000000LL;
        snapper.snap_term(id, "alpha", 1);
    };
    for (int ms : {4, 1, 3, 2}) snap_taking("t", ms);
    EXPECT_DOUBLE_EQ(metrics("t").snap_latency_p50_ms, 2.0);
    EXPECT_DOUBLE_EQ(metrics("t").snap_latency_p95_ms, 4.0);
    for (int ms = 20; ms >= 1; --ms) snap_taking("t", ms);  // the window now holds 1..20 only
    EXPECT_DOUBLE_EQ(metrics("t").snap_latency_p50_ms, 10.0);
    EXPECT_DOUBLE_EQ(metrics("t").snap_latency_p95_ms, 19.0);
    for (int i = 0; i < 20; ++i) snap_taking("t", 50);
    EXPECT_DOUBLE_EQ(metrics("t").snap_latency_p50_ms, 50.0);

    // A tenant first loaded with a window of 0 has no ring until a load with a real size.
    set([](TenantCachePolicy& p) { p.latency_window_size = 0; });
    snapper.load_tenant_dictionary("u", {"alpha"});
    snap_taking("u", 1);
    EXPECT_EQ(metrics("u").snap_latency_p50_ms, 0.0);
    set([](TenantCachePolicy& p) { p.latency_window_size = 4; });
    snapper.load_tenant_dictionary("u", {"alpha"});
    snap_taking("u", 1);
    EXPECT_DOUBLE_EQ(metrics("u").snap_latency_p50_ms, 1.0);
}

}  // namespace
}  // namespace kezo
