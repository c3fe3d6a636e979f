// Built-in stopword tables and the stopword registry (custom additions, tenant lists).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "../../src/stopwords/builtin_tables.h"
#include "kezo/stopwords.h"
#include "kezo/unicode.h"

namespace sw = kezo::stopwords;
using kezo::Language;

namespace {

// FNV-1a over the entries, each followed by a NUL byte: pins every byte and the order.
std::uint64_t digest(const sw::LangTable& table) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::uint64_t k = 0; k < table.size; ++k) {
        std::string_view entry(table.words[k]);
        for (char c : entry) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        h *= 0x100000001b3ULL;  // the NUL terminator
    }
    return h;
}

const sw::LangTable& table_of(Language lang) {
    return sw::detail::kBuiltinTables[sw::table_index(lang)];
}

}  // namespace

TEST(StopwordTables, EveryTableHasItsEntriesInOrder) {
    struct Expected {
        Language lang;
        std::uint64_t count;
        std::uint64_t digest;
        const char* first;
        const char* last;
    };
    const Expected expected[] = {
        {Language::English, 127, 0x20795889e03e80ffULL, "a", "yourselves"},
        {Language::Spanish, 229, 0xa779de243d667819ULL, "a", "yo"},
        {Language::French, 180, 0xfeb6755be925a5c7ULL, "a", "etant"},
        {Language::German, 231, 0xbde6048020bb768dULL, "aber", "zwischen"},
        {Language::Italian, 174, 0xf496f6fa019c3438ULL, "a", "esse"},
        {Language::Portuguese, 181, 0x958fd979ee9920e3ULL, "a", "cá"},
        {Language::Dutch, 102, 0x7f5fdfac430504c2ULL, "aan", "zou"},
        {Language::Russian, 197, 0x0d273d60e6ae28d3ULL, "а", "я"},
        {Language::Chinese, 97, 0x3570f579143c8866ULL, "的", "地"},
        {Language::Japanese, 80, 0xf02c40d5f5c7b4f2ULL, "の", "か"},
        {Language::Korean, 81, 0x6f1a5d529ec6b641ULL, "이", "뭔데"},
        {Language::Arabic, 104, 0x76c996ef788f225eULL, "في", "غدًا"},
        {Language::Indonesian, 624, 0xb222a729fecaac0eULL, "yang", "yang"},
        {Language::Twi, 235, 0xc3149d374809d720ULL, "a", "bere biara"},
        {Language::Ga, 37, 0x7929495c4354c98dULL, "a", "yoo"},
        {Language::Ewe, 34, 0x0b42ea9611789998ULL, "a", "esime"},
        {Language::Hausa, 35, 0x835be3a087851f8fULL, "a", "zuwa"},
        {Language::Fante, 38, 0xee727a77cfa124edULL, "a", "yɛn"},
    };
    ASSERT_EQ(std::size(expected), 18u);
    for (const Expected& e : expected) {
        SCOPED_TRACE(kezo::language_name(e.lang));
        const sw::LangTable& table = table_of(e.lang);
        ASSERT_EQ(table.size, e.count);
        EXPECT_EQ(digest(table), e.digest);
        EXPECT_STREQ(table.words[0], e.first);
        EXPECT_STREQ(table.words[table.size - 1], e.last);
        // get() lists the built-in entries first, in table order.
        const std::vector<std::string_view> all = sw::get(e.lang);
        ASSERT_GE(all.size(), table.size);
        for (std::uint64_t k = 0; k < table.size; ++k) EXPECT_EQ(all[k], table.words[k]);
        // Entries are stored in normal form, so a lookup of the entry itself always matches.
        for (std::uint64_t k = 0; k < table.size; ++k) {
            EXPECT_EQ(sw::normalize(table.words[k]), table.words[k]);
            EXPECT_TRUE(sw::is_stop(e.lang, table.words[k])) << table.words[k];
        }
    }
}

