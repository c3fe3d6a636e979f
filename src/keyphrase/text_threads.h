// Work spread over threads one text at a time, as the corpus routes run it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "kezo/helper_threads.h"
#include "kezo/stopwords.h"

namespace kezo::keyphrase {

// Runs work(thread, text index) for every index below texts on `threads` threads (the calling
// thread and the process's helpers, helper_threads.h) under tenant's stopwords, each thread
// taking the next text as it finishes one. The first exception stops the others after their
// current text and is thrown here once all have stopped.
template <class Work>
void on_text_threads(std::size_t texts, std::size_t threads, const std::string& tenant, Work work) {
    std::atomic<std::size_t> next{0};
    run_on_helper_threads(threads, [&](std::size_t t) {
        try {
            const stopwords::ScopedTenant scope(tenant);  // a tenant's scope is per thread
            for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < texts;)
                work(t, i);
        } catch (...) {
            next.store(texts);  // the others stop after their current text
            throw;              // and the helpers pass the first error back
        }
    });
}

// Which thread read which text in one on_text_threads run, so that a second pass over the same
// texts can hand each one back to the thread that read it: what that thread kept of the text
// came from its own allocator and may still be in its core's cache, and freeing memory another
// thread allocated costs that thread's allocator lock. took() is called by each thread for its
// own index only, and nothing else runs meanwhile; take() and stop() may then be called from
// any threads.
class TextsByThread {
  public:
    static constexpr std::size_t kNone = SIZE_MAX;

    explicit TextsByThread(std::size_t threads) : lists_(threads) {}

    // Thread `thread` of the run read text `text`. Amortised constant.
    void took(std::size_t thread, std::size_t text) {
        List& list = lists_[thread];
        list.texts.push_back(static_cast<std::uint32_t>(text));
        list.reader = std::this_thread::get_id();
    }

    // A text not handed out before, or kNone when none is left: first one this thread read,
    // then one of what the others have left. Each text is handed out once. Lock-free.
    std::size_t take() {
        std::size_t own = 0;
        for (std::size_t u = 0; u < lists_.size(); ++u)
            if (lists_[u].reader == std::this_thread::get_id()) own = u;
        for (std::size_t k = 0; k < lists_.size(); ++k) {
            List& list = lists_[(own + k) % lists_.size()];
            if (list.next.load(std::memory_order_relaxed) >= list.texts.size()) continue;
            const std::size_t at = list.next.fetch_add(1, std::memory_order_relaxed);
            if (at < list.texts.size()) return list.texts[at];
        }
        return kNone;
    }

    // Hands out no more texts.
    void stop() {
        for (List& list : lists_) list.next.store(list.texts.size());
    }

  private:
    struct alignas(64) List {  // a cache line each: every thread writes its own
        std::vector<std::uint32_t> texts;
        std::atomic<std::size_t> next{0};
        std::thread::id reader;
    };
    std::vector<List> lists_;
};

}  // namespace kezo::keyphrase
