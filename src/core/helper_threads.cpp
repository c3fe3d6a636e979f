// The process's helper threads: a queue of calls, the helpers waiting on it, and their reset in
// a child process made by fork.
#include "kezo/helper_threads.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#if defined(__GLIBCXX__)
#include <cxxabi.h>
#endif

#include "cpu_placement.h"

namespace kezo {
namespace {

// One run_on_helper_threads call, on its caller's stack.
struct Job {
    const std::function<void(std::size_t)>* task = nullptr;
    std::size_t unfinished = 0;  // calls handed out and not yet returned (pool lock)
    std::exception_ptr error;    // the first a call threw (pool lock)
    std::condition_variable finished;
    int caller_cpu = -1;  // where the caller ran as it handed the calls out
};

struct Call {
    Job* job;
    std::size_t index;
};

class HelperPool {
  public:
    // Runs task(1 .. threads - 1) on helpers and task(0) here; see run_on_helper_threads.
    void run(std::size_t threads, const std::function<void(std::size_t)>& task) {
        Job job;
        job.task = &task;
        job.caller_cpu = current_cpu();
        std::size_t queued = 1;  // calls from here on (none could be queued) run here
        {
            std::lock_guard<std::mutex> lock(mutex_);
            try {
                for (; queued < threads; ++queued) {
                    queue_.push_back({&job, queued});
                    queued_.fetch_add(1, std::memory_order_relaxed);
                }
            } catch (const std::bad_alloc&) {
            }
            // Each queued call gets a helper that will look at the queue: one watching it
            // already, else the one that went to sleep last (its caches the warmest), else a
            // new one.
            while (awake_ < queue_.size()) {
                if (!sleeping_.empty()) {
                    Sleeper& sleeper = *sleeping_.back();
                    sleeping_.pop_back();
                    sleeper.woken = true;
                    // Under the lock: once it is let go the helper may take a call and end, and
                    // its Sleeper with it.
                    sleeper.wake.notify_one();
                    ++awake_;
                } else if (!start_helper()) {
                    break;
                }
            }
        }
        // Should a call here end this thread (glibc ends one by unwinding its stack, as
        // pthread_exit does), the job and whatever task refers to live on this stack: the
        // unwinding drops the calls no helper has begun and waits for the others.
        struct AbandonOnUnwind {
            HelperPool& pool;
            Job& job;
            bool armed = true;
            ~AbandonOnUnwind() {
                if (armed) pool.abandon(job);
            }
        } unwinding{*this, job};
        run_call(job, 0, /*taken_by_helper=*/false);
        for (std::size_t t = queued; t < threads; ++t) run_call(job, t, false);
        std::unique_lock<std::mutex> lock(mutex_);
        // The job's calls still queued (no helper could start, or none has got to them yet)
        // run here.
        for (auto at = queue_.begin(); at != queue_.end();) {
            if (at->job != &job) {
                ++at;
                continue;
            }
            const std::size_t index = at->index;
            queue_.erase(at);
            queued_.fetch_sub(1, std::memory_order_relaxed);
            lock.unlock();
            run_call(job, index, false);
            lock.lock();
            at = queue_.begin();
        }
        unwinding.armed = false;
        job.finished.wait(lock, [&] { return job.unfinished == 0; });
        if (job.error) std::rethrow_exception(job.error);
    }

  private:
    static constexpr std::size_t kMinKept = 8;

    // The calls of job no helper has taken are dropped, and those taken waited for. Lock not
    // held.
    void abandon(Job& job) {
        std::unique_lock<std::mutex> lock(mutex_);
        queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                                    [&](const Call& call) { return call.job == &job; }),
                     queue_.end());
        queued_.store(queue_.size(), std::memory_order_relaxed);
        job.finished.wait(lock, [&] { return job.unfinished == 0; });
    }

    // Runs one call, recording its error; one a helper took counts down the job's unfinished
    // calls. Lock not held. (Undefined-behaviour checks leave out null references here: the
    // catch clause that lets a thread's end pass binds one to the unwinding, which carries no
    // exception object.)
    __attribute__((no_sanitize("null"))) void run_call(Job& job, std::size_t index,
                                                       bool taken_by_helper) {
        std::exception_ptr error;
        try {
            (*job.task)(index);
        }
#if defined(__GLIBCXX__)
        catch (abi::__forced_unwind&) {
            // The thread is being ended: the unwinding must go on, or the process aborts. A
            // helper's call still counts as returned, and the helper as gone.
            if (taken_by_helper) {
                std::lock_guard<std::mutex> lock(mutex_);
                --helpers_;
                if (--job.unfinished == 0) job.finished.notify_all();
            }
            throw;
        }
#endif
        catch (...) {
            error = std::current_exception();
        }
        if (!error && !taken_by_helper) return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (error && !job.error) job.error = error;
        if (taken_by_helper && --job.unfinished == 0) job.finished.notify_all();
    }

