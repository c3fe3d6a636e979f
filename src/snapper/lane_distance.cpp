// The multi-key kernel: the blocked bit-vector distance of pattern_distance.cpp with one text in
// each 64-bit lane of a vector register, so 4 (AVX2) or 8 (AVX-512) texts advance by one symbol
// in the time one would. The wheel targets the x86-64 baseline, so the kernels are compiled for
// their instruction sets function by function and picked at run time from what the processor
// reports; elsewhere (and on processors without AVX2) every distance goes through distance_to.
#include <algorithm>
#include <atomic>
#include <cstdint>

#include "pattern_distance.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define KEZO_LANE_KERNELS 1
#include <cpuid.h>
#else
#define KEZO_LANE_KERNELS 0
#endif

namespace kezo::snapper_detail {
namespace {

#if KEZO_LANE_KERNELS

typedef std::uint64_t U64x4 __attribute__((vector_size(32)));
typedef std::uint64_t U64x8 __attribute__((vector_size(64)));

// The texts of one call, each readable up to the longest: a shorter one is a copy padded with
// zero bytes. The lanes past count repeat the first text.
struct LaneTexts {
    const unsigned char* text[PatternDistance::kMaxLanes];
    std::size_t length[PatternDistance::kMaxLanes];
    std::size_t count;
    std::size_t longest;
};

// Symbols between two looks at the lanes' diagonal cells.
constexpr std::size_t kCheckEvery = 8;

// The kernel for patterns of kBlocks blocks (masks block by block), V holding kLanes words. Inlined
// into each function compiled for an instruction set, so it becomes that set's code. Every text
// runs until it ends or gives up (past its end it reads padding, its distance already kept), and
// the group stops when all have.
//
// A lane's diagonal cell is the one on the table's diagonal that ends in the final cell: row
// symbols + (pattern - text) of the current column. Cells along a diagonal never decrease, so
// once it exceeds cap so will the distance. Its value is the column's row 0 (the symbols read)
// plus the ups minus the downs above it, counted in pv and mv.
template <class V, std::size_t kLanes, std::size_t kBlocks>
inline __attribute__((always_inline)) void lane_distances(const std::uint64_t* masks, std::size_t m,
                                                          unsigned high, const LaneTexts& texts,
                                                          int cap, int* out) {
    static_assert(sizeof(V) == 8 * kLanes && (kLanes == 4 || kLanes == 8), "a word per lane");
    const unsigned char* text[kLanes];
    std::size_t length[kLanes];
    bool alive[kLanes];
    const V zero = {};
    const V one = zero + 1;
    V lengths = zero;
    const std::size_t longest = texts.longest;
    for (std::size_t k = 0; k < kLanes; ++k) {
        text[k] = texts.text[k];
        length[k] = texts.length[k];
        lengths[k] = texts.length[k];
        alive[k] = true;
    }
    V pv[kBlocks];
    V mv[kBlocks];
    for (std::size_t b = 0; b < kBlocks; ++b) {
        pv[b] = ~zero;
        mv[b] = zero;
    }
    V score = zero + m;  // the column's last row
    V final_score = zero;
    V column = zero;    // symbols read, in every lane
    std::size_t t = 0;  // symbols read
    while (t < longest) {
        for (const std::size_t stop = std::min(longest, t + kCheckEvery); t < stop; ++t) {
            unsigned c[kLanes];
            for (std::size_t k = 0; k < kLanes; ++k) c[k] = text[k][t];
            V up = one;  // row 0 grows by one per text symbol
            V down = zero;
            for (std::size_t b = 0; b < kBlocks; ++b) {
                // Built whole, not lane by lane: lane stores would go through memory.
                const std::uint64_t* row = masks + 128 * b;
                V eq;
                if constexpr (kLanes == 4) {
                    eq = V{row[c[0]], row[c[1]], row[c[2]], row[c[3]]};
                } else {
                    eq = V{row[c[0]], row[c[1]], row[c[2]], row[c[3]],
                           row[c[4]], row[c[5]], row[c[6]], row[c[7]]};
                }
                const V e = eq | down;
                const V xv = eq | mv[b];
                const V xh = (((e & pv[b]) + pv[b]) ^ pv[b]) | e;
                V ph = mv[b] | ~(xh | pv[b]);
                V mh = pv[b] & xh;
                const V up_out = b + 1 == kBlocks ? (ph >> high) & one : ph >> 63;
                const V down_out = b + 1 == kBlocks ? (mh >> high) & one : mh >> 63;
                ph = (ph << 1) | up;
                mh = (mh << 1) | down;
                pv[b] = mh | ~(xv | ph);
                mv[b] = ph & xv;
                up = up_out;
                down = down_out;
            }
            score += up - down;
            column += one;
            const V ends = (V)(lengths == column);
            final_score = (final_score & ~ends) | (score & ends);
        }
        bool working = false;
        for (std::size_t k = 0; k < kLanes; ++k) {
            if (!alive[k] || t >= length[k]) continue;
            const long long row = static_cast<long long>(t + m) - static_cast<long long>(length[k]);
            long long cell = static_cast<long long>(t);
            for (std::size_t b = 0; b < kBlocks; ++b) {
                const long long bits = row - static_cast<long long>(64 * b);
                if (bits <= 0) break;
                const std::uint64_t above =
                    bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
                cell +=
                    __builtin_popcountll(pv[b][k] & above) - __builtin_popcountll(mv[b][k] & above);
            }
            if (row > 0 && cell > cap) {
                alive[k] = false;
                continue;
            }
            working = true;
        }
        if (!working) break;
    }
    for (std::size_t k = 0; k < texts.count; ++k) {
        const std::uint64_t d = final_score[k];
        out[k] = alive[k] && d <= static_cast<std::uint64_t>(cap) ? static_cast<int>(d) : cap + 1;
    }
}

template <class V, std::size_t kLanes>
inline __attribute__((always_inline)) void by_blocks(const std::uint64_t* masks, std::size_t blocks,
                                                     std::size_t m, unsigned high,
                                                     const LaneTexts& texts, int cap, int* out) {
    switch (blocks) {
        case 1:
            return lane_distances<V, kLanes, 1>(masks, m, high, texts, cap, out);
        case 2:
            return lane_distances<V, kLanes, 2>(masks, m, high, texts, cap, out);
        case 3:
            return lane_distances<V, kLanes, 3>(masks, m, high, texts, cap, out);
        default:
            return lane_distances<V, kLanes, 4>(masks, m, high, texts, cap, out);
    }
}

__attribute__((target("avx2,popcnt"))) void four_lanes(const std::uint64_t* masks,
                                                       std::size_t blocks, std::size_t m,
                                                       unsigned high, const LaneTexts& texts,
                                                       int cap, int* out) {
    by_blocks<U64x4, 4>(masks, blocks, m, high, texts, cap, out);
}

__attribute__((target("avx512f,avx512vl,avx2,popcnt"))) void eight_lanes(
    const std::uint64_t* masks, std::size_t blocks, std::size_t m, unsigned high,
    const LaneTexts& texts, int cap, int* out) {
    by_blocks<U64x8, 8>(masks, blocks, m, high, texts, cap, out);
}

// 8 with AVX-512, 4 with AVX2 (each with the system saving its registers), else 1.
std::size_t widest_lanes() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0) return 1;
    const unsigned needed = (1u << 23) | (1u << 27) | (1u << 28);  // popcnt, osxsave, avx
    if ((c & needed) != needed) return 1;
    unsigned saved = 0, saved_high = 0;
    __asm__("xgetbv" : "=a"(saved), "=d"(saved_high) : "c"(0));
    if ((saved & 0x6) != 0x6) return 1;  // xmm and ymm state
    if (__get_cpuid_max(0, nullptr) < 7) return 1;
    __cpuid_count(7, 0, a, b, c, d);
    if ((b & (1u << 5)) == 0) return 1;  // avx2
    // AVX-512 foundation and vector-length extensions (the kernel's masks of 4 words need
    // them), and the zmm state saved.
    const bool avx512 = (b & (1u << 16)) != 0 && (b & (1u << 31)) != 0 && (saved & 0xE6) == 0xE6;
    return avx512 ? 8 : 4;
}

