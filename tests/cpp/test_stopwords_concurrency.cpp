// The stopword registry under concurrent readers and writers: every reader thread works under
// its own tenant and must see exactly that tenant's words, while other threads keep adding
// custom words and reloading tenant lists.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "kezo/stopwords.h"

namespace sw = kezo::stopwords;
using kezo::Language;

namespace {

constexpr int kReaders = 4;
constexpr int kWordsPerTenant = 8;

std::string tenant_name(int t) {
    return "qq-conc-tenant-" + std::to_string(t);
}
std::string tenant_word(int t, int i) {
    return "qqconc" + std::to_string(t) + "w" + std::to_string(i);
}

std::vector<std::string> tenant_words(int t) {
    std::vector<std::string> words;
    for (int i = 0; i < kWordsPerTenant; ++i) words.push_back(tenant_word(t, i));
    return words;
}

}  // namespace

TEST(StopwordsConcurrency, EachThreadSeesOnlyItsOwnTenant) {
    for (int t = 0; t < kReaders; ++t)
        sw::load_tenant(tenant_name(t), Language::English, tenant_words(t));

    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    std::atomic<int> writers_started{0};
    std::vector<std::thread> threads;

    // Writers: custom additions (growing the lists that get() hands out) ...
    threads.emplace_back([&] {
        for (int i = 0; !stop.load(); ++i) {
            sw::add(Language::English, "qqconccustom" + std::to_string(i));
            if (i % 64 == 0 &&
                sw::get(Language::English).back() != "qqconccustom" + std::to_string(i))
                failures.fetch_add(1);
            if (i == 0) writers_started.fetch_add(1);
        }
    });
    // ... and reloads: each reader's tenant gets the same words again, and a tenant nobody
    // reads churns through ever new lists in two languages.
    threads.emplace_back([&] {
        for (int i = 0; !stop.load(); ++i) {
            const int t = i % kReaders;
            sw::load_tenant(tenant_name(t), Language::English, tenant_words(t));
            sw::load_tenant("qq-conc-churn", Language::English,
                            {"qqconcchurn" + std::to_string(i)});
            sw::load_tenant("qq-conc-churn", Language::French, tenant_words(t));
            sw::clear_tenant("qq-conc-churn", Language::French);
            if (!sw::is_tenant_stop(tenant_name(t), Language::English, tenant_word(t, 0)))
                failures.fetch_add(1);
            if (i == 0) writers_started.fetch_add(1);
        }
    });

    for (int t = 0; t < kReaders; ++t) {
        threads.emplace_back([&, t] {
            while (writers_started.load() < 2) std::this_thread::yield();
            sw::ScopedTenant scope(tenant_name(t));
            for (int round = 0; round < 300; ++round) {
                for (int other = 0; other < kReaders; ++other)
                    for (int i = 0; i < kWordsPerTenant; ++i)
                        if (sw::is_stop(Language::English, tenant_word(other, i)) != (other == t))
                            failures.fetch_add(1);
                if (!sw::is_stop(Language::English, "the")) failures.fetch_add(1);
                if (sw::is_stop(Language::English, "qqconcnever")) failures.fetch_add(1);
                if (sw::kActiveTenant != tenant_name(t)) failures.fetch_add(1);
            }
        });
    }
    // The two writers come first in threads, then the readers.
    for (std::size_t k = 2; k < threads.size(); ++k) threads[k].join();
    stop.store(true);
    threads[0].join();
    threads[1].join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_TRUE(sw::is_stop(Language::English, "qqconccustom0"));     // visible on every thread
    EXPECT_FALSE(sw::is_stop(Language::English, tenant_word(0, 0)));  // no tenant active here
}