TEST(StopwordTables, CharacteristicEntries) {
    // Words separated by '|'; each must be an entry of the language's table.
    const std::pair<Language, std::string> present[] = {
        {Language::English, "the|yourselves"},
        {Language::Spanish, "nosotros"},
        {Language::French, "ete|etions"},
        {Language::German, "während|würden"},
        {Language::Italian, "è|perché|perchè"},
        {Language::Portuguese, "após|porém"},
        {Language::Dutch, "omhoog"},
        {Language::Russian, "без"},
        {Language::Chinese, "为什么"},
        {Language::Japanese, "あそこ"},
        {Language::Korean, "습니다"},
        {Language::Arabic, "على"},
        {Language::Indonesian, "dari mana|oleh karena itu"},
        {Language::Twi, "saa bere no|ɛfiri sɛ|ɛnti|anaasɛ|ɔkyena"},
        {Language::Ga, "akɛ|amlɔ|ŋmɛ"},
        {Language::Ewe, "ƒe|ɖe|ŋu|wò"},
        {Language::Hausa, "cikin"},
        {Language::Fante, "ebɛnadze|ntsɛ|ɔkyena"},
    };
    for (const auto& [lang, words] : present) {
        std::size_t start = 0;
        while (start <= words.size()) {
            const std::size_t end = std::min(words.find('|', start), words.size());
            const std::string word = words.substr(start, end - start);
            EXPECT_TRUE(sw::contains_static(table_of(lang), word)) << word;
            start = end + 1;
        }
    }
    // Exact bytes only: no case folding, no accents, no blank collapsing, no partial phrases.
    const sw::LangTable& english = table_of(Language::English);
    EXPECT_FALSE(sw::contains_static(english, "The"));
    EXPECT_FALSE(sw::contains_static(english, ""));
    EXPECT_FALSE(sw::contains_static(table_of(Language::French), "été"));
    EXPECT_FALSE(sw::contains_static(table_of(Language::Indonesian), "dari  mana"));
    EXPECT_FALSE(sw::contains_static(table_of(Language::Twi), "biara"));
    EXPECT_FALSE(sw::contains_static(table_of(Language::Twi), "ɛfiri"));
    EXPECT_TRUE(sw::is_stop(Language::Indonesian, "Dari Mana"));
}

TEST(StopwordTables, IndexAgreesWithLinearScan) {
    // Probe every table with every entry of every table, and with near misses of each.
    std::vector<std::string> probes = {"", " ", "x", "THE", "a ", " a", std::string("a\0", 2)};
    for (const sw::LangTable& table : sw::detail::kBuiltinTables)
        for (std::uint64_t k = 0; k < table.size; ++k) {
            std::string entry = table.words[k];
            probes.push_back(entry);
            probes.push_back(entry + "x");
            probes.push_back(entry.substr(0, entry.size() - 1));
            probes.push_back(entry + entry);
        }
    for (int i = 0; i < sw::detail::kTableCount; ++i)
        for (const std::string& probe : probes)
            ASSERT_EQ(sw::detail::builtin_contains(i, probe),
                      sw::contains_static(sw::detail::kBuiltinTables[i], probe))
                << "table " << i << ": '" << probe << "'";
}

TEST(StopwordTables, LanguageResolutionAndEmptyWord) {
    EXPECT_EQ(sw::table_index(Language::Auto), 0);
    EXPECT_EQ(sw::table_index(Language::English), 0);
    EXPECT_EQ(sw::table_index(Language::Fante), 17);
    EXPECT_EQ(sw::table_index(static_cast<Language>(19)), -1);
    EXPECT_EQ(sw::table_index(static_cast<Language>(0xFFFFFFFFu)), -1);
    EXPECT_EQ(sw::get(Language::Auto), sw::get(Language::English));
    EXPECT_TRUE(sw::get(static_cast<Language>(19)).empty());
    EXPECT_FALSE(sw::is_stop(static_cast<Language>(19), "the"));
    EXPECT_TRUE(sw::is_stop(Language::Auto, "YOURSELVES"));
    EXPECT_TRUE(sw::is_stop(Language::Portuguese, "ATÉ"));
    EXPECT_FALSE(sw::is_stop(Language::German, "the"));
    // The empty word is a stopword whatever the language, even one without a table.
    for (std::uint32_t v = 0; v <= 20; ++v) EXPECT_TRUE(sw::is_stop(static_cast<Language>(v), ""));
}

TEST(StopwordRegistry, NormalizeIsLowerCaseOnly) {
    EXPECT_EQ(sw::normalize("THE"), "the");
    EXPECT_EQ(sw::normalize("ÀÉÎ"), "àéî");
    EXPECT_EQ(sw::normalize("  Dari  Mana "), "  dari  mana ");  // no trimming or collapsing
    EXPECT_EQ(sw::normalize("Ɛnti"), "Ɛnti");                    // Ɛ has no mapping
    // The allocation-free path for words with nothing to lower must agree with to_lower.
    const std::string samples[] = {"",           "the",   "The",  "ДА",   "да",   "ΑΒΓ",
                                   "straße",     "ÇA",    "ŁÓDŹ", "\xFF", "\xC3", "A\xC3",
                                   "\xE2\x80 B", "ɛɔƒɖŋ", "的了", "xY"};
    for (const std::string& s : samples)
        EXPECT_EQ(sw::normalize(s), kezo::unicode::to_lower(s)) << s;
}

