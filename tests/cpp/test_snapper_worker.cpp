// The update queue and the maintenance thread: capacity, order, expiry without callers, a
// failing turn, and a forked child.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "kezo/snapper.h"
#include "sanitizer_runtime.h"
#include "snapper_fake_clock.h"

namespace kezo {
namespace {

using testing::FakeClock;

// Polls until done() holds or ten seconds have passed; the worker normally needs far less.
bool eventually(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Whether a forked child exits with status 0 within ten seconds; a hung child is killed.
bool child_exits_cleanly(pid_t pid) {
    int status = 0;
    const bool exited = eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    return exited && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SnapperWorker : public testing::FakeClockTest {};

TEST_F(SnapperWorker, QueueCapacityAndOrder) {
    EXPECT_FALSE(snapper.schedule_tenant_dictionary_update("", {"x"}));
    set([](TenantCachePolicy& p) { p.update_queue_capacity = 1; });

    FakeClock::hold_next_steady = true;  // the worker stops inside its first build
    ASSERT_TRUE(snapper.schedule_tenant_dictionary_update("t", {"first"}));
    ASSERT_TRUE(eventually([] { return FakeClock::held.load(); }));
    EXPECT_TRUE(snapper.schedule_tenant_dictionary_update("t", {"second"}));
    EXPECT_FALSE(snapper.schedule_tenant_dictionary_update("t", {"third"}));
    FakeClock::release = true;
    ASSERT_TRUE(eventually([&] { return metrics("t").load_count == 2; }));
    EXPECT_EQ(snapper.snap_term("t", "secnd", 1), "second");
    EXPECT_TRUE(snapper.schedule_tenant_dictionary_update("t", {"fourth"}));

    // Capacity 0 means no limit; updates are applied in the order queued.
    set([](TenantCachePolicy& p) { p.update_queue_capacity = 0; });
    EXPECT_TRUE(snapper.schedule_tenant_dictionary_update("n", {"one"}));
    EXPECT_TRUE(snapper.schedule_tenant_dictionary_update("n", {"two"}));
    ASSERT_TRUE(eventually([&] { return metrics("n").load_count == 2; }));
    EXPECT_EQ(snapper.snap_term("n", "twoo", 1), "two");
}

TEST_F(SnapperWorker, ExpiryWithoutAnyCaller) {
    set([](TenantCachePolicy& p) { p.tenant_ttl_seconds = 1; });
    snapper.load_tenant_dictionary("idle", {"word"});
    FakeClock::advance_ms(1001);  // the worker's next idle pass (within a second) evicts it
    EXPECT_TRUE(eventually([&] { return !loaded("idle"); }));
}

TEST_F(SnapperWorker, FailingTurnLeavesPreviousDictionaryAndWorkerAlive) {
    snapper.load_tenant_dictionary("t", {"old"});
    FakeClock::fail_next_steady = true;  // the next build fails as if memory ran out
    ASSERT_TRUE(snapper.schedule_tenant_dictionary_update("t", {"broken"}));
    ASSERT_TRUE(eventually([] { return !FakeClock::fail_next_steady.load(); }));
    EXPECT_EQ(snapper.snap_term("t", "ol", 1), "old");
    EXPECT_EQ(metrics("t").load_count, 1u);
    ASSERT_TRUE(snapper.schedule_tenant_dictionary_update("t", {"new"}));
    ASSERT_TRUE(eventually([&] { return metrics("t").load_count == 2; }));
    EXPECT_EQ(snapper.snap_term("t", "neww", 1), "new");
}

// A forked child has no copy of the worker thread: it must get its own, apply updates, and exit
// promptly with an update still queued (global_snapper is never destroyed: that new worker ends
// with the process).
TEST(SnapperWorkerFork, ChildAppliesQueuedUpdatesAndExits) {
    if (testing::kSanitizerRuntime) GTEST_SKIP() << "the sanitizer runtime is not fork-safe";
    ASSERT_TRUE(global_snapper.load_tenant_dictionary("fork-parent", {"parent"}));
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        bool ok = global_snapper.schedule_tenant_dictionary_update("fork-child", {"child"}) &&
                  eventually([] {
                      return global_snapper.snap_term("fork-child", "chld", 1) == "child";
                  }) &&
                  global_snapper.snap_term("fork-parent", "parnt", 1) == "parent" &&
                  global_snapper.schedule_tenant_dictionary_update("fork-child", {"pending"});
        std::exit(ok ? 0 : 1);  // the exit path runs with an update possibly still queued
    }
    EXPECT_TRUE(child_exits_cleanly(pid)) << "forked child hung or failed";
    global_snapper.unload_tenant("fork-parent");
}

// Threads snapping and reading metrics while the process forks: a lock held by one of them at
// the fork would belong to no thread of the child, and the child would wait for it forever.
// (Not a Concurrency suite: ThreadSanitizer cannot follow a child that starts threads after a
// multi-threaded fork.)
TEST(SnapperWorkerFork, ChildOfBusyParentNeverInheritsAHeldLock) {
    if (testing::kSanitizerRuntime) GTEST_SKIP() << "the sanitizer runtime is not fork-safe";
    ASSERT_TRUE(global_snapper.load_tenant_dictionary("fork-busy", {"busy"}));
    std::atomic<bool> stop{false};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                global_snapper.snap_term("fork-busy", "bussy", 1);
                global_snapper.get_tenant_metrics("fork-busy");
            }
        });
    }
    for (int i = 0; i < 30; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Each call needs a lock a reader may have held: the policy, the table (a new
            // tenant), the tenant's dictionary (replaced) and its counters.
            const bool ok =
                global_snapper.load_tenant_dictionary("fork-busy", {"busier"}) &&
                global_snapper.get_tenant_metrics("fork-busy").load_count >= 2 &&
                global_snapper.schedule_tenant_dictionary_update("fork-busy-child", {"child"}) &&
                eventually(
                    [] { return global_snapper.get_tenant_metrics("fork-busy-child").loaded; });
            _exit(ok ? 0 : 1);  // no exit handlers: the readers exist only in the parent
        }
        const bool clean = child_exits_cleanly(pid);
        EXPECT_TRUE(clean) << "fork " << i;
        if (!clean) break;
    }
    stop = true;
    for (auto& reader : readers) reader.join();
    global_snapper.unload_tenant("fork-busy");
}

}  // namespace
}  // namespace kezo
