// Building and searching the trie index that sits beside a dictionary's BK-tree.
#include "term_index.h"

#include <algorithm>
#include <climits>

#include "distance_kernel.h"

namespace kezo {
namespace {

using snapper_detail::to_symbols;

// Visit rank of every node in the order of the tree walk over the whole tree: a last-in,
// first-out stack, children pushed in their table's iteration order. A search visits a subset
// of the nodes (every node within its bound among them) in this same relative order.
std::vector<std::uint32_t> tree_walk_order(const NearestTermIndex::Dictionary& dict) {
    std::vector<std::uint32_t> order;
    order.reserve(dict.nodes.size());
    std::vector<std::uint32_t> stack{0};
    while (!stack.empty()) {
        const std::uint32_t index = stack.back();
        stack.pop_back();
        order.push_back(index);
        for (const auto& child : dict.nodes[index].children) {
            stack.push_back(static_cast<std::uint32_t>(child.second));
        }
    }
    return order;
}

}  // namespace

// The query as a bit-parallel nondeterministic Levenshtein automaton: after reading a trie path
// p, bit j of row e is set when the first j query symbols are within e edits of p. Row e grows
// from row e of the parent (a match), and from row e - 1 of the parent (p's symbol inserted or
// substituted) or of the node itself (a query symbol deleted).
class NearestTermIndex::Automaton {
  public:
    Automaton(const std::vector<std::uint32_t>& query, Scratch& scratch) : scratch_(scratch) {
        scratch.ascii.fill(0);
        scratch.other.clear();
        for (std::size_t i = 0; i < query.size(); ++i) {
            const std::uint32_t c = query[i];
            const std::uint64_t bit = std::uint64_t{1} << (i + 1);
            if (c < 128) {
                scratch.ascii[c] |= bit;
                continue;
            }
            auto it = std::find_if(scratch.other.begin(), scratch.other.end(),
                                   [c](const auto& entry) { return entry.first == c; });
            if (it == scratch.other.end()) {
                scratch.other.emplace_back(c, bit);
            } else {
                it->second |= bit;
            }
        }
        const std::size_t m = query.size();
        live_ = m + 1 == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (m + 1)) - 1;
        accept_ = std::uint64_t{1} << m;
    }

    std::uint64_t mask(std::uint32_t c) const {
        if (c < 128) return scratch_.ascii[c];
        for (const auto& entry : scratch_.other) {
            if (entry.first == c) return entry.second;
        }
        return 0;
    }
    std::uint64_t live() const { return live_; }
    std::uint64_t accept() const { return accept_; }

  private:
    const Scratch& scratch_;
    std::uint64_t live_ = 0;    // bits 0..m, one per query prefix length
    std::uint64_t accept_ = 0;  // bit m: the whole query
};

namespace {

// Depth-first walk of the trie with the automaton at a fixed number of errors, remembering the
// smallest rank among the keys it accepts. Subtrees where no prefix of the query is within the
// error count any more are skipped whole.
template <int kErrors, typename Node, typename Automaton>
class BoundedWalk {
  public:
    BoundedWalk(const Node* trie, const Automaton& automaton, std::uint32_t no_rank)
        : trie_(trie), automaton_(automaton), best_(no_rank) {}

    std::uint32_t run() {
        std::uint64_t rows[kErrors + 1];
        for (int e = 0; e <= kErrors; ++e) {
            rows[e] = ((std::uint64_t{2} << e) - 1) & automaton_.live();  // e deletions
        }
        visit_children(0, rows);
        return best_;
    }

  private:
    void visit_children(std::uint32_t parent, const std::uint64_t* rows) {
        const std::uint64_t live = automaton_.live();
        const std::uint32_t end = trie_[parent].end;
        for (std::uint32_t child = parent + 1; child < end; child = trie_[child].end) {
            const Node& node = trie_[child];
            const std::uint64_t eq = automaton_.mask(node.symbol);
            std::uint64_t next[kErrors + 1];
            next[0] = (rows[0] << 1) & eq;
            for (int e = 1; e <= kErrors; ++e) {
                next[e] = (((rows[e] << 1) & eq) | rows[e - 1] | (rows[e - 1] << 1) |
                           (next[e - 1] << 1)) &
                          live;
            }
            if (next[kErrors] == 0) continue;
            if ((next[kErrors] & automaton_.accept()) != 0 && node.rank < best_) best_ = node.rank;
            if (node.end != child + 1) visit_children(child, next);
        }
    }

    const Node* trie_;
    const Automaton& automaton_;
    std::uint32_t best_;
};

}  // namespace

