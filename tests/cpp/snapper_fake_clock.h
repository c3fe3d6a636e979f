// A substitute clock for snapper tests: wall-clock and steady time move only when a test says
// so, and each steady read can advance by a fixed step to produce known latencies.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <new>
#include <string>
#include <thread>

#include "kezo/snapper.h"

namespace kezo::testing {

struct FakeClock {
    static inline std::atomic<std::uint64_t> epoch_ms{0};
    static inline std::atomic<std::int64_t> steady_ns{0}, steady_step_ns{0};
    // One-shot hooks on the next steady read, which a load makes just before it builds: fail
    // it with bad_alloc, or hold it (setting held) until release is set.
    static inline std::atomic<bool> fail_next_steady{false}, hold_next_steady{false};
    static inline std::atomic<bool> held{false}, release{false};

    static void reset() {
        epoch_ms = 1700000000000ULL;
        steady_ns = steady_step_ns = 0;
        fail_next_steady = hold_next_steady = held = release = false;
    }
    static void advance_ms(std::uint64_t ms) { epoch_ms += ms; }

    static TenantFuzzySnapper::Clock clock() {
        return {[] { return epoch_ms.load(); },
                [] {
                    if (fail_next_steady.exchange(false)) throw std::bad_alloc();
                    if (hold_next_steady.exchange(false)) {
                        held = true;
                        while (!release.load()) std::this_thread::yield();
                    }
                    const std::int64_t ns = steady_ns.fetch_add(steady_step_ns.load());
                    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
                }};
    }
};

// A snapper on a freshly reset fake clock; a build still held is let go before it is destroyed.
class FakeClockTest : public ::testing::Test {
  protected:
    FakeClockTest() { FakeClock::reset(); }
    ~FakeClockTest() override { FakeClock::release = true; }
    TenantFuzzySnapper snapper{FakeClock::clock()};

    void set(void (*change)(TenantCachePolicy&)) {
        TenantCachePolicy policy = snapper.get_cache_policy();
        change(policy);
        snapper.set_cache_policy(policy);
    }
    // Moves the wall clock on and runs an eviction pass.
    void age(std::uint64_t ms) {
        FakeClock::advance_ms(ms);
        snapper.evict_expired_and_lru();
    }
    TenantMetrics metrics(const std::string& id) { return snapper.get_tenant_metrics(id); }
    bool loaded(const std::string& id) { return metrics(id).loaded; }
};

}  // namespace kezo::testing
