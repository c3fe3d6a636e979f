// Built-in stopword tables and the stopword registry (custom additions, tenant lists).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
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
    // Entry count and a digest of every byte and the order of each table.
    using L = Language;
    const std::tuple<L, std::uint64_t, std::uint64_t> expected[] = {
        {L::English, 127, 0x20795889e03e80ffULL},    {L::Spanish, 229, 0xa779de243d667819ULL},
        {L::French, 180, 0xfeb6755be925a5c7ULL},     {L::German, 231, 0xbde6048020bb768dULL},
        {L::Italian, 174, 0xf496f6fa019c3438ULL},    {L::Portuguese, 181, 0x958fd979ee9920e3ULL},
        {L::Dutch, 102, 0x7f5fdfac430504c2ULL},      {L::Russian, 197, 0x0d273d60e6ae28d3ULL},
        {L::Chinese, 97, 0x3570f579143c8866ULL},     {L::Japanese, 80, 0xf02c40d5f5c7b4f2ULL},
        {L::Korean, 81, 0x6f1a5d529ec6b641ULL},      {L::Arabic, 104, 0x76c996ef788f225eULL},
        {L::Indonesian, 624, 0xb222a729fecaac0eULL}, {L::Twi, 235, 0xc3149d374809d720ULL},
        {L::Ga, 37, 0x7929495c4354c98dULL},          {L::Ewe, 34, 0x0b42ea9611789998ULL},
        {L::Hausa, 35, 0x835be3a087851f8fULL},       {L::Fante, 38, 0xee727a77cfa124edULL}};
    ASSERT_EQ(std::size(expected), 18u);
    for (const auto& [lang, count, hash] : expected) {
        SCOPED_TRACE(kezo::language_name(lang));
        const sw::LangTable& table = table_of(lang);
        ASSERT_EQ(table.size, count);
        EXPECT_EQ(digest(table), hash);
        // get() lists the built-in entries first, in table order. Entries are stored in normal
        // form, so a lookup of the entry itself always matches.
        const std::vector<std::string_view> all = sw::get(lang);
        ASSERT_GE(all.size(), table.size);
        for (std::uint64_t k = 0; k < table.size; ++k)
            EXPECT_TRUE(all[k] == table.words[k] && sw::normalize(table.words[k]) == all[k] &&
                        sw::is_stop(lang, table.words[k]))
                << table.words[k];
    }
}

TEST(StopwordTables, ExactBytesOnly) {
    // No case folding, no accents, no blank collapsing, no partial phrases (the digests above pin
    // which entries are there); is_stop lower-cases first.
    const std::pair<Language, std::string> absent[] = {
        {Language::English, "The"},           {Language::English, ""},  {Language::French, "été"},
        {Language::Indonesian, "dari  mana"}, {Language::Twi, "biara"}, {Language::Twi, "ɛfiri"}};
    for (const auto& [lang, word] : absent)
        EXPECT_FALSE(sw::contains_static(table_of(lang), word)) << word;
    EXPECT_TRUE(sw::contains_static(table_of(Language::Twi), "ɛfiri sɛ"));
    EXPECT_TRUE(sw::is_stop(Language::Indonesian, "Dari Mana"));
}

TEST(StopwordTables, IndexAgreesWithLinearScan) {
    // Probe every table with every entry of every table, and with near misses of each.
    std::vector<std::string> probes = {"", " ", "x", "THE", "a ", " a", std::string("a\0", 2)};
    for (const sw::LangTable& table : sw::detail::kBuiltinTables)
        for (std::uint64_t k = 0; k < table.size; ++k) {
            const std::string e = table.words[k];
            probes.insert(probes.end(), {e, e + "x", e.substr(0, e.size() - 1), e + e});
        }
    for (int i = 0; i < sw::detail::kTableCount; ++i)
        for (const std::string& probe : probes)
            ASSERT_EQ(sw::detail::builtin_contains(i, probe),
                      sw::contains_static(sw::detail::kBuiltinTables[i], probe))
                << "table " << i << ": '" << probe << "'";
}

TEST(StopwordTables, LanguageResolutionAndNormalForm) {
    EXPECT_EQ(sw::table_index(Language::Auto), 0);
    EXPECT_EQ(sw::table_index(Language::Fante), 17);
    EXPECT_EQ(sw::table_index(static_cast<Language>(0xFFFFFFFFu)), -1);
    EXPECT_EQ(sw::get(Language::Auto), sw::get(Language::English));
    EXPECT_TRUE(sw::get(static_cast<Language>(19)).empty());
    EXPECT_FALSE(sw::is_stop(static_cast<Language>(19), "the"));
    EXPECT_TRUE(sw::is_stop(Language::Portuguese, "ATÉ"));
    EXPECT_FALSE(sw::is_stop(Language::German, "the"));
    // The empty word is a stopword whatever the language, even one without a table.
    for (std::uint32_t v = 0; v <= 20; ++v) EXPECT_TRUE(sw::is_stop(static_cast<Language>(v), ""));
    // normalize only lower-cases (no trimming, no blank collapsing, Ɛ unmapped, malformed bytes
    // kept): its allocation-free path for words with nothing to lower must agree with to_lower.
    EXPECT_EQ(sw::normalize("  Dari  Mana "), "  dari  mana ");
    for (const std::string s : {"", "the", "The", "ДА", "ΑΒΓ", "straße", "ÇA", "ŁÓDŹ", "\xFF",
                                "\xC3", "A\xC3", "\xE2\x80 B", "ɛɔƒɖŋ", "Ɛnti", "的了", "xY"})
        EXPECT_EQ(sw::normalize(s), kezo::unicode::to_lower(s)) << s;
}

