// Bit-parallel Levenshtein distance from one fixed pattern to many texts: Myers' bit-vector
// algorithm for whole-string distance, the pattern cut into blocks of 64 symbols that pass their
// carries from one block to the next. A text symbol costs a few word operations per block, so a
// distance costs ceil(m / 64) x n steps instead of the m x n cells of the plain table, and a
// bound on the answer lets it stop as soon as the bound is certain to be exceeded.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace kezo::snapper_detail {

class PatternDistance {
  public:
    // Prepares pattern, of any length; false (and unusable until the next prepare) when it is
    // empty. Costs time linear in the pattern (plus a sort of its non-ASCII symbols) and reuses
    // the buffers of earlier patterns.
    bool prepare(const std::vector<std::uint32_t>& pattern);

    std::size_t length() const { return length_; }
    // Heap bytes held, so that a thread's scratch can let go of a huge pattern.
    std::size_t heap_bytes() const;

    // Distance from the pattern to the symbols of text (each decoded code point, or the value of
    // a single malformed byte) when it is at most cap; otherwise some value above cap, returned
    // as soon as that is certain. cap >= 0; INT_MAX asks for the exact distance. Uses this
    // object's buffers: one object per thread.
    int distance_to(std::string_view text, int cap = INT_MAX);

    // The multi-key kernel: one distance per lane of a vector register, for texts of ASCII
    // bytes. kMaxLanes is the widest (AVX-512); a width of 1 means no such kernel, and every
    // distance goes through distance_to.
    static constexpr std::size_t kMaxLanes = 8;
    static constexpr std::size_t kMaxLaneBlocks = 4;  // patterns of up to 256 symbols

    // The width the scans use: the widest this processor runs (4 with AVX2, 8 with AVX-512 on
    // x86-64, else 1), detected once. Thread-safe.
    static std::size_t lanes();
    // Makes every later scan use lanes (1, 4 or 8) when this processor runs that width; false,
    // changing nothing, when it does not. For tests and measurements: not meant to race snaps.
    static bool use_lanes(std::size_t lanes);
    // Whether this pattern can go through the multi-key kernel: non-empty, up to
    // kMaxLaneBlocks x 64 symbols.
    bool takes_lanes() const { return length_ > 0 && blocks_ <= kMaxLaneBlocks; }

    // out[k] as distance_to(texts[k], cap) gives it (the distance when at most cap, else some
    // value above), for k < count, for non-empty texts of ASCII bytes only. With takes_lanes()
    // and count <= lanes() > 1 the texts go through the multi-key kernel together, each giving
    // up once its diagonal cell (a lower bound of the final distance) exceeds cap: about the cost
    // of the longest text alone, ceil(pattern / 64) x text steps at most; otherwise one by one.
    // Uses this object's buffers, as distance_to does.
    void distances_to(const std::string_view* texts, std::size_t count, int cap, int* out);

  private:
    enum class Method { Above, Banded, Fixed, Many };
    // The column state of one distance: bit i of pv / mv set where the column goes up / down by
    // one from row i to row i + 1; score is its last row.
    template <std::size_t kBlocks>
    struct Column {
        explicit Column(std::size_t length);
        std::uint64_t pv[kBlocks];
        std::uint64_t mv[kBlocks];
        int score;
    };

    Method method_for(std::string_view text, int cap) const;
    const std::uint64_t* masks_of(std::uint32_t c) const;
    int banded(std::string_view text, int cap);
    template <std::size_t kBlocks>
    void advance(Column<kBlocks>& column, std::uint32_t c) const;
    template <std::size_t kBlocks>
    int fixed_blocks(std::string_view text, int cap) const;

    int double_word(std::string_view text, int cap) const;
    int many_blocks(std::string_view text, int cap);

    std::vector<std::uint32_t> pattern_;
    std::vector<int> column_;  // the band of one text symbol's column, for small bounds
    std::size_t length_ = 0;
    std::size_t blocks_ = 0;
    unsigned high_ = 0;  // the bit of the last pattern symbol in the last block
    // Symbol c < 128: its blocks_ match masks start at ascii_[c * blocks_]. Other symbols: a
    // row of other_masks_, found through other_ (sorted by symbol).
    std::vector<std::uint64_t> ascii_;
    std::array<bool, 128> ascii_used_{};
    std::vector<std::pair<std::uint32_t, std::uint32_t>> other_;  // symbol -> row
    std::vector<std::uint64_t> other_masks_;
    std::vector<std::uint64_t> zero_;  // the masks of a symbol absent from the pattern
    std::vector<std::uint64_t> pv_;    // the column state of a distance, one word per block
    std::vector<std::uint64_t> mv_;
    // The multi-key kernel's masks, block by block (symbol c < 128 of block b at 128 b + c),
    // made on its first call after a prepare; and its padded copies of texts.
    std::vector<std::uint64_t> lane_masks_;
    std::vector<unsigned char> lane_text_;
};

}  // namespace kezo::snapper_detail