TEST(StopwordRegistry, CustomAdditions) {
    sw::add(Language::Auto, "QqAutoWord");
    EXPECT_TRUE(sw::is_stop(Language::English, "qqautoword"));
    EXPECT_EQ(sw::get(Language::English).back(), "qqautoword");

    sw::add(Language::German, "QqGermanWord");
    EXPECT_TRUE(sw::is_stop(Language::German, "QQGERMANWORD"));
    EXPECT_FALSE(sw::is_stop(Language::Dutch, "qqgermanword"));
    bool seen_elsewhere = false;
    std::thread([&] { seen_elsewhere = sw::is_stop(Language::German, "qqgermanword"); }).join();
    EXPECT_TRUE(seen_elsewhere);

    // Duplicates and the empty word are stored as given; no table means no effect.
    const std::size_t before = sw::get(Language::Hausa).size();
    sw::add(Language::Hausa, "amma");
    sw::add(Language::Hausa, "");
    sw::add(static_cast<Language>(19), "qqnowhere");
    const std::vector<std::string_view> after = sw::get(Language::Hausa);
    ASSERT_EQ(after.size(), before + 2);
    EXPECT_EQ(after[before], "amma");
    EXPECT_EQ(after[before + 1], "");
}

TEST(StopwordRegistry, CustomWordViewsStayValid) {
    sw::add(Language::Ewe, "qqviewfirst");
    sw::add(Language::Ewe, "a custom word long enough to live on the heap");
    const std::vector<std::string_view> early = sw::get(Language::Ewe);
    std::vector<std::string> copies(early.begin(), early.end());
    // Enough additions to force any contiguous storage to reallocate many times.
    for (int i = 0; i < 5000; ++i) sw::add(Language::Ewe, "qqfiller" + std::to_string(i));
    for (std::size_t i = 0; i < early.size(); ++i) EXPECT_EQ(early[i], copies[i]);
    const std::vector<std::string_view> late = sw::get(Language::Ewe);
    ASSERT_GE(late.size(), early.size() + 5000);
    for (std::size_t i = 0; i < early.size(); ++i) EXPECT_EQ(late[i].data(), early[i].data());
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(sw::is_stop(Language::Ewe, "qqfiller" + std::to_string(i))) << i;
    EXPECT_FALSE(sw::is_stop(Language::Ewe, "qqfiller5000"));
}

TEST(StopwordRegistry, TenantLists) {
    sw::load_tenant("qq-acme", Language::English, {"Widget", "", "gadget"});
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::English, "WIDGET"));
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::Auto, "gadget"));
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", Language::English, ""));
    EXPECT_FALSE(sw::is_tenant_stop("qq-ACME", Language::English, "widget"));  // ids are exact
    EXPECT_FALSE(sw::is_tenant_stop("qq-unknown", Language::English, "widget"));
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", static_cast<Language>(19), "widget"));

    EXPECT_FALSE(sw::is_stop(Language::English, "widget"));  // no tenant active
    {
        sw::ScopedTenant scope("qq-acme");
        EXPECT_EQ(sw::kActiveTenant, "qq-acme");
        EXPECT_TRUE(sw::is_stop(Language::English, "Widget"));
        EXPECT_FALSE(sw::is_stop(Language::French, "widget"));
        {
            sw::ScopedTenant inner("qq-other");
            EXPECT_EQ(sw::kActiveTenant, "qq-other");
            EXPECT_FALSE(sw::is_stop(Language::English, "widget"));
            sw::ScopedTenant none("");
            EXPECT_FALSE(sw::is_stop(Language::English, "widget"));
        }
        EXPECT_EQ(sw::kActiveTenant, "qq-acme");
        EXPECT_TRUE(sw::is_stop(Language::English, "widget"));
    }
    EXPECT_TRUE(sw::kActiveTenant.empty());
    EXPECT_FALSE(sw::is_stop(Language::English, "widget"));

    // A second load replaces that language's list; other languages are left alone.
    sw::load_tenant("qq-acme", Language::French, {"truc"});
    sw::load_tenant("qq-acme", Language::English, {"sprocket"});
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", Language::English, "widget"));
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::English, "sprocket"));
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::French, "truc"));

    sw::clear_tenant("qq-acme", Language::English);
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", Language::English, "sprocket"));
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::French, "truc"));
    sw::clear_tenant("qq-never-loaded", Language::English);  // no effect, no error

    sw::load_tenant("", Language::English, {"qqempty"});
    EXPECT_FALSE(sw::is_tenant_stop("", Language::English, "qqempty"));
}

TEST(StopwordRegistry, ContainsDynamic) {
    const std::vector<std::string> list = {"ab", "", "a b"};
    EXPECT_TRUE(sw::contains_dynamic(list, "a b"));
    EXPECT_TRUE(sw::contains_dynamic(list, ""));
    EXPECT_FALSE(sw::contains_dynamic(list, "a"));
    EXPECT_FALSE(sw::contains_dynamic({}, ""));
}
