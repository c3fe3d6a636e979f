// A substitute clock for snapper tests: wall-clock and steady time move only when a test says
// so, and each steady read can advance by a fixed step to produce known latencies.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "kezo/snapper.h"

namespace kezo::testing {

struct FakeClock {
    static inline std::atomic<std::uint64_t> epoch_ms{1700000000000ULL};
    static inline std::atomic<std::int64_t> steady_ns{0};
    static inline std::atomic<std::int64_t> steady_step_ns{0};

    static void reset() {
        epoch_ms = 1700000000000ULL;
        steady_ns = 0;
        steady_step_ns = 0;
    }
    static void advance_ms(std::uint64_t ms) { epoch_ms += ms; }

    static TenantFuzzySnapper::Clock clock() {
        return {[] { return epoch_ms.load(); },
                [] {
                    const std::int64_t ns = steady_ns.fetch_add(steady_step_ns.load());
                    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
                }};
    }
};

}  // namespace kezo::testing
