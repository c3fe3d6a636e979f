// The process's helper threads: every call once, helpers kept with their thread_local state, the
// warmest one woken, errors passed back, many callers at once, a forked child that has none of
// the parent's, and a helper moved off its caller's CPU left free to run anywhere.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/cpu_placement.h"
#include "kezo/helper_threads.h"
#include "sanitizer_runtime.h"

namespace {

thread_local int calls_on_this_thread = 0;

TEST(HelperThreads, RunsEveryCallOnceAndKeepsItsHelpers) {
    for (int round = 0; round < 2; ++round) {
        std::vector<std::atomic<int>> ran(5);
        std::vector<std::thread::id> on(5);
        std::vector<int> earlier_calls(5);
        kezo::run_on_helper_threads(5, [&](std::size_t t) {
            // Long enough for the helpers to take their calls before the caller is done.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ++ran[t];
            on[t] = std::this_thread::get_id();
            earlier_calls[t] = calls_on_this_thread++;
        });
        for (std::size_t t = 0; t < 5; ++t) EXPECT_EQ(ran[t].load(), 1) << t;
        EXPECT_EQ(on[0], std::this_thread::get_id());
        // The second round finds helpers that served the first, their thread_local state kept.
        if (round == 1) {
            int helpers_seen_before = 0;
            for (std::size_t t = 1; t < 5; ++t)
                helpers_seen_before += on[t] != on[0] && earlier_calls[t] > 0;
            EXPECT_GT(helpers_seen_before, 0);
        }
    }
    int zero_threads = 0;
    kezo::run_on_helper_threads(0, [&](std::size_t t) { zero_threads += 1 + static_cast<int>(t); });
    EXPECT_EQ(zero_threads, 1);
}

TEST(HelperThreads, WakesTheHelperThatFellAsleepLast) {
    // Four helpers at least, all asleep; then calls of two threads, each after every helper has
    // gone to sleep, all go to the helper of the first: its caches are the warm ones.
    kezo::run_on_helper_threads(
        5, [](std::size_t) { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
    std::vector<std::thread::id> helper;
    for (int call = 0; call < 3; ++call) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::atomic<bool> taken{false};
        kezo::run_on_helper_threads(2, [&](std::size_t t) {
            if (t == 1) {
                helper.push_back(std::this_thread::get_id());
                taken = true;
                return;
            }
            // The caller waits for the helper, however loaded the machine (not forever: a call
            // no helper takes runs here after this one).
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!taken && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        });
    }
    ASSERT_EQ(helper.size(), 3u);
    EXPECT_NE(helper[0], std::this_thread::get_id());
    EXPECT_EQ(helper[1], helper[0]);
    EXPECT_EQ(helper[2], helper[0]);
}

TEST(HelperThreads, RethrowsTheErrorOfAHelperOnceAllHaveReturned) {
    std::atomic<int> returned{0};
    EXPECT_THROW(kezo::run_on_helper_threads(4,
                                             [&](std::size_t t) {
                                                 ++returned;
                                                 if (t == 2) throw std::runtime_error("call 2");
                                             }),
                 std::runtime_error);
    EXPECT_EQ(returned.load(), 4);
}

// A caller ended inside its own call (glibc unwinds its stack, as the Python interpreter has a
// thread end that asks for its lock at exit) neither aborts the process nor frees what its
// helpers still use: the unwinding waits for their calls.
TEST(HelperThreads, ACallerEndedMidCallWaitsForItsHelpersCalls) {
    static std::atomic<int> started{0}, finished{0};
    pthread_t caller;
    ASSERT_EQ(pthread_create(
                  &caller, nullptr,
                  [](void*) -> void* {
                      std::vector<int> on_stack(3, 0);
                      kezo::run_on_helper_threads(3, [&](std::size_t t) {
                          if (t == 0) {
                              while (started.load() < 2) std::this_thread::yield();
                              pthread_exit(nullptr);
                          }
                          ++started;
                          std::this_thread::sleep_for(std::chrono::milliseconds(30));
                          on_stack[t] = 1;
                          ++finished;
                      });
                      return nullptr;
                  },
                  nullptr),
              0);
    ASSERT_EQ(pthread_join(caller, nullptr), 0);
    EXPECT_EQ(finished.load(), 2);
    kezo::run_on_helper_threads(3, [](std::size_t) {});  // the pool still serves
}

TEST(HelperThreadsConcurrency, CallersAtOnceShareTheHelpers) {
    std::atomic<long> sum{0};
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c)
        callers.emplace_back([&] {
            for (int i = 0; i < 50; ++i)
                kezo::run_on_helper_threads(3, [&](std::size_t t) { sum += 1 + long(t); });
        });
    for (std::thread& caller : callers) caller.join();
    EXPECT_EQ(sum.load(), 4 * 50 * (1 + 2 + 3));
}

// Moving off a CPU narrows the thread's affinity only for the move: pinned afterwards, a helper
// would run on fewer CPUs than the process may use for the rest of its life.
TEST(HelperThreads, LeavingACpuGivesTheAffinityBackWhole) {
    std::thread([] {
        cpu_set_t before, after;
        ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof before, &before), 0);
        kezo::leave_cpu(kezo::current_cpu());
        kezo::leave_cpu(-1);  // unknown: nothing to do
        ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof after, &after), 0);
        EXPECT_TRUE(CPU_EQUAL(&before, &after));
    }).join();
}

// The parent's helpers do not exist in a child: the child must start its own, not wait for them.
TEST(HelperThreads, ForkedChildStartsHelpersOfItsOwn) {
    if (kezo::testing::kSanitizerRuntime) GTEST_SKIP() << "the sanitizer runtime is not fork-safe";
    kezo::run_on_helper_threads(3, [](std::size_t) {});
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        alarm(10);  // a hung child dies instead of hanging the suite
        std::atomic<int> ran{0};
        kezo::run_on_helper_threads(3, [&](std::size_t) { ++ran; });
        _exit(ran == 3 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child hung or failed";
}

}  // namespace
