// Work spread over threads one text at a time, as the corpus routes run it.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

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

}  // namespace kezo::keyphrase
