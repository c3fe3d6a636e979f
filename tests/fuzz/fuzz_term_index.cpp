// The snapper's search against brute force on dictionaries of up to hundreds of keys: a few stems
// drawn from the input over a small alphabet (multi-byte letters, capitals, a stray byte), and
// keys that are stems with a few edits or repeated past the 63 symbols the trie index's automaton
// takes, so keys share long prefixes, collide and sit at every small distance from the query.
// For each bound, the indexed search (tries, then the rank-order scan) and the tree walk must
// both answer the first key in the tree walk's order among those nearest the query, found from a
// full table of every distance, at every width of the multi-key kernel the processor runs; the
// bit-parallel, banded and multi-key distance kernels must agree with that table under every cap.
// Input: stems, then for each key and the query a recipe of stem, edits and repetitions.
#include <algorithm>
#include <climits>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "kezo/snapper.h"
#include "kezo/unicode.h"
#include "snapper/nearest.h"
#include "snapper/pattern_distance.h"

using namespace kezo;
using kezo::fuzz::pick;
using kezo::fuzz::symbols;
using Dictionary = TenantFuzzySnapper::TenantDictionary;

namespace {

const char* const kAlphabet[] = {"a",   "b", "c", "A", "\xC3\xA9", "\xC3\x89", "\xE4\xB8\xAD",
                                 "\xFF"};

int table_distance(const std::vector<std::uint32_t>& x, const std::vector<std::uint32_t>& y) {
    std::vector<int> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j) row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= x.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const int v = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] != y[j - 1])});
            diagonal = row[j];
            row[j] = v;
        }
    }
    return row[y.size()];
}

// A stem, up to three one-symbol edits, then repeated 1 to 4 times (4 x 40 symbols passes the
// automaton's limit and the tries' cut).
std::string make_term(FuzzedDataProvider& in, const std::vector<std::string>& stems) {
    std::vector<std::string> pieces;
    const std::string& stem = stems[in.ConsumeIntegralInRange<std::size_t>(0, stems.size() - 1)];
    fuzz::for_each_symbol(stem, [&](std::size_t pos, std::size_t n, std::uint32_t) {
        pieces.push_back(stem.substr(pos, n ? n : 1));
    });
    for (int e = in.ConsumeIntegralInRange(0, 3); e > 0; --e) {
        const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, pieces.size());
        const int kind = in.ConsumeIntegralInRange(0, 2);
        if (kind == 0 && at < pieces.size()) pieces.erase(pieces.begin() + at);
        if (kind == 1) pieces.insert(pieces.begin() + at, pick(in, kAlphabet));
        if (kind == 2 && at < pieces.size()) pieces[at] = pick(in, kAlphabet);
    }
    std::string once;
    for (const std::string& p : pieces) once += p;
    std::string term;
    for (int r = in.ConsumeIntegralInRange(1, 4); r > 0; --r) term += once;
    return term;
}

