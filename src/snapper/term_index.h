// A search index built beside a dictionary's BK-tree: every distinct key in a trie laid out in
// depth-first order, walked with a bit-parallel Levenshtein automaton of the query. It finds every
// key within a small distance while visiting only the trie paths that can still reach one, and
// answers exactly as the tree walk would by keeping, per key, the rank its first node has in the
// tree walk's visit order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "kezo/snapper.h"

namespace kezo {

class NearestTermIndex {
  public:
    using Dictionary = TenantFuzzySnapper::TenantDictionary;

    // Queries of more symbols than this do not fit the automaton's 64-bit state.
    static constexpr std::size_t kMaxQuerySymbols = 63;
    // Distances the index settles by itself; a nearest term farther away than this is left to
    // the tree walk.
    static constexpr int kMaxIndexedDistance = 3;

    enum class Outcome { Found, NotFound, Undecided };
    struct Result {
        Outcome outcome = Outcome::Undecided;
        std::size_t node = 0;  // index into Dictionary::nodes when Found
        int distance = -1;     // edit distance to that node's key when Found
    };

    // Reusable per-thread buffers of a search.
    struct Scratch {
        std::array<std::uint64_t, 128> ascii{};  // automaton masks of the query's ASCII symbols
        std::vector<std::pair<std::uint32_t, std::uint64_t>> other;  // masks of the rest
    };

    // Indexes every node of dict (which must not change afterwards). Costs a sort of the keys
    // and one walk of the tree.
    static std::shared_ptr<const NearestTermIndex> build(const Dictionary& dict);

    // Number of tree nodes the index was built over.
    std::size_t node_count() const { return node_of_rank_.size(); }
    // Heap bytes the index holds (for measurements; not part of a dictionary's accounted size).
    std::size_t heap_bytes() const;

    // The node the tree walk would answer for query (symbols of the lowered term): the
    // first-visited node at the smallest distance within max_distance. Undecided when the query
    // is too long for the automaton, or when nothing lies within kMaxIndexedDistance but
    // max_distance is larger. Thread-safe; allocation-free once scratch has grown.
    Result search(const std::vector<std::uint32_t>& query, int max_distance,
                  Scratch& scratch) const;

  private:
    static constexpr std::uint32_t kNoRank = UINT32_MAX;

    // One trie node; nodes are stored in depth-first order, so a node's children start right
    // after it and its subtree ends at `end` (the index of its next sibling or an uncle).
    struct TrieNode {
        std::uint32_t symbol;  // the symbol on the edge into this node (0 for the root)
        std::uint32_t end;
        std::uint32_t rank;  // smallest visit rank of the keys ending here, or kNoRank
    };

    class Automaton;

    std::uint32_t find_exact(const std::vector<std::uint32_t>& query) const;
    template <int kErrors>
    std::uint32_t best_rank_at(const Automaton& automaton) const;

    std::vector<TrieNode> trie_;
    std::vector<std::uint32_t> node_of_rank_;  // visit rank -> index into Dictionary::nodes
};

}  // namespace kezo
