// The index's scan: every key in the order the tree walk would meet it, for the searches its
// tries leave open (long queries, large bounds). The first key found at a distance is the one
// the walk would answer among the keys at that distance, so each later key matters only if it
// is strictly nearer: its distance is wanted only up to the best so far minus one, which a length
// difference often settles before any symbol is compared and the kernel settles early otherwise.
#include <algorithm>
#include <string_view>

#include "term_index.h"

namespace kezo {

namespace {

using Pattern = snapper_detail::PatternDistance;

}  // namespace

// One pass over the keys in rank order with bounds up to limit; best and best_rank are what the
// keys before held, and are updated.
void NearestTermIndex::scan_pass(std::size_t query_size, bool empty, int limit, int& best,
                                 std::uint32_t& best_rank, Pattern& pattern) const {
    const auto count = static_cast<std::uint32_t>(key_end_.size());
    const std::string_view bytes(key_bytes_);
    std::uint32_t begin = 0;
    for (std::uint32_t rank = 0; rank < count; begin = key_end_[rank], ++rank) {
        const int cap = std::min(best - 1, limit);
        const std::size_t length = key_length_[rank];
        const std::size_t apart = length > query_size ? length - query_size : query_size - length;
        if (apart > static_cast<std::size_t>(cap)) continue;
        // An empty query is as far from a key as the key is long.
        const int d = empty ? static_cast<int>(length)
                            : pattern.distance_to(bytes.substr(begin, key_end_[rank] - begin), cap);
        if (d > cap) continue;
        best = d;
        best_rank = rank;
        if (d == 0) return;
    }
}

NearestTermIndex::Result NearestTermIndex::scan(const std::vector<std::uint32_t>& query,
                                                int max_distance, Scratch& scratch) const {
    Result result;
    result.outcome = Outcome::NotFound;
    if (max_distance < 0) return result;
    // A distance never exceeds the longer string, so the bound is cut to that (which also keeps
    // best + 1 from overflowing).
    const std::size_t longest =
        std::min<std::size_t>(std::max(query.size(), longest_key_), INT_MAX - 1);
    const int bound = static_cast<int>(std::min(static_cast<std::size_t>(max_distance), longest));
    const bool empty = !scratch.pattern.prepare(query);
    int best = bound + 1;
    std::uint32_t best_rank = kNoRank;
    // A near key, when there is one, is found first by a pass with a small bound, where most
    // distances are settled within a few symbols; only when it finds nothing does a second pass
    // compute distances up to the whole bound.
    constexpr int first_limit = 4;
    scan_pass(query.size(), empty, std::min(bound, first_limit), best, best_rank, scratch.pattern);
    if (best_rank == kNoRank && bound > first_limit)
        scan_pass(query.size(), empty, bound, best, best_rank, scratch.pattern);
    if (best_rank != kNoRank) {
        result.outcome = Outcome::Found;
        result.node = node_of_rank_[best_rank];
        result.distance = best;
    }
    return result;
}

}  // namespace kezo
