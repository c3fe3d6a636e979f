// Building and searching the trie index that sits beside a dictionary's BK-tree.
//
// The search looks for keys at distance 0 (one trie path), then 1, 2, 3: the first distance with
// any key is the smallest, and among its keys the smallest visit rank is the node the tree walk
// meets first. At distance t it uses the pigeonhole principle: split the query into a head and a
// tail, and follow an optimal alignment of a key within t edits. The edits made before it first
// reaches the whole head and those made after it last leaves it add up to at most t. The walk of
// the key trie drops every proper prefix of the head that needs more than a edits; the walk of
// the reversed-key trie does the same for the reversed tail with b edits, where a + b = t - 1.
// Both counts cannot exceed their allowances at once, so one walk keeps the whole alignment and
// together they find every key, while both prune far more near the root than one walk allowing
// t edits throughout.
#include "term_index.h"

#include <algorithm>

#include "distance_kernel.h"

namespace kezo {
namespace {

using TrieNode = NearestTermIndex::TrieNode;
constexpr std::uint32_t kNoRank = NearestTermIndex::kNoRank;

// Visit rank of every node in the order of the tree walk over the whole tree: a last-in,
// first-out stack, children pushed in their table's iteration order. A search visits a subset
// of the nodes (every node within its bound among them) in this same relative order.
std::vector<std::uint32_t> tree_walk_order(const NearestTermIndex::Dictionary& dict) {
    std::vector<std::uint32_t> order;
    order.reserve(dict.nodes.size());
    std::vector<std::uint32_t> stack;
    if (!dict.nodes.empty()) stack.push_back(0);
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

// The symbols of every key in one buffer.
struct Keys {
    std::vector<std::uint32_t> symbols;
    std::vector<std::size_t> offsets{0};

    const std::uint32_t* begin(std::uint32_t i) const { return symbols.data() + offsets[i]; }
    const std::uint32_t* end(std::uint32_t i) const { return symbols.data() + offsets[i + 1]; }
    std::size_t count() const { return offsets.size() - 1; }
};

// The trie of keys in depth-first order, children sorted by symbol; each key's end node holds
// the smallest rank among the keys equal to it. Empty when it would not fit 32-bit positions.
std::vector<TrieNode> build_trie(const Keys& keys, const std::vector<std::uint32_t>& rank) {
    const std::size_t n = keys.count();
    std::vector<std::uint32_t> sorted(n);
    for (std::uint32_t i = 0; i < n; ++i) sorted[i] = i;
    std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::lexicographical_compare(keys.begin(a), keys.end(a), keys.begin(b), keys.end(b));
    });

    // Length of the common prefix of each key with the one sorted before it; a key adds one
    // trie node per symbol after that prefix.
    std::vector<std::uint32_t> shared(n, 0);
    std::size_t size = 1;
    for (std::size_t s = 0; s < n; ++s) {
        const std::uint32_t i = sorted[s];
        if (s != 0) {
            const std::uint32_t p = sorted[s - 1];
            shared[s] = static_cast<std::uint32_t>(
                std::mismatch(keys.begin(i), keys.end(i), keys.begin(p), keys.end(p)).first -
                keys.begin(i));
        }
        size += static_cast<std::size_t>(keys.end(i) - keys.begin(i)) - shared[s];
    }
    std::vector<TrieNode> trie;
    if (size >= kNoRank) return trie;

    trie.reserve(size);
    trie.push_back({0, 0, kNoRank});
    std::vector<std::uint32_t> path{0};  // trie node at each depth of the current key
    for (std::size_t s = 0; s < n; ++s) {
        const std::uint32_t i = sorted[s];
        while (path.size() > shared[s] + 1) {  // close the branches the new key leaves
            trie[path.back()].end = static_cast<std::uint32_t>(trie.size());
            path.pop_back();
        }
        for (const std::uint32_t* c = keys.begin(i) + shared[s]; c != keys.end(i); ++c) {
            path.push_back(static_cast<std::uint32_t>(trie.size()));
            trie.push_back({*c, 0, kNoRank});
        }
        std::uint32_t& key_rank = trie[path.back()].rank;
        key_rank = std::min(key_rank, rank[i]);
    }
    for (const std::uint32_t node : path) trie[node].end = static_cast<std::uint32_t>(trie.size());
    return trie;
}

// Depth-first walk of a trie with the automaton at kErrors edits, of which proper prefixes of
// the query's first head_size symbols may use at most kHeadErrors; returns the smallest rank
// among the keys it accepts. Subtrees where no prefix of the query can still lead to an accepted
// key are skipped whole.
template <int kErrors, int kHeadErrors>
class BoundedWalk {
  public:
    BoundedWalk(const TrieNode* trie, const QueryAutomaton& automaton, std::size_t head_size)
        : trie_(trie),
          automaton_(automaton),
          beyond_head_(automaton.live() & ~((std::uint64_t{1} << head_size) - 1)) {}

