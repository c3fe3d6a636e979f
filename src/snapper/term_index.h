// A search index built beside a dictionary's BK-tree: its distinct keys in two tries (one of the
// keys, one of the keys reversed), each laid out in depth-first order and walked with a
// bit-parallel Levenshtein automaton of the query. It finds every key within a small distance
// while visiting only the trie paths that can still reach one, and answers exactly as the tree
// walk would by keeping, per key, the rank its first node has in the tree walk's visit order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kezo/snapper.h"
#include "pattern_distance.h"

namespace kezo {

// A query of up to 63 symbols as a nondeterministic Levenshtein automaton in bit-parallel form:
// bit j of a state word stands for the first j query symbols, bit j + 1 of mask(c) is set when
// query symbol j is c.
class QueryAutomaton {
  public:
    static constexpr std::size_t kMaxSymbols = 63;

    // Prepares the automaton of symbols[0..size) in order, or reversed. size <= kMaxSymbols.
    void prepare(const std::uint32_t* symbols, std::size_t size, bool reversed);

    std::uint64_t mask(std::uint32_t c) const {
        if (c < 128) return ascii_[c];
        for (std::size_t k = 0; k < other_count_; ++k) {
            if (other_[k].first == c) return other_[k].second;
        }
        return 0;
    }
    std::uint64_t live() const { return live_; }      // bits 0..size
    std::uint64_t accept() const { return accept_; }  // bit size: the whole query
    std::size_t size() const { return size_; }

  private:
    std::array<std::uint64_t, 128> ascii_{};
    std::array<std::pair<std::uint32_t, std::uint64_t>, kMaxSymbols> other_{};
    std::size_t other_count_ = 0;
    std::array<std::uint8_t, kMaxSymbols> ascii_used_{};  // entries of ascii_ to clear next time
    std::size_t ascii_used_count_ = 0;
    std::uint64_t live_ = 0;
    std::uint64_t accept_ = 0;
    std::size_t size_ = 0;
};

class NearestTermIndex {
  public:
    using Dictionary = TenantFuzzySnapper::TenantDictionary;

    // Distances the index settles by itself; a nearest term farther away than this is left to
    // the tree walk.
    static constexpr int kMaxIndexedDistance = 3;

    enum class Outcome { Found, NotFound, Undecided };
    struct Result {
        Outcome outcome = Outcome::Undecided;
        std::size_t node = 0;  // index into Dictionary::nodes when Found
        int distance = -1;     // edit distance to that node's key when Found
    };

    // Reusable per-thread state of a search.
    struct Scratch {
        QueryAutomaton forward;
        QueryAutomaton backward;
        snapper_detail::PatternDistance pattern;
    };

    // Indexes every node of dict (which must not change afterwards); null when the dictionary is
    // too large for 32-bit positions. Keys longer than kMaxSymbols + kMaxIndexedDistance, which
    // no search of the index can reach, stay out of the tries. Costs two sorts of the keys and
    // one walk of the tree.
    static std::shared_ptr<const NearestTermIndex> build(const Dictionary& dict);

    // Number of tree nodes the index was built over.
    std::size_t node_count() const { return node_of_rank_.size(); }
    // Heap bytes the index holds (for measurements; not part of a dictionary's accounted size).
    std::size_t heap_bytes() const;

    // The node the tree walk would answer for query (symbols of the lowered term): the
    // first-visited node at the smallest distance within max_distance. Undecided when the query
    // is longer than QueryAutomaton::kMaxSymbols, or when nothing lies within
    // kMaxIndexedDistance but max_distance is larger. Thread-safe; allocation-free.
    Result search(const std::vector<std::uint32_t>& query, int max_distance,
                  Scratch& scratch) const;

    // The same answer for any query and bound by a scan of every key in visit-rank order, each
    // distance computed only up to the best one so far (and max_distance), where a length
    // difference or a long key's class counts often settle it. Long ASCII keys go through the
    // multi-key kernel a vector register's lanes at a time. Never Undecided. Costs at most two
    // bounded distances per key whatever max_distance (no distance exceeds the longer of the
    // query and the longest key, so a larger bound changes nothing), each ceil(query / 64) x key
    // steps at most. Thread-safe; allocation-free once scratch has grown.
    Result scan(const std::vector<std::uint32_t>& query, int max_distance, Scratch& scratch) const;

    static constexpr std::uint32_t kNoRank = UINT32_MAX;

    // Keys of at least this many symbols are long: each carries class counts for the scan's
    // filter, and the ASCII ones go through the multi-key kernel.
    static constexpr std::size_t kLongKey = 24;
    // Counts of a string's symbols in 16 classes (a symbol's low 4 bits), each saturating at 255.
    // An edit changes at most one count up and one down, so the surplus of one string's counts
    // over the other's, either way, bounds their distance from below.
    using ClassCounts = std::array<std::uint8_t, 16>;
    static ClassCounts class_counts(const std::vector<std::uint32_t>& symbols);

    // One trie node. Nodes are stored in depth-first order, so a node's children start right
    // after it and its subtree ends at `end` (the index of its next sibling or an uncle's).
    struct TrieNode {
        std::uint32_t symbol;  // the symbol on the edge into this node (0 for the root)
        std::uint32_t end;
        std::uint32_t rank;  // smallest visit rank of the keys ending here, or kNoRank
    };

  private:
    std::uint32_t find_exact(const std::vector<std::uint32_t>& query) const;
    struct ScanQuery;
    void scan_pass(const ScanQuery& query, int limit, int& best, std::uint32_t& best_rank,
                   snapper_detail::PatternDistance& pattern) const;

    std::vector<TrieNode> forward_;            // keys as they are
    std::vector<TrieNode> backward_;           // keys reversed
    std::vector<std::uint32_t> node_of_rank_;  // visit rank -> index into Dictionary::nodes
    // Every key in visit-rank order, for the scan: its bytes end at key_end_[rank] in
    // key_bytes_, and it has key_length_[rank] symbols.
    std::string key_bytes_;
    std::vector<std::uint32_t> key_end_;
    std::vector<std::uint32_t> key_length_;
    // Per long key, in rank order: its class counts, and whether all its bytes are ASCII.
    std::vector<ClassCounts> long_counts_;
    std::vector<bool> long_ascii_;
    std::size_t longest_key_ = 0;
};

}  // namespace kezo
