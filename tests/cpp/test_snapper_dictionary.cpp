// Edit distance, and the indexed search against the BK-tree walk.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "kezo/snapper.h"
#include "kezo/unicode.h"
#include "snapper/nearest.h"
#include "snapper/pattern_distance.h"

namespace kezo {
namespace {

using Snapper = TenantFuzzySnapper;

// Each letter is one symbol (multi-byte and astral letters, capitals, a stray byte and a truncated
// sequence), so near neighbours, duplicates and case variants are frequent.
const std::vector<std::string> kAlphabet = {
    "a", "b", "c", "A", "\xC3\xA9", "\xC3\x89", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xFF", "\xC3"};

std::string random_term(std::mt19937& rng, std::size_t max_len) {
    std::string s;
    for (std::size_t n = std::uniform_int_distribution<std::size_t>(0, max_len)(rng); n > 0; --n)
        s += kAlphabet[rng() % kAlphabet.size()];
    return s;
}

// Arbitrary strings against a full table, and which terms a dictionary accepts and counts (the
// empty ones, those over the length limit with 0 refusing all, every one past the cap with 0
// refusing all, duplicates kept), are the snapping fuzz target's; these pin the units.
TEST(SnapperEditDistance, CodePointLevenshtein) {
    EXPECT_EQ(Snapper::edit_distance("kitten", "sitting"), 3);
    EXPECT_EQ(Snapper::edit_distance("ab", "ba"), 2);       // no transposition
    EXPECT_EQ(Snapper::edit_distance("\xC3\xA9", "e"), 1);  // one code point, two bytes
    EXPECT_EQ(Snapper::edit_distance("a\xFF", "a"), 1);     // a stray byte is one symbol
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

// The indexed search must give exactly the tree walk's answer: the same term among ties and the
// same distance (that it is the smallest within the bound is the snapping fuzz target's check).
// Dictionaries are small alphabets full of near neighbours, duplicates and case variants; some
// keys and queries pass the 64-symbol width of the bit-parallel kernels.
TEST(SnapperSearch, IndexAgreesWithTreeWalk) {
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
            if (query.empty()) continue;  // refused before any search
            for (int m : {0, 1, 2, 3, 4, 6, INT_MAX}) {
                const SnapMatch want = reference_walk(*dict, query, m);
                const SnapMatch got = snapper.snap_term_detailed("t", query, m);
                ASSERT_TRUE(got.term == want.term && got.distance == want.distance &&
                            got.matched == want.matched)
                    << "query " << query << " bound " << m;
                ASSERT_EQ(snapper.snap_term("t", query, m), got.term);
            }
        }
    }
}

// Long keys take the scan's class-count filter and, when ASCII, the multi-key kernel: the answer
// must stay the tree walk's at every kernel width this processor runs. Keys are edited copies of
// a few stems of 1 to 300 symbols over four letters, so distances are small and tied, groups mix
// lengths, and queries pass the kernel's 256 symbols; some keys hold a non-ASCII letter.
TEST(SnapperSearch, EveryKernelWidthAgreesWithTreeWalkOnLongKeys) {
    using snapper_detail::PatternDistance;
    std::mt19937 rng(7);
    const auto letter = [&] { return std::string(1, static_cast<char>('a' + rng() % 4)); };
    const auto edited = [&](std::string s, int edits) {
        for (; edits > 0; --edits) {
            const std::size_t at = s.empty() ? 0 : rng() % s.size();
            const unsigned kind = s.empty() ? 1 : rng() % 3;
            if (kind == 0) s.erase(at, 1);
            if (kind == 1) s.insert(at, rng() % 16 == 0 ? "\xC3\xA9" : letter());
            if (kind == 2) s.replace(at, 1, letter());
        }
        return s;
    };
    const std::size_t widest = PatternDistance::lanes();
    for (int round = 0; round < 12; ++round) {
        std::vector<std::string> stems(1 + rng() % 3);
        for (auto& stem : stems) {
            for (std::size_t n = 1 + rng() % (round % 3 == 0 ? 300 : 90); n > 0; --n)
                stem += letter();
        }
        std::vector<std::string> terms(1 + rng() % 150);
        for (auto& t : terms) t = edited(stems[rng() % stems.size()], static_cast<int>(rng() % 8));
        const auto dict = Snapper::build_dictionary(terms, 50000, 1000, nullptr);
        for (int q = 0; q < 12; ++q) {
            const std::string query =
                edited(stems[rng() % stems.size()], static_cast<int>(rng() % 12));
            if (query.empty()) continue;
            for (int m : {0, 1, 2, 3, 5, 16, 40, INT_MAX}) {
                const SnapMatch want = reference_walk(*dict, query, m);
                for (std::size_t lanes : {1, 4, 8}) {
                    if (!PatternDistance::use_lanes(lanes)) continue;
                    const auto got = snapper_detail::find_nearest_term(*dict, query, m);
                    ASSERT_EQ(got.term ? got.term->canonical : query, want.term)
                        << "query " << query << " bound " << m << " lanes " << lanes;
                    ASSERT_EQ(got.distance, want.distance);
                }
            }
        }
    }
    PatternDistance::use_lanes(widest);
}

}  // namespace
}  // namespace kezo