    std::uint32_t run() {
        std::uint64_t rows[kErrors + 1];
        for (int e = 0; e <= kErrors; ++e) {
            rows[e] = ((std::uint64_t{2} << e) - 1) & automaton_.live();  // e deletions
            if (e > kHeadErrors) rows[e] &= rows[kHeadErrors] | beyond_head_;
        }
        visit_children(0, rows);
        return best_;
    }

  private:
    void visit_children(std::uint32_t parent, const std::uint64_t* rows) {
        const std::uint64_t live = automaton_.live();
        const std::uint32_t end = trie_[parent].end;
        for (std::uint32_t child = parent + 1; child < end; child = trie_[child].end) {
            const TrieNode& node = trie_[child];
            const std::uint64_t eq = automaton_.mask(node.symbol);
            // Row e: a match from row e of the parent; an insertion or a substitution from row
            // e - 1 of the parent; a deletion from row e - 1 of this node. A proper prefix of the
            // head over kHeadErrors edits is dropped from every row.
            std::uint64_t next[kErrors + 1];
            next[0] = (rows[0] << 1) & eq;
            for (int e = 1; e <= kErrors; ++e) {
                std::uint64_t row =
                    ((rows[e] << 1) & eq) | rows[e - 1] | (rows[e - 1] << 1) | (next[e - 1] << 1);
                row &= live;
                if (e > kHeadErrors) row &= next[kHeadErrors] | beyond_head_;
                next[e] = row;
            }
            if (next[kErrors] == 0) continue;
            if ((next[kErrors] & automaton_.accept()) != 0 && node.rank < best_) best_ = node.rank;
            if (node.end != child + 1) visit_children(child, next);
        }
    }

    const TrieNode* trie_;
    const QueryAutomaton& automaton_;
    const std::uint64_t beyond_head_;  // bits head_size..size
    std::uint32_t best_ = kNoRank;
};

// The smallest rank among the keys within kErrors edits of the query. The forward walk's head
// may take kForwardHeadErrors, the backward walk's kErrors - 1 - kForwardHeadErrors: since the
// two counts of an alignment add up to at most kErrors, one of them is within its allowance.
template <int kErrors, int kForwardHeadErrors>
std::uint32_t best_rank_within(const std::vector<TrieNode>& forward,
                               const std::vector<TrieNode>& backward,
                               const NearestTermIndex::Scratch& scratch, std::size_t head_size) {
    constexpr int kBackwardHeadErrors = kErrors - 1 - kForwardHeadErrors;
    const std::size_t size = scratch.forward.size();
    return std::min(
        BoundedWalk<kErrors, kForwardHeadErrors>(forward.data(), scratch.forward, head_size).run(),
        BoundedWalk<kErrors, kBackwardHeadErrors>(backward.data(), scratch.backward,
                                                  size - head_size)
            .run());
}

}  // namespace

void QueryAutomaton::prepare(const std::uint32_t* symbols, std::size_t size, bool reversed) {
    for (std::size_t k = 0; k < ascii_used_count_; ++k) ascii_[ascii_used_[k]] = 0;
    ascii_used_count_ = 0;
    other_count_ = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint32_t c = reversed ? symbols[size - 1 - i] : symbols[i];
        const std::uint64_t bit = std::uint64_t{2} << i;
        if (c < 128) {
            if (ascii_[c] == 0) ascii_used_[ascii_used_count_++] = static_cast<std::uint8_t>(c);
            ascii_[c] |= bit;
            continue;
        }
        std::size_t k = 0;
        while (k < other_count_ && other_[k].first != c) ++k;
        if (k == other_count_) other_[other_count_++] = {c, 0};
        other_[k].second |= bit;
    }
    live_ = size + 1 == 64 ? ~std::uint64_t{0} : (std::uint64_t{2} << size) - 1;
    accept_ = std::uint64_t{1} << size;
    size_ = size;
}

