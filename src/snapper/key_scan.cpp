// The index's scan: every key in the order the tree walk would meet it, for the searches its
// tries leave open (long queries, large bounds). The first key found at a distance is the one
// the walk would answer among the keys at that distance, so each later key matters only if it
// is strictly nearer: its distance is wanted only up to the best so far minus one, which a length
// difference often settles before any symbol is compared and the kernel settles early otherwise.
#include <algorithm>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "term_index.h"

namespace kezo {

namespace {

using Pattern = snapper_detail::PatternDistance;

// A lower bound of the distance between two strings from their class counts: the larger surplus
// of one string's counts over the other's.
int class_bound(const NearestTermIndex::ClassCounts& a, const NearestTermIndex::ClassCounts& b) {
#if defined(__SSE2__)
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data()));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data()));
    const __m128i zero = _mm_setzero_si128();
    // Saturating differences, each summed in two halves.
    const __m128i x_over = _mm_sad_epu8(_mm_subs_epu8(x, y), zero);
    const __m128i y_over = _mm_sad_epu8(_mm_subs_epu8(y, x), zero);
    const __m128i sums =
        _mm_add_epi64(_mm_unpacklo_epi64(x_over, y_over), _mm_unpackhi_epi64(x_over, y_over));
    return std::max(_mm_cvtsi128_si32(sums), _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
#else
    int a_over = 0;
    int b_over = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int d = static_cast<int>(a[i]) - static_cast<int>(b[i]);
        a_over += d > 0 ? d : 0;
        b_over += d < 0 ? -d : 0;
    }
    return std::max(a_over, b_over);
#endif
}

}  // namespace

// What a scan pass needs of the query.
struct NearestTermIndex::ScanQuery {
    std::size_t size;    // symbols
    bool empty;          // then every key is as far as it is long
    ClassCounts counts;  // of its symbols
    std::size_t lanes;   // keys the multi-key kernel takes at once; 1 when it is not used
};

// One pass over the keys in rank order with bounds up to limit; best and best_rank are what the
// keys before held, and are updated. Long ASCII keys wait in a group until the kernel takes them
// together, with the bound the keys before the group leave: a key with a distance within it has
// its exact distance, and the group's keys are then settled in rank order as if met one by one.
// Every other key first settles the group before it.
void NearestTermIndex::scan_pass(const ScanQuery& query, int limit, int& best_distance,
                                 std::uint32_t& best_rank, Pattern& pattern) const {
    const auto count = static_cast<std::uint32_t>(key_end_.size());
    const std::string_view bytes(key_bytes_);
    std::string_view group[Pattern::kMaxLanes];
    std::uint32_t group_rank[Pattern::kMaxLanes];
    int group_distance[Pattern::kMaxLanes];
    std::size_t grouped = 0;
    int best = best_distance;
    int cap = std::min(best - 1, limit);  // the bound of the next key
    const auto found = [&](int d, std::uint32_t rank) {
        best = d;
        best_rank = rank;
        cap = std::min(best - 1, limit);
    };
    // Settles the group; true when it holds an exact match, which ends the pass.
    const auto settle = [&] {
        if (grouped == 0) return false;
        pattern.distances_to(group, grouped, cap, group_distance);
        const std::size_t n = grouped;
        grouped = 0;
        for (std::size_t k = 0; k < n; ++k) {
            if (group_distance[k] > cap) continue;
            found(group_distance[k], group_rank[k]);
            if (best == 0) return true;
        }
        return false;
    };
    const std::uint32_t* lengths = key_length_.data();
    const std::size_t query_size = query.size;
    const std::size_t lanes = query.lanes;
    const bool empty = query.empty;
    std::size_t long_key = 0;  // index into long_counts_ of the next long key
    bool exact = false;
    for (std::uint32_t rank = 0; rank < count && !exact; ++rank) {
        // cap leaves out the keys waiting in the group, which could only lower it: a key it rules
        // out cannot win. Most keys fall to the length difference, in this loop of their own.
        const auto apart = [&](std::size_t length) {
            return length > query_size ? length - query_size : query_size - length;
        };
        const auto far = static_cast<std::size_t>(cap);
        std::size_t skipped_long = 0;
        while (rank < count && apart(lengths[rank]) > far)
            skipped_long += lengths[rank++] >= kLongKey;
        long_key += skipped_long;
        if (rank == count) break;
        const std::size_t length = lengths[rank];
        const bool is_long = length >= kLongKey;
        const std::size_t slot = long_key;
        long_key += is_long;
        if (is_long && class_bound(long_counts_[slot], query.counts) > cap) continue;
        const std::uint32_t begin = rank == 0 ? 0 : key_end_[rank - 1];
        const std::string_view key = bytes.substr(begin, key_end_[rank] - begin);
        if (lanes > 1 && is_long && long_ascii_[slot]) {
            group[grouped] = key;
            group_rank[grouped] = rank;
            if (++grouped == lanes) exact = settle();
            continue;
        }
        if (grouped != 0 && settle()) break;
        // An empty query is as far from a key as the key is long.
        const int key_cap = cap;
        const int d = empty ? static_cast<int>(length) : pattern.distance_to(key, key_cap);
        if (d > key_cap) continue;
        found(d, rank);
        exact = d == 0;
    }
    if (!exact) settle();
    best_distance = best;
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
    ScanQuery q;
    q.size = query.size();
    q.empty = !scratch.pattern.prepare(query);
    q.counts = class_counts(query);
    q.lanes = !q.empty && scratch.pattern.takes_lanes() ? Pattern::lanes() : 1;
    int best = bound + 1;
    std::uint32_t best_rank = kNoRank;
    // A near key, when there is one, is found first by a pass with a small bound, where most
    // distances are settled within a few symbols; only when it finds nothing does a second pass
    // compute distances up to the whole bound.
    constexpr int first_limit = 4;
    scan_pass(q, std::min(bound, first_limit), best, best_rank, scratch.pattern);
    if (best_rank == kNoRank && bound > first_limit)
        scan_pass(q, bound, best, best_rank, scratch.pattern);
    if (best_rank != kNoRank) {
        result.outcome = Outcome::Found;
        result.node = node_of_rank_[best_rank];
        result.distance = best;
    }
    return result;
}

}  // namespace kezo
