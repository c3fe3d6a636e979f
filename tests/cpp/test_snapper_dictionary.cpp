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

// Each letter is one symbol (multi-byte and astral letters, capitals, a stray byte and a truncated
// sequence), so near
// neighbours, duplicates and case variants are frequent, and a term is also its list of letters.
const std::vector<std::string> kAlphabet = {
    "a", "b", "c", "A", "\xC3\xA9", "\xC3\x89", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xFF", "\xC3"};

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

// The tree walk exactly as the read path defines it: a last-in, first-out stack from the root,
// the children within the band pushed in child-table order, the first node at a strictly smaller
// distance kept, an exact match ending the walk.
SnapMatch reference_walk(const Snapper::TenantDictionary& dict, const std::string& query,
                         int max_distance) {
    const std::string lowered = unicode::to_lower(query);
    SnapMatch best{query, -1, false};
    long long best_distance = static_cast<long long>(max_distance) + 1;
    std::vector<std::size_t> stack{0};
    while (!stack.empty()) {
        const auto& node = dict.nodes[stack.back()];
        stack.pop_back();
        const int d = Snapper::edit_distance(lowered, node.term.normalized);
        if (d < best_distance) {
            best = {node.term.canonical, d, true};
            best_distance = d;
            if (d == 0) break;
        }
        for (const auto& [key, child] : node.children) {
            if (key >= static_cast<long long>(d) - max_distance &&
                key <= static_cast<long long>(d) + max_distance)
                stack.push_back(child);
        }
    }
    return best;
}

// The indexed search must give exactly the tree walk's answer (same term among ties, same
// distance), and that distance must be the smallest of a full scan. Dictionaries are small
// alphabets full of near neighbours, duplicates and case variants; some keys and queries pass
// the 64-symbol width of the bit-parallel kernels.
TEST(SnapperSearch, IndexAgreesWithTreeWalkAndFullScan) {
    std::mt19937 rng(3);
    TenantCachePolicy policy;
    policy.max_updates_per_minute = 0;
    Snapper snapper;
    snapper.set_cache_policy(policy);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> terms(1 + rng() % 300);
        for (auto& t : terms) t = random_term(rng, round % 5 == 0 ? 80 : 8);
        ASSERT_TRUE(snapper.load_tenant_dictionary("t", terms));
        const auto dict = Snapper::build_dictionary(terms, 50000, 128, nullptr);
        for (int q = 0; q < 40; ++q) {
            const std::string query = q % 3 == 0 ? terms[rng() % terms.size()] + random_term(rng, 2)
                                                 : random_term(rng, round % 5 == 0 ? 80 : 9);
            if (query.empty()) continue;
            int nearest = INT_MAX;
            for (const auto& node : dict->nodes) {
                nearest = std::min(nearest, Snapper::edit_distance(unicode::to_lower(query),
                                                                   node.term.normalized));
            }
            for (int m : {0, 1, 2, 3, 4, 6, INT_MAX}) {
                const SnapMatch want = reference_walk(*dict, query, m);
                const SnapMatch got = snapper.snap_term_detailed("t", query, m);
                ASSERT_EQ(got.term, want.term) << "query " << query << " bound " << m;
                ASSERT_EQ(got.distance, want.distance) << "query " << query << " bound " << m;
                ASSERT_EQ(got.matched, nearest <= m);
                if (got.matched) {
                    ASSERT_EQ(got.distance, nearest);
                }
                ASSERT_EQ(snapper.snap_term("t", query, m), got.term);
            }
        }
    }
}

}  // namespace
}  // namespace kezo
