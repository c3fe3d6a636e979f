// Edit distance, dictionary building and the BK-tree search checked against a full scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "kezo/snapper.h"
#include "kezo/unicode.h"

namespace kezo {
namespace {

using Snapper = TenantFuzzySnapper;

// Plain full-matrix Levenshtein over already decoded symbols, as an independent reference.
int reference_distance(const std::u32string& a, const std::u32string& b) {
    std::vector<std::vector<int>> t(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) t[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) t[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j)
            t[i][j] = std::min({t[i - 1][j] + 1, t[i][j - 1] + 1,
                                t[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    return t[a.size()][b.size()];
}

std::u32string symbols(const std::string& s) {
    std::u32string out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::uint32_t cp = 0;
        std::size_t n = unicode::decode_utf8(s.data(), pos, s.size(), &cp);
        out.push_back(n == 0 ? static_cast<unsigned char>(s[pos]) : cp);
        pos += n == 0 ? 1 : n;
    }
    return out;
}

// Random strings over a small alphabet with multi-byte letters, capitals and a malformed byte,
// so that near neighbours, duplicates and case variants are frequent.
std::string random_term(std::mt19937& rng, std::size_t max_len) {
    static const std::vector<std::string> alphabet = {
        "a", "b", "c", "A", "\xC3\xA9", "\xC3\x89", "\xE4\xB8\xAD", "\xFF"};
    std::uniform_int_distribution<std::size_t> len(0, max_len);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string s;
    for (std::size_t n = len(rng); n > 0; --n) s += alphabet[pick(rng)];
    return s;
}

TEST(SnapperEditDistance, CodePointLevenshtein) {
    EXPECT_EQ(Snapper::edit_distance("", "abc"), 3);
    EXPECT_EQ(Snapper::edit_distance("abc", ""), 3);
    EXPECT_EQ(Snapper::edit_distance("flaw", "lawn"), 2);
    EXPECT_EQ(Snapper::edit_distance("ab", "ba"), 2);
    EXPECT_EQ(Snapper::edit_distance("\xC3\xA9", "e"), 1);  // é is one symbol
    EXPECT_EQ(Snapper::edit_distance("a\xFF", "a"), 1);     // a malformed byte is one symbol
    EXPECT_EQ(Snapper::edit_distance("A", "a"), 1);         // no case folding here
    EXPECT_EQ(Snapper::edit_distance("kitten", "sitting"), 3);

    // Short strings and strings around the 64-symbol word size of the fast kernel.
    std::mt19937 rng(7);
    for (int i = 0; i < 600; ++i) {
        const std::size_t max_len = i % 3 == 0 ? 80 : 9;
        std::string a = random_term(rng, max_len), b = random_term(rng, max_len);
        ASSERT_EQ(Snapper::edit_distance(a, b), reference_distance(symbols(a), symbols(b)))
            << a << " / " << b;
    }
}

TEST(SnapperBuildDictionary, AccountingAndFilters) {
    std::size_t rejected = 99;
    auto one = Snapper::build_dictionary({"ab"}, 50000, 128, &rejected);
    EXPECT_EQ(one->memory_bytes, 164u);
    EXPECT_EQ(one->term_count, 1u);
    EXPECT_EQ(rejected, 0u);

    auto empty = Snapper::build_dictionary({}, 50000, 128, nullptr);
    EXPECT_TRUE(empty->nodes.empty());
    EXPECT_EQ(empty->memory_bytes, 40u);

    auto dup = Snapper::build_dictionary({"Apple", "apple"}, 50000, 128, &rejected);
    ASSERT_EQ(dup->nodes.size(), 2u);
    EXPECT_EQ(dup->nodes[0].term.normalized, "apple");
    EXPECT_EQ(dup->nodes[0].term.canonical, "Apple");
    EXPECT_EQ(dup->nodes[0].children.at(0), 1u);
    EXPECT_EQ(dup->nodes[1].term.canonical, "apple");
    EXPECT_EQ(dup->memory_bytes, 40u + 2 * (120 + 5 + 5));

    Snapper::build_dictionary({"a", "b", "c"}, 1, 128, &rejected);
    EXPECT_EQ(rejected, 2u);

    // Length limit in code points, inclusive; the empty term is refused and the walk goes on.
    auto limited = Snapper::build_dictionary(
        {"abc", "abcd", "", "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97", "xyz"}, 50000, 3, &rejected);
    EXPECT_EQ(limited->term_count, 3u);
    EXPECT_EQ(rejected, 2u);

    auto none = Snapper::build_dictionary({"a", "b"}, 0, 128, &rejected);
    EXPECT_EQ(none->term_count, 0u);
    EXPECT_EQ(rejected, 2u);
    // A 100 000-symbol term is refused by a length limit of 0 without being inspected whole.
    Snapper::build_dictionary({std::string(100000, 'x'), "a"}, 50000, 0, &rejected);
    EXPECT_EQ(rejected, 2u);
}

// The band pruning must find the nearest term whenever a full scan finds one within the bound.
TEST(SnapperSearch, MatchesBruteForceOnRandomDictionaries) {
    std::mt19937 rng(3);
    for (int round = 0; round < 20; ++round) {
        Snapper snapper;
        std::vector<std::string> terms;
        const int size = 1 + static_cast<int>(rng() % 300);
        for (int i = 0; i < size; ++i) terms.push_back(random_term(rng, 8));
        ASSERT_TRUE(snapper.load_tenant_dictionary("t", terms));
        std::vector<std::string> accepted;
        for (const auto& t : terms)
            if (!t.empty()) accepted.push_back(t);
        for (int q = 0; q < 60; ++q) {
            const std::string query = random_term(rng, 9);
            if (query.empty()) continue;
            const std::string lowered = unicode::to_lower(query);
            int nearest = INT_MAX;
            for (const auto& t : accepted)
                nearest = std::min(nearest, Snapper::edit_distance(lowered, unicode::to_lower(t)));
            for (int m = 0; m <= 3; ++m) {
                const std::string got = snapper.snap_term("t", query, m);
                if (nearest > m) {
                    EXPECT_EQ(got, query);
                    continue;
                }
                ASSERT_NE(std::find(accepted.begin(), accepted.end(), got), accepted.end())
                    << "query " << query << " m " << m;
                EXPECT_EQ(Snapper::edit_distance(lowered, unicode::to_lower(got)), nearest);
            }
        }
    }
}

}  // namespace
}  // namespace kezo
