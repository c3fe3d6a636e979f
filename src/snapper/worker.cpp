// Construction and destruction of the service, the background update queue, the maintenance
// thread, its survival across fork(), and the process-wide instance.
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

#include "kezo/snapper.h"

namespace kezo {
namespace {

// The live snappers, for the fork handlers. Allocated once and never destroyed, because a fork
// (and so a handler) may still happen while static objects are being destroyed at exit.
struct LiveSnappers {
    std::mutex mutex;
    std::vector<TenantFuzzySnapper*> all;
};

LiveSnappers& live_snappers() {
    static auto* live = new LiveSnappers;
    return *live;
}

}  // namespace

TenantFuzzySnapper::TenantFuzzySnapper() : TenantFuzzySnapper(system_clocks()) {}

TenantFuzzySnapper::TenantFuzzySnapper(Clock clock) : clock_(clock) {
    static std::once_flag fork_handlers;
    std::call_once(fork_handlers, [] {
        pthread_atfork(&before_fork, &after_fork_in_parent, &after_fork_in_child);
    });
    LiveSnappers& live = live_snappers();
    std::lock_guard<std::mutex> lock(live.mutex);
    live.all.push_back(this);
    start_worker();  // last: the worker may run as soon as it exists
}

TenantFuzzySnapper::~TenantFuzzySnapper() {
    {
        LiveSnappers& live = live_snappers();
        std::lock_guard<std::mutex> lock(live.mutex);
        live.all.erase(std::remove(live.all.begin(), live.all.end(), this), live.all.end());
    }
    {
        // Setting the flag under the queue lock means the worker is either before its predicate
        // check (and sees the flag) or already waiting (and gets the notification): shutdown
        // never waits for the one-second timeout.
        std::lock_guard<std::mutex> lock(queue_mutex_);
        stop_.store(true);
    }
    queue_cv_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void TenantFuzzySnapper::start_worker() {
    worker_ = std::thread([this] { maintenance_loop(); });
}

bool TenantFuzzySnapper::schedule_tenant_dictionary_update(const std::string& tenant_id,
                                                           std::vector<std::string> terms) {
    if (tenant_id.empty()) return false;
    std::size_t capacity = 0;
    {
        std::lock_guard<std::mutex> lock(policy_mutex_);
        capacity = policy_.update_queue_capacity;
    }
    std::lock_guard<std::mutex> lock(queue_mutex_);
    if (capacity != 0 && pending_updates_.size() >= capacity) return false;
    pending_updates_.push_back(PendingUpdate{tenant_id, std::move(terms)});
    queue_cv_.notify_one();
    return true;
}

void TenantFuzzySnapper::maintenance_loop() {
    while (!stop_.load()) {
        {
            std::unique_lock<std::mutex> lock(queue_mutex_);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            queue_cv_.wait_until(lock, deadline,
                                 [this] { return stop_.load() || !pending_updates_.empty(); });
            if (stop_.load()) return;
        }
        run_worker_turn();
    }
}

void TenantFuzzySnapper::run_worker_turn() {
    std::lock_guard<std::mutex> turn(turn_mutex_);
    std::optional<PendingUpdate> update;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        if (stop_.load()) return;
        if (!pending_updates_.empty()) {
            update.emplace(std::move(pending_updates_.front()));
            pending_updates_.pop_front();
        }
    }
    // Only memory exhaustion or a failing standard lock can throw here. Letting it escape would
    // end the process; instead the turn is abandoned: a failed build has installed nothing, so
    // the previous dictionary stays, and the next turn proceeds normally.
    try {
        if (update) apply_dictionary_update(update->tenant_id, update->terms);
        evict_expired_and_lru();
    } catch (const std::exception&) {
    }
}

void TenantFuzzySnapper::lock_for_fork() {
    // Every lock of the service, in lock order. A caller thread holding one at the fork (a snap
    // copying a pointer, a metrics read) does not exist in the child, which would then wait for
    // that lock forever; holding them all here makes the fork happen between such sections.
    // This is the one place where a tenant's two locks are held together: nobody else can hold
    // the table lock meanwhile, and a tenant's lock is never held while another lock is awaited.
    turn_mutex_.lock();
    queue_mutex_.lock();
    policy_mutex_.lock();
    tenants_mutex_.lock();
    for (auto& entry : tenants_) {
        if (!entry.second) continue;
        entry.second->dictionary_mutex.lock();
        entry.second->stats_mutex.lock();
    }
}

void TenantFuzzySnapper::unlock_after_fork(bool in_child) {
    // A reader-writer lock remembers which thread holds it for writing, and the forking thread
    // has another id in the child: there the two shared mutexes are replaced by fresh ones (no
    // other thread exists to hold them) instead of being unlocked.
    const auto release = [in_child](std::shared_mutex& mutex) {
        if (in_child) {
            ::new (static_cast<void*>(&mutex)) std::shared_mutex();
        } else {
            mutex.unlock();
        }
    };
    for (auto& entry : tenants_) {
        if (!entry.second) continue;
        entry.second->stats_mutex.unlock();
        release(entry.second->dictionary_mutex);
    }
    release(tenants_mutex_);
    policy_mutex_.unlock();
    queue_mutex_.unlock();
    turn_mutex_.unlock();
}

void TenantFuzzySnapper::before_fork() {
    LiveSnappers& live = live_snappers();
    live.mutex.lock();
    for (TenantFuzzySnapper* snapper : live.all) snapper->lock_for_fork();
}

void TenantFuzzySnapper::after_fork_in_parent() {
    LiveSnappers& live = live_snappers();
    for (TenantFuzzySnapper* snapper : live.all) snapper->unlock_after_fork(false);
    live.mutex.unlock();
}

void TenantFuzzySnapper::after_fork_in_child() {
    LiveSnappers& live = live_snappers();
    for (TenantFuzzySnapper* snapper : live.all) {
        // The child has only the forking thread. The old worker's handle names a thread that
        // does not exist here (joining it would hang or corrupt the thread library's state),
        // and the condition variable may still count it as a waiter; both are replaced without
        // being destroyed, then a new worker takes over the queue copied from the parent.
        ::new (static_cast<void*>(&snapper->worker_)) std::thread();
        ::new (static_cast<void*>(&snapper->queue_cv_)) std::condition_variable();
        snapper->unlock_after_fork(true);
        if (snapper->stop_.load()) continue;
        try {
            snapper->start_worker();
        } catch (const std::system_error&) {
            // No thread could be created: the child keeps working synchronously (loads, snaps,
            // eviction on request); queued updates stay queued.
        }
    }
    live.mutex.unlock();
}

namespace {

// Storage whose destructor leaves the snapper alone. Threads the library does not own (a Python
// daemon thread in a load or a snap when the interpreter exits) may still use the service while
// static objects are destroyed at exit: like the library's other shared tables, the service is
// never destroyed, and its worker simply ends with the process.
union ProcessWideSnapper {
    ProcessWideSnapper() : snapper() {}
    ~ProcessWideSnapper() {}
    TenantFuzzySnapper snapper;
};

// Constructed during the library's static initialisation; it depends on no other static object
// (the fork registry it uses is created on first use).
ProcessWideSnapper process_wide;

}  // namespace

TenantFuzzySnapper& global_snapper = process_wide.snapper;

}  // namespace kezo