std::shared_ptr<const NearestTermIndex> NearestTermIndex::build(const Dictionary& dict) {
    const std::size_t n = dict.nodes.size();
    if (n >= kNoRank) return nullptr;  // ranks and node indices are 32-bit
    auto index = std::make_shared<NearestTermIndex>();
    index->node_of_rank_ = tree_walk_order(dict);

    // A query the index answers has at most kMaxSymbols symbols and finds keys within
    // kMaxIndexedDistance edits, so longer keys could never be found: the tries leave them out.
    constexpr std::size_t kLongestFindable =
        QueryAutomaton::kMaxSymbols + static_cast<std::size_t>(kMaxIndexedDistance);
    Keys keys;
    std::vector<std::uint32_t> key_rank;  // rank of each key kept
    std::vector<std::uint32_t> key;
    std::size_t key_bytes = 0;
    for (const auto& node : dict.nodes) key_bytes += node.term.normalized.size();
    if (key_bytes >= kNoRank) return nullptr;  // key ends are 32-bit
    index->key_bytes_.reserve(key_bytes);
    index->key_end_.reserve(n);
    index->key_length_.resize(n);
    for (const std::uint32_t node : index->node_of_rank_) {
        index->key_bytes_ += dict.nodes[node].term.normalized;
        index->key_end_.push_back(static_cast<std::uint32_t>(index->key_bytes_.size()));
    }
    for (std::uint32_t r = 0; r < n; ++r) {
        const std::string& text = dict.nodes[index->node_of_rank_[r]].term.normalized;
        snapper_detail::to_symbols(text, key);
        index->key_length_[r] = static_cast<std::uint32_t>(key.size());
        index->longest_key_ = std::max(index->longest_key_, key.size());
        if (key.size() >= kLongKey) {
            index->long_counts_.push_back(class_counts(key));
            index->long_ascii_.push_back(
                std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }));
        }
        if (key.size() > kLongestFindable) continue;
        keys.symbols.insert(keys.symbols.end(), key.begin(), key.end());
        keys.offsets.push_back(keys.symbols.size());
        key_rank.push_back(r);
    }
    index->long_counts_.shrink_to_fit();
    index->long_ascii_.shrink_to_fit();
    index->forward_ = build_trie(keys, key_rank);
    for (std::uint32_t i = 0; i < keys.count(); ++i) {
        std::reverse(keys.symbols.begin() + static_cast<std::ptrdiff_t>(keys.offsets[i]),
                     keys.symbols.begin() + static_cast<std::ptrdiff_t>(keys.offsets[i + 1]));
    }
    index->backward_ = build_trie(keys, key_rank);
    if (index->forward_.empty() || index->backward_.empty()) return nullptr;
    return index;
}

NearestTermIndex::ClassCounts NearestTermIndex::class_counts(
    const std::vector<std::uint32_t>& symbols) {
    ClassCounts counts{};
    for (const std::uint32_t c : symbols) {
        std::uint8_t& count = counts[c & 15];
        if (count != UINT8_MAX) ++count;
    }
    return counts;
}

std::size_t NearestTermIndex::heap_bytes() const {
    return (forward_.capacity() + backward_.capacity()) * sizeof(TrieNode) +
           long_counts_.capacity() * sizeof(ClassCounts) + long_ascii_.capacity() / 8 +
           (node_of_rank_.capacity() + key_end_.capacity() + key_length_.capacity()) *
               sizeof(std::uint32_t) +
           key_bytes_.capacity();
}

std::uint32_t NearestTermIndex::find_exact(const std::vector<std::uint32_t>& query) const {
    std::uint32_t node = 0;
    for (const std::uint32_t c : query) {
        std::uint32_t child = node + 1;
        const std::uint32_t end = forward_[node].end;
        while (child < end && forward_[child].symbol < c) child = forward_[child].end;
        if (child >= end || forward_[child].symbol != c) return kNoRank;
        node = child;
    }
    return forward_[node].rank;
}

NearestTermIndex::Result NearestTermIndex::search(const std::vector<std::uint32_t>& query,
                                                  int max_distance, Scratch& scratch) const {
    Result result;
    if (query.size() > QueryAutomaton::kMaxSymbols || max_distance < 0) return result;
    std::uint32_t rank = find_exact(query);
    int distance = 0;
    if (rank == kNoRank && max_distance > 0) {
        const std::size_t size = query.size();
        scratch.forward.prepare(query.data(), size, false);
        scratch.backward.prepare(query.data(), size, true);
        const int limit = std::min(max_distance, kMaxIndexedDistance);
        while (rank == kNoRank && distance < limit) {
            ++distance;
            if (distance == 1) {  // both heads exact: split in halves
                rank = best_rank_within<1, 0>(forward_, backward_, scratch, size / 2);
            } else if (distance == 2) {
                // The forward head, which may take an edit, gets the middle symbol of an odd
                // query (measured slightly faster than the other ways to split).
                rank = best_rank_within<2, 1>(forward_, backward_, scratch, (size + 1) / 2);
            } else {
                rank = best_rank_within<3, 1>(forward_, backward_, scratch, size / 2);
            }
        }
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