// Visit rank of each node in the whole tree walk: a last-in, first-out stack from the root,
// children pushed in child-table order.
std::vector<std::size_t> walk_ranks(const Dictionary& dict) {
    std::vector<std::size_t> rank(dict.nodes.size());
    std::vector<std::size_t> stack{0};
    for (std::size_t next = 0; !stack.empty(); ++next) {
        const std::size_t node = stack.back();
        stack.pop_back();
        rank[node] = next;
        for (const auto& child : dict.nodes[node].children) stack.push_back(child.second);
    }
    return rank;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<std::string> stems(in.ConsumeIntegralInRange(1, 6));
    // Half the inputs keep to the ASCII letters, whose long keys go through the multi-key kernel.
    const std::size_t letters = in.ConsumeBool() ? 4 : std::size(kAlphabet);
    for (std::string& stem : stems) {
        for (int n = in.ConsumeIntegralInRange(0, 40); n > 0; --n)
            stem += kAlphabet[in.ConsumeIntegralInRange<std::size_t>(0, letters - 1)];
    }
    // Mostly dozens of keys, one input in eight up to hundreds.
    const bool many = in.ConsumeIntegralInRange(0, 7) == 0;
    std::vector<std::string> terms(in.ConsumeIntegralInRange(1, many ? 300 : 40));
    for (std::string& term : terms) term = make_term(in, stems);
    const std::string query = unicode::to_lower(make_term(in, stems));
    static const int kBounds[] = {0, 1, 2, 3, 5, 40, INT_MAX};
    const int random_bound = in.ConsumeIntegralInRange(0, 200);

    const auto dict = TenantFuzzySnapper::build_dictionary(terms, SIZE_MAX, SIZE_MAX - 1, nullptr);
    if (dict->nodes.empty()) return 0;
    const std::vector<std::size_t> rank = walk_ranks(*dict);
    const std::vector<std::uint32_t> q = symbols(query);
    snapper_detail::PatternDistance kernel;
    const bool prepared = kernel.prepare(q);
    FUZZ_CHECK(prepared == !q.empty());
    std::vector<int> distance(dict->nodes.size());
    for (std::size_t i = 0; i < dict->nodes.size(); ++i) {
        const std::string& key = dict->nodes[i].term.normalized;
        distance[i] = table_distance(q, symbols(key));
        if (!prepared) continue;
        const int cap = i % 3 == 0 ? INT_MAX : random_bound % (distance[i] + 3);
        const int got = kernel.distance_to(key, cap);
        FUZZ_CHECK(distance[i] <= cap ? got == distance[i] : got > cap);
    }

    // The multi-key kernel at every width this processor runs, on the ASCII keys in groups of
    // its lanes, against the table under a shared cap.
    std::vector<std::size_t> ascii_keys;
    for (std::size_t i = 0; i < dict->nodes.size(); ++i) {
        const std::string& key = dict->nodes[i].term.normalized;
        if (!key.empty() &&
            std::all_of(key.begin(), key.end(), [](char c) { return (c & 0x80) == 0; }))
            ascii_keys.push_back(i);
    }
    const std::size_t widest = snapper_detail::PatternDistance::lanes();
    const std::size_t widths[] = {1, 4, 8};
    for (const std::size_t lanes : widths) {
        if (!prepared || !snapper_detail::PatternDistance::use_lanes(lanes)) continue;
        for (std::size_t first = 0; first < ascii_keys.size(); first += lanes) {
            const std::size_t count = std::min(lanes, ascii_keys.size() - first);
            std::string_view texts[snapper_detail::PatternDistance::kMaxLanes];
            for (std::size_t k = 0; k < count; ++k)
                texts[k] = dict->nodes[ascii_keys[first + k]].term.normalized;
            const int cap = first % 3 == 0 ? INT_MAX : random_bound;
            int got[snapper_detail::PatternDistance::kMaxLanes];
            kernel.distances_to(texts, count, cap, got);
            for (std::size_t k = 0; k < count; ++k) {
                const int want = distance[ascii_keys[first + k]];
                FUZZ_CHECK(want <= cap ? got[k] == want : got[k] > cap);
            }
        }
    }

    for (const int bound : kBounds) {
        for (const int b : {bound, random_bound}) {
            std::size_t want = SIZE_MAX;
            for (std::size_t i = 0; i < distance.size(); ++i) {
                if (distance[i] > b) continue;
                if (want == SIZE_MAX || distance[i] < distance[want] ||
                    (distance[i] == distance[want] && rank[i] < rank[want]))
                    want = i;
            }
            std::vector<snapper_detail::NearestTerm> answers{
                snapper_detail::walk_tree(*dict, query, b)};
            for (const std::size_t lanes : widths) {
                if (snapper_detail::PatternDistance::use_lanes(lanes))
                    answers.push_back(snapper_detail::find_nearest_term(*dict, query, b));
            }
            for (const auto& got : answers) {
                if (want == SIZE_MAX) {
                    FUZZ_CHECK(got.term == nullptr);
                } else {
                    FUZZ_CHECK(got.term == &dict->nodes[want].term);
                    FUZZ_CHECK(got.distance == distance[want]);
                }
            }
        }
    }
    snapper_detail::PatternDistance::use_lanes(widest);
    return 0;
}