    // Starts one more helper (lock held); false when no thread can be started.
    bool start_helper() {
        try {
            sleeping_.reserve(helpers_ + 1);  // so that falling asleep never allocates
            std::thread(&HelperPool::serve, this).detach();
        } catch (...) {  // no memory, or no thread (std::system_error)
            return false;
        }
        ++helpers_;
        ++awake_;  // it looks at the queue as it starts
        return true;
    }

    // A helper asleep, woken by the call handed to it.
    struct Sleeper {
        std::condition_variable wake;
        bool woken = false;
    };

    void serve() {
        Sleeper self;
        std::unique_lock<std::mutex> lock(mutex_);
        // Here the lock is held and this helper counts in awake_: it looks at the queue before
        // it sleeps.
        for (bool just_worked = false;;) {
            if (just_worked && queue_.empty()) {
                lock.unlock();
                stay_awake();
                lock.lock();
            }
            --awake_;
            if (queue_.empty()) {
                self.woken = false;
                sleeping_.push_back(&self);
                self.wake.wait(lock, [&] { return self.woken; });
                just_worked = false;  // whoever woke it counted it in awake_ again
                continue;
            }
            const Call call = queue_.front();
            queue_.pop_front();
            queued_.fetch_sub(1, std::memory_order_relaxed);
            ++call.job->unfinished;
            const int caller_cpu = call.job->caller_cpu;
            lock.unlock();
            // Woken onto the caller's CPU, a helper would only take turns with it.
            leave_cpu(caller_cpu);
            run_call(*call.job, call.index, true);
            lock.lock();
            if (helpers_ > kept_helpers()) {
                --helpers_;
                return;
            }
            ++awake_;
            just_worked = true;
        }
    }

    // A helper done with a call watches the queue for a moment before it sleeps, giving its
    // CPU to any thread that wants it meanwhile. Work often comes in steps a moment apart (a
    // corpus counted, then weighed; a loop over batches), and a helper woken from sleep starts
    // late: in a virtual machine a CPU left idle goes back to the host, and waking a helper
    // there took about a millisecond. Lock not held.
    void stay_awake() const {
        const auto until = std::chrono::steady_clock::now() + kAwake;
        while (queued_.load(std::memory_order_relaxed) == 0 &&
               std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
    }
    static constexpr std::chrono::microseconds kAwake{1000};

    static std::size_t kept_helpers() {
        static const std::size_t kept =
            std::max<std::size_t>(kMinKept, 2 * std::size_t{std::thread::hardware_concurrency()});
        return kept;
    }

    std::mutex mutex_;
    std::deque<Call> queue_;
    // queue_.size(), for a helper watching the queue without the lock
    std::atomic<std::size_t> queued_{0};
    std::size_t helpers_ = 0;  // started and not ended
    // Idle helpers that will look at the queue without being woken: starting, watching it, or
    // woken for a call (lock held, as for the rest).
    std::size_t awake_ = 0;
    std::vector<Sleeper*> sleeping_;  // helpers asleep, the last to fall asleep at the back
};

// Never destroyed: a helper may still wait on it while static objects are destroyed at exit.
HelperPool* pool = nullptr;
std::once_flag pool_made;

void forget_helpers_in_child() {
    // The child has only the forking thread: the parent's helpers do not exist here, and the
    // pool's lock may have been held by one of them. The old pool is left as it is, unused.
    pool = new HelperPool;
}

HelperPool& helper_pool() {
    std::call_once(pool_made, [] {
        pool = new HelperPool;
        pthread_atfork(nullptr, nullptr, &forget_helpers_in_child);
    });
    return *pool;
}

}  // namespace

void run_on_helper_threads(std::size_t threads, const std::function<void(std::size_t)>& task) {
    if (threads <= 1) {
        task(0);
        return;
    }
    helper_pool().run(threads, task);
}

}  // namespace kezo