TEST(StopwordRegistry, CustomAdditionsAndTheirViews) {
    sw::add(Language::Auto, "QqAutoWord");  // Auto adds to English
    EXPECT_EQ(sw::get(Language::English).back(), "qqautoword");
    sw::add(Language::German, "QqGermanWord");
    EXPECT_FALSE(sw::is_stop(Language::Dutch, "qqgermanword"));
    bool seen_elsewhere = false;
    std::thread([&] { seen_elsewhere = sw::is_stop(Language::German, "QQGERMANWORD"); }).join();
    EXPECT_TRUE(seen_elsewhere);
    // Duplicates and the empty word are stored as given; no table means no effect.
    const std::size_t before = sw::get(Language::Hausa).size();
    for (const char* word : {"amma", ""}) sw::add(Language::Hausa, word);
    sw::add(static_cast<Language>(19), "qqnowhere");
    const std::vector<std::string_view> after = sw::get(Language::Hausa);
    ASSERT_EQ(after.size(), before + 2);
    EXPECT_TRUE(after[before] == "amma" && after[before + 1].empty());
    // Views stay valid while the list grows past many reallocations of contiguous storage; a
    // short word lives inside its string object, a long one on the heap.
    sw::add(Language::Ewe, "qqviewfirst");
    sw::add(Language::Ewe, "a custom word long enough to live on the heap");
    const std::vector<std::string_view> early = sw::get(Language::Ewe);
    const std::vector<std::string> copies(early.begin(), early.end());
    for (int i = 0; i < 5000; ++i) sw::add(Language::Ewe, "qqfiller" + std::to_string(i));
    const std::vector<std::string_view> late = sw::get(Language::Ewe);
    ASSERT_GE(late.size(), early.size() + 5000);
    for (std::size_t i = 0; i < early.size(); ++i)
        EXPECT_TRUE(early[i] == copies[i] && late[i].data() == early[i].data()) << copies[i];
    EXPECT_TRUE(sw::is_stop(Language::Ewe, "qqfiller4999"));
    EXPECT_FALSE(sw::is_stop(Language::Ewe, "qqfiller5000"));
}

TEST(StopwordRegistry, TenantLists) {
    // Words are normalised, the empty word is never a tenant stopword, ids are exact and Auto
    // reads as English.
    sw::load_tenant("qq-acme", Language::English, {"Widget", "", "gadget"});
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::English, "WIDGET"));
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::Auto, "gadget"));
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", Language::English, ""));
    EXPECT_FALSE(sw::is_tenant_stop("qq-ACME", Language::English, "widget"));
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", static_cast<Language>(19), "widget"));
    // is_stop consults the innermost active tenant only; "" activates none.
    EXPECT_FALSE(sw::is_stop(Language::English, "widget"));
    {
        sw::ScopedTenant scope("qq-acme");
        EXPECT_TRUE(sw::is_stop(Language::English, "Widget"));
        EXPECT_FALSE(sw::is_stop(Language::French, "widget"));
        for (const char* id : {"qq-other", ""}) {
            sw::ScopedTenant inner(id);
            EXPECT_EQ(sw::kActiveTenant, id);
            EXPECT_FALSE(sw::is_stop(Language::English, "widget"));
        }
        EXPECT_TRUE(sw::is_stop(Language::English, "widget"));  // the outer scope is back
    }
    EXPECT_TRUE(sw::kActiveTenant.empty());
    // A second load replaces that language's list; clearing one language leaves the others.
    sw::load_tenant("qq-acme", Language::French, {"truc"});
    sw::load_tenant("qq-acme", Language::English, {"sprocket"});
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", Language::English, "widget"));
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::English, "sprocket"));
    sw::clear_tenant("qq-acme", Language::English);
    EXPECT_FALSE(sw::is_tenant_stop("qq-acme", Language::English, "sprocket"));
    EXPECT_TRUE(sw::is_tenant_stop("qq-acme", Language::French, "truc"));
    sw::clear_tenant("qq-never-loaded", Language::English);  // no effect, no error
    sw::load_tenant("", Language::English, {"qqempty"});
    EXPECT_FALSE(sw::is_tenant_stop("", Language::English, "qqempty"));
    const std::vector<std::string> list = {"ab", "", "a b"};
    EXPECT_TRUE(sw::contains_dynamic(list, "a b") && sw::contains_dynamic(list, ""));
    EXPECT_FALSE(sw::contains_dynamic(list, "a") || sw::contains_dynamic({}, ""));
}