std::shared_ptr<const NearestTermIndex> NearestTermIndex::build(const Dictionary& dict) {
    const std::size_t n = dict.nodes.size();
    if (n >= kNoRank) return nullptr;  // ranks and node indices are 32-bit
    auto index = std::make_shared<NearestTermIndex>();
    index->node_of_rank_.reserve(n);
    std::vector<std::uint32_t> rank(n);
    if (n != 0) index->node_of_rank_ = tree_walk_order(dict);
    for (std::uint32_t r = 0; r < n; ++r) rank[index->node_of_rank_[r]] = r;

    // Every key's symbols in one buffer, and the nodes sorted by key, then by rank.
    std::vector<std::uint32_t> symbols;
    std::vector<std::size_t> offsets{0};
    offsets.reserve(n + 1);
    std::vector<std::uint32_t> key;
    for (const auto& node : dict.nodes) {
        to_symbols(node.term.normalized, key);
        symbols.insert(symbols.end(), key.begin(), key.end());
        offsets.push_back(symbols.size());
    }
    auto key_begin = [&](std::uint32_t i) { return symbols.data() + offsets[i]; };
    auto key_end = [&](std::uint32_t i) { return symbols.data() + offsets[i + 1]; };
    std::vector<std::uint32_t> sorted(n);
    for (std::uint32_t i = 0; i < n; ++i) sorted[i] = i;
    std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        const auto [pa, pb] = std::mismatch(key_begin(a), key_end(a), key_begin(b), key_end(b));
        if (pa != key_end(a) && pb != key_end(b)) return *pa < *pb;
        if (pa != key_end(a) || pb != key_end(b)) return pb != key_end(b);  // a prefix first
        return rank[a] < rank[b];
    });

    // Length of the common prefix of each key with the one sorted before it; a key adds one
    // trie node per symbol after that prefix.
    std::vector<std::uint32_t> shared(n, 0);
    std::size_t trie_size = 1;
    for (std::size_t s = 0; s < n; ++s) {
        const std::uint32_t i = sorted[s];
        if (s != 0) {
            const std::uint32_t p = sorted[s - 1];
            shared[s] = static_cast<std::uint32_t>(
                std::mismatch(key_begin(i), key_end(i), key_begin(p), key_end(p)).first -
                key_begin(i));
        }
        trie_size += (offsets[i + 1] - offsets[i]) - shared[s];
    }
    if (trie_size >= kNoRank) return nullptr;

    auto& trie = index->trie_;
    trie.reserve(trie_size);
    trie.push_back({0, 0, kNoRank});
    std::vector<std::uint32_t> path{0};  // trie node at each depth of the current key
    for (std::size_t s = 0; s < n; ++s) {
        const std::uint32_t i = sorted[s];
        while (path.size() > shared[s] + 1) {  // leave the branches the new key does not share
            trie[path.back()].end = static_cast<std::uint32_t>(trie.size());
            path.pop_back();
        }
        for (const std::uint32_t* c = key_begin(i) + shared[s]; c != key_end(i); ++c) {
            path.push_back(static_cast<std::uint32_t>(trie.size()));
            trie.push_back({*c, 0, kNoRank});
        }
        // Equal keys are sorted by rank, so the first one to arrive keeps the smallest.
        std::uint32_t& terminal_rank = trie[path.back()].rank;
        terminal_rank = std::min(terminal_rank, rank[i]);
    }
    for (const std::uint32_t node : path) trie[node].end = static_cast<std::uint32_t>(trie.size());
    return index;
}

std::size_t NearestTermIndex::heap_bytes() const {
    return trie_.capacity() * sizeof(TrieNode) + node_of_rank_.capacity() * sizeof(std::uint32_t);
}

std::uint32_t NearestTermIndex::find_exact(const std::vector<std::uint32_t>& query) const {
    std::uint32_t node = 0;
    for (const std::uint32_t c : query) {
        std::uint32_t child = node + 1;
        const std::uint32_t end = trie_[node].end;
        while (child < end && trie_[child].symbol < c) child = trie_[child].end;
        if (child >= end || trie_[child].symbol != c) return kNoRank;
        node = child;
    }
    return trie_[node].rank;
}

template <int kErrors>
std::uint32_t NearestTermIndex::best_rank_at(const Automaton& automaton) const {
    return BoundedWalk<kErrors, TrieNode, Automaton>(trie_.data(), automaton, kNoRank).run();
}

NearestTermIndex::Result NearestTermIndex::search(const std::vector<std::uint32_t>& query,
                                                  int max_distance, Scratch& scratch) const {
    Result result;
    if (query.size() > kMaxQuerySymbols || max_distance < 0) return result;
    // Distances are searched in increasing order, so the first one with any key is the
    // smallest, and the smallest rank at it is the node the tree walk meets first.
    std::uint32_t rank = find_exact(query);
    int distance = 0;
    if (rank == kNoRank && max_distance > 0) {
        const Automaton automaton(query, scratch);
        const int limit = std::min(max_distance, kMaxIndexedDistance);
        for (distance = 1; distance <= limit && rank == kNoRank; ++distance) {
            switch (distance) {
                case 1:
                    rank = best_rank_at<1>(automaton);
                    break;
                case 2:
                    rank = best_rank_at<2>(automaton);
                    break;
                default:
                    rank = best_rank_at<3>(automaton);
                    break;
            }
        }
        --distance;
    }
    if (rank != kNoRank) {
        result.outcome = Outcome::Found;
        result.node = node_of_rank_[rank];
        result.distance = distance;
    } else {
        result.outcome =
            max_distance > kMaxIndexedDistance ? Outcome::Undecided : Outcome::NotFound;
    }
    return result;
}

}  // namespace kezo
