// Edit distance, dictionary building and the BK-tree search, each checked against a full scan.
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

// Each letter is one symbol (multi-byte letters, capitals, a malformed byte), so near
// neighbours, duplicates and case variants are frequent, and a term is also its list of letters.
const std::vector<std::string> kAlphabet = {
    "a", "b", "c", "A", "\xC3\xA9", "\xC3\x89", "\xE4\xB8\xAD", "\xFF"};

std::string random_term(std::mt19937& rng, std::size_t max_len,
                        std::vector<std::size_t>* letters = nullptr) {
    std::string s;
    for (std::size_t n = std::uniform_int_distribution<std::size_t>(0, max_len)(rng); n > 0; --n) {
        const std::size_t letter = rng() % kAlphabet.size();
        s += kAlphabet[letter];
        if (letters) letters->push_back(letter);
    }
    return s;
}

// Plain full-matrix Levenshtein over letter indices, as an independent reference.
int reference_distance(const std::vector<std::size_t>& a, const std::vector<std::size_t>& b) {
    std::vector<std::vector<int>> t(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) t[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) t[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j)
            t[i][j] = std::min({t[i - 1][j] + 1, t[i][j - 1] + 1,
                                t[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    return t[a.size()][b.size()];
}

TEST(SnapperEditDistance, CodePointLevenshtein) {
    EXPECT_EQ(Snapper::edit_distance("kitten", "sitting"), 3);
    // Short strings and strings around the 64-symbol word size of the fast kernel.
    std::mt19937 rng(7);
    for (int i = 0; i < 600; ++i) {
        const std::size_t max_len = i % 3 == 0 ? 80 : 9;
        std::vector<std::size_t> la, lb;
        const std::string a = random_term(rng, max_len, &la), b = random_term(rng, max_len, &lb);
        ASSERT_EQ(Snapper::edit_distance(a, b), reference_distance(la, lb)) << a << " / " << b;
    }
}

TEST(SnapperBuildDictionary, AccountingAndFilters) {
    // 40 bytes per dictionary, and per term 120 plus the bytes of both its forms; duplicates
    // are kept (the first one wins a snap).
    std::size_t rejected = 99;
    EXPECT_EQ(Snapper::build_dictionary({}, 50000, 128, &rejected)->memory_bytes, 40u);
    EXPECT_EQ(rejected, 0u);
    auto dup = Snapper::build_dictionary({"Apple", "apple"}, 50000, 128, nullptr);
    EXPECT_EQ(dup->term_count, 2u);
    EXPECT_EQ(dup->memory_bytes, 40u + 2 * (120 + 5 + 5));

    // Refused: empty terms, terms longer than the limit in code points, and every term past the
    // cap; the walk goes on after a refusal. A limit of 0 refuses even a 100 000-symbol term.
    struct Case {
        std::vector<std::string> terms;
        std::size_t max_terms, max_length, accepted;
    };
    const std::vector<Case> cases = {
        {{"a", "b", "c"}, 1, 128, 1},
        {{"a", "b"}, 0, 128, 0},
        {{"abc", "abcd", "", "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97", "xyz"}, 50000, 3, 3},
        {{std::string(100000, 'x'), "a"}, 50000, 0, 0}};
    for (const Case& c : cases) {
        auto dict = Snapper::build_dictionary(c.terms, c.max_terms, c.max_length, &rejected);
        EXPECT_EQ(dict->term_count, c.accepted);
        EXPECT_EQ(rejected, c.terms.size() - c.accepted);
    }
}

// The band pruning must find the nearest term whenever a full scan finds one within the bound.
TEST(SnapperSearch, MatchesBruteForceOnRandomDictionaries) {
    std::mt19937 rng(3);
    for (int round = 0; round < 20; ++round) {
        Snapper snapper;
        std::vector<std::string> terms(1 + rng() % 300);
        for (auto& t : terms) t = random_term(rng, 8);
        ASSERT_TRUE(snapper.load_tenant_dictionary("t", terms));
        terms.erase(std::remove(terms.begin(), terms.end(), ""), terms.end());
        for (int q = 0; q < 60; ++q) {
            const std::string query = random_term(rng, 9);
            if (query.empty()) continue;
            const std::string lowered = unicode::to_lower(query);
            int nearest = INT_MAX;
            for (const auto& t : terms)
                nearest = std::min(nearest, Snapper::edit_distance(lowered, unicode::to_lower(t)));
            for (int m = 0; m <= 3; ++m) {
                const std::string got = snapper.snap_term("t", query, m);
                if (nearest > m) {
                    EXPECT_EQ(got, query);
                    continue;
                }
                ASSERT_NE(std::find(terms.begin(), terms.end(), got), terms.end())
                    << "query " << query << " m " << m;
                EXPECT_EQ(Snapper::edit_distance(lowered, unicode::to_lower(got)), nearest);
            }
        }
    }
}

}  // namespace
}  // namespace kezo