#else

std::size_t widest_lanes() {
    return 1;
}

#endif

std::atomic<std::size_t>& chosen_lanes() {
    static std::atomic<std::size_t> lanes{widest_lanes()};
    return lanes;
}

}  // namespace

std::size_t PatternDistance::lanes() {
    return chosen_lanes().load(std::memory_order_relaxed);
}

bool PatternDistance::use_lanes(std::size_t lanes) {
    static const std::size_t widest = widest_lanes();
    if (lanes != 1 && lanes != 4 && lanes != 8) return false;
    if (lanes > widest) return false;
    chosen_lanes().store(lanes, std::memory_order_relaxed);
    return true;
}

void PatternDistance::distances_to(const std::string_view* texts, std::size_t count, int cap,
                                   int* out) {
#if KEZO_LANE_KERNELS
    const std::size_t width = lanes();
    if (width > 1 && takes_lanes() && count <= width) {
        LaneTexts lane;
        lane.count = count;
        lane.longest = 0;
        for (std::size_t k = 0; k < count; ++k)
            lane.longest = std::max(lane.longest, texts[k].size());
        std::size_t padded = 0;
        for (std::size_t k = 0; k < count; ++k) padded += texts[k].size() < lane.longest;
        if (lane_text_.size() < padded * lane.longest) lane_text_.resize(padded * lane.longest);
        unsigned char* row = lane_text_.data();
        for (std::size_t k = 0; k < width; ++k) {
            if (k >= count) {  // an unused lane repeats the first text, padded as it is
                lane.length[k] = lane.length[0];
                lane.text[k] = lane.text[0];
                continue;
            }
            const std::string_view text = texts[k];
            lane.length[k] = text.size();
            lane.text[k] = reinterpret_cast<const unsigned char*>(text.data());
            if (text.size() == lane.longest) continue;
            std::copy(text.begin(), text.end(), row);
            std::fill(row + text.size(), row + lane.longest, 0);
            lane.text[k] = row;
            row += lane.longest;
        }
        if (lane_masks_.empty()) {
            lane_masks_.resize(128 * blocks_);
            for (std::size_t c = 0; c < 128; ++c) {
                for (std::size_t b = 0; b < blocks_; ++b)
                    lane_masks_[128 * b + c] = ascii_[c * blocks_ + b];
            }
        }
        const std::uint64_t* masks = lane_masks_.data();
        if (width == 8) return eight_lanes(masks, blocks_, length_, high_, lane, cap, out);
        return four_lanes(masks, blocks_, length_, high_, lane, cap, out);
    }
#endif
    for (std::size_t k = 0; k < count; ++k) out[k] = distance_to(texts[k], cap);
}

}  // namespace kezo::snapper_detail
