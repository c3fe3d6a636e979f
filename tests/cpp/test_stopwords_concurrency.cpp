// The stopword registry under concurrent readers and writers: every reader thread works under
// its own tenant and must see exactly that tenant's words, while other threads keep adding
// custom words and reloading tenant lists.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "kezo/stopwords.h"

namespace sw = kezo::stopwords;
using kezo::Language;

TEST(StopwordsConcurrency, EachThreadSeesOnlyItsOwnTenant) {
    constexpr int kReaders = 4, kWords = 8;
    auto tenant = [](int t) { return "qq-conc-tenant-" + std::to_string(t); };
    auto word = [](int t, int i) { return "qqconc" + std::to_string(t) + "w" + std::to_string(i); };
    auto words = [&](int t) {
        std::vector<std::string> list;
        for (int i = 0; i < kWords; ++i) list.push_back(word(t, i));
        return list;
    };
    for (int t = 0; t < kReaders; ++t) sw::load_tenant(tenant(t), Language::English, words(t));

    std::atomic<bool> stop{false};
    std::atomic<int> failures{0}, writers_started{0};
    auto fail_if = [&](bool failed) { failures.fetch_add(failed ? 1 : 0); };
    // Writers: custom additions (growing the lists that get() hands out) and reloads: each
    // reader's tenant gets the same words again, and a tenant nobody reads churns through ever
    // new lists in two languages.
    std::vector<std::thread> writers;
    writers.emplace_back([&] {
        for (int i = 0; !stop.load(); ++i) {
            const std::string custom = "qqconccustom" + std::to_string(i);
            sw::add(Language::English, custom);
            if (i % 64 == 0) fail_if(sw::get(Language::English).back() != custom);
            if (i == 0) writers_started.fetch_add(1);
        }
    });
    writers.emplace_back([&] {
        for (int i = 0; !stop.load(); ++i) {
            const int t = i % kReaders;
            sw::load_tenant(tenant(t), Language::English, words(t));
            sw::load_tenant("qq-conc-churn", Language::English,
                            {"qqconcchurn" + std::to_string(i)});
            sw::load_tenant("qq-conc-churn", Language::French, words(t));
            sw::clear_tenant("qq-conc-churn", Language::French);
            fail_if(!sw::is_tenant_stop(tenant(t), Language::English, word(t, 0)));
            if (i == 0) writers_started.fetch_add(1);
        }
    });
    std::vector<std::thread> readers;
    for (int t = 0; t < kReaders; ++t) {
        readers.emplace_back([&, t] {
            while (writers_started.load() < 2) std::this_thread::yield();
            sw::ScopedTenant scope(tenant(t));
            for (int round = 0; round < 300; ++round) {
                for (int other = 0; other < kReaders; ++other)
                    for (int i = 0; i < kWords; ++i)
                        fail_if(sw::is_stop(Language::English, word(other, i)) != (other == t));
                fail_if(!sw::is_stop(Language::English, "the") ||
                        sw::is_stop(Language::English, "qqconcnever") ||
                        sw::kActiveTenant != tenant(t));
            }
        });
    }
    for (std::thread& reader : readers) reader.join();
    stop.store(true);
    for (std::thread& writer : writers) writer.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_TRUE(sw::is_stop(Language::English, "qqconccustom0"));  // visible on every thread
    EXPECT_FALSE(sw::is_stop(Language::English, word(0, 0)));      // no tenant active here
}
