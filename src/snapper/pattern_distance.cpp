// The blocked bit-vector distance. Bit i of a block's state words stands for pattern symbol
// 64 * block + i; pv / mv mark the rows where the current column of the table goes up / down by
// one from the row above. A block hands the next one the change of its last row (+1, 0 or -1),
// which is what the row above the next block's first row did; row 0 of the table grows by one
// per text symbol, so the first block always receives +1.
#include "pattern_distance.h"

#include <algorithm>

#include "kezo/unicode.h"

// The steps of a distance must be inlined into its loop, so the column state stays in
// registers (and two columns side by side really interleave).
#if defined(__GNUC__)
#define KEZO_STEP inline __attribute__((always_inline))
#else
#define KEZO_STEP inline
#endif

namespace kezo::snapper_detail {
namespace {

// The symbol of text at pos (a decoded code point, or the value of a byte that does not start
// a well-formed sequence); advances pos past it.
KEZO_STEP std::uint32_t next_symbol(std::string_view text, std::size_t& pos) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
        ++pos;
        return b;
    }
    std::uint32_t cp = 0;
    const std::size_t n = unicode::decode_utf8(text.data(), pos, text.size(), &cp);
    pos += n == 0 ? 1 : n;
    return n == 0 ? b : cp;
}

// Each later symbol changes the last row by at most one, and no more symbols than bytes remain:
// the final distance is at least score - remaining bytes.
inline bool certainly_above(int score, std::size_t remaining, int cap) {
    return static_cast<long long>(score) - static_cast<long long>(remaining) > cap;
}

// One step of the algorithm for one block: the new column state from the old one, the block's
// match mask and the change handed in (up or down, at most one of them 1); returns the change
// of the block's row `top` (a bit position) through up / down.
KEZO_STEP void step(std::uint64_t& pv, std::uint64_t& mv, std::uint64_t eq, unsigned top,
                    std::uint64_t& up, std::uint64_t& down) {
    const std::uint64_t e = eq | down;
    const std::uint64_t xv = eq | mv;
    const std::uint64_t xh = (((e & pv) + pv) ^ pv) | e;
    std::uint64_t ph = mv | ~(xh | pv);
    std::uint64_t mh = pv & xh;
    const std::uint64_t up_out = (ph >> top) & 1;
    const std::uint64_t down_out = (mh >> top) & 1;
    ph = (ph << 1) | up;
    mh = (mh << 1) | down;
    pv = mh | ~(xv | ph);
    mv = ph & xv;
    up = up_out;
    down = down_out;
}

}  // namespace

bool PatternDistance::prepare(const std::vector<std::uint32_t>& pattern) {
    const std::size_t old_blocks = blocks_;
    length_ = pattern.size();
    blocks_ = (length_ + 63) / 64;
    if (blocks_ != old_blocks) {
        ascii_.assign(128 * blocks_, 0);
    } else {
        for (std::size_t c = 0; c < 128; ++c) {
            if (!ascii_used_[c]) continue;
            std::fill_n(ascii_.begin() + static_cast<std::ptrdiff_t>(c * blocks_), blocks_, 0);
        }
    }
    ascii_used_.fill(false);
    other_.clear();
    other_masks_.clear();
    pattern_.assign(pattern.begin(), pattern.end());
    lane_masks_.clear();
    if (length_ == 0) return false;

    for (std::size_t i = 0; i < length_; ++i) {
        const std::uint32_t c = pattern[i];
        if (c < 128) {
            ascii_[c * blocks_ + i / 64] |= std::uint64_t{1} << (i % 64);
            ascii_used_[c] = true;
        } else {
            other_.emplace_back(c, static_cast<std::uint32_t>(i));  // position, for now
        }
    }
    // Other symbols: sorted, each distinct one gets a row of masks, and other_ keeps one entry
    // per row.
    std::sort(other_.begin(), other_.end());
    std::uint32_t rows = 0;
    for (std::size_t k = 0; k < other_.size(); ++k) {
        const auto [c, position] = other_[k];
        if (rows == 0 || other_[rows - 1].first != c) {
            other_[rows] = {c, rows};
            ++rows;
            other_masks_.resize(rows * blocks_, 0);
        }
        other_masks_[(rows - 1) * blocks_ + position / 64] |= std::uint64_t{1} << (position % 64);
    }
    other_.resize(rows);
    zero_.assign(blocks_, 0);
    pv_.resize(blocks_);
    mv_.resize(blocks_);
    high_ = static_cast<unsigned>((length_ - 1) % 64);
    return true;
}

std::size_t PatternDistance::heap_bytes() const {
    return (ascii_.capacity() + other_masks_.capacity() + zero_.capacity() + pv_.capacity() +
            mv_.capacity() + lane_masks_.capacity()) *
               sizeof(std::uint64_t) +
           other_.capacity() * sizeof(other_[0]) +
           (pattern_.capacity() + column_.capacity()) * sizeof(std::uint32_t) +
           lane_text_.capacity();
}

const std::uint64_t* PatternDistance::masks_of(std::uint32_t c) const {
    if (c < 128) return ascii_.data() + c * blocks_;
    const auto it =
        std::lower_bound(other_.begin(), other_.end(), c,
                         [](const auto& entry, std::uint32_t v) { return entry.first < v; });
    if (it == other_.end() || it->first != c) return zero_.data();
    return other_masks_.data() + it->second * blocks_;
}

PatternDistance::Method PatternDistance::method_for(std::string_view text, int cap) const {
    if (cap < INT_MAX) {
        // The distance is at least the difference of the lengths; text has between a quarter of
        // its bytes (rounded up) and all of them as symbols.
        const std::size_t most = text.size();
        const std::size_t least = (most + 3) / 4;
        const auto bound = static_cast<std::size_t>(cap);
        if (length_ > most + bound || least > length_ + bound) return Method::Above;
        // A small bound is settled by the cells within it of the diagonal, and unless the
        // strings are alike, within the first cap + 1 text symbols, which the bit-parallel
        // columns cannot see: the band wins while those (cap + 1) x (2 cap + 1) cells cost less
        // than the columns' whole run (measured at about the same cost per cell as per column
        // step of one block).
        if (static_cast<long long>(cap + 1) * (2 * cap + 1) <
            static_cast<long long>(most * blocks_))
            return Method::Banded;
    }
    // Patterns of up to 256 symbols (every term under the default length limit) keep their
    // whole column in registers.
    return blocks_ <= 4 ? Method::Fixed : Method::Many;
}

int PatternDistance::distance_to(std::string_view text, int cap) {
    switch (method_for(text, cap)) {
        case Method::Above:
            return cap + 1;
        case Method::Banded:
            return banded(text, cap);
        case Method::Many:
            return many_blocks(text, cap);
        case Method::Fixed:
            break;
    }
    switch (blocks_) {
        case 1:
            return fixed_blocks<1>(text, cap);
        case 2:
            return double_word(text, cap);
        case 3:
            return fixed_blocks<3>(text, cap);
        default:
            return fixed_blocks<4>(text, cap);
    }
}

// The table's cells within cap of the diagonal, one text symbol (a column) at a time: outside
// that band every cell exceeds cap, and once a whole column of the band does, so does the end.
int PatternDistance::banded(std::string_view text, int cap) {
    const int over = cap + 1;
    const auto m = static_cast<long long>(length_);
    // Only the band is ever read (a cell past the previous column's band reads as over), so
    // cells left from earlier texts need no clearing.
    if (column_.size() < length_ + 1) column_.resize(length_ + 1);
    for (long long i = 0; i <= std::min<long long>(m, cap); ++i) column_[i] = static_cast<int>(i);
    int* column = column_.data();
    const std::uint32_t* pattern = pattern_.data();
    long long j = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::uint32_t c = next_symbol(text, pos);
        ++j;
        const long long low = std::max<long long>(0, j - cap);
        const long long high = std::min<long long>(m, j + cap);
        if (low > high) return over;
        // column[i] holds row i of the previous column until it is overwritten; diagonal keeps
        // the previous column's row i - 1.
        int diagonal = low == 0 ? over : column[low - 1];
        int above = over;  // row i - 1 of this column
        int lowest = over;
        if (low == 0) {
            diagonal = column[0];
            above = j <= cap ? static_cast<int>(j) : over;
            column[0] = above;
            lowest = above;
        }
        for (long long i = std::max<long long>(low, 1); i <= high; ++i) {
            const int left = i <= j - 1 + cap ? column[i] : over;
            int v = diagonal + (pattern[i - 1] != c);
            v = std::min(v, std::min(left, above) + 1);
            v = std::min(v, over);
            diagonal = column[i];
            column[i] = v;
            above = v;
            lowest = std::min(lowest, v);
        }
        if (low > 0) column[low - 1] = over;  // leaves the band
        if (lowest > cap) return over;
    }
    if (m > j + cap) return over;  // the last row never entered the band
    return column[length_] > cap ? over : column[length_];
}

template <std::size_t kBlocks>
PatternDistance::Column<kBlocks>::Column(std::size_t length) : score(static_cast<int>(length)) {
    for (std::size_t b = 0; b < kBlocks; ++b) {
        pv[b] = ~std::uint64_t{0};
        mv[b] = 0;
    }
}

template <std::size_t kBlocks>
KEZO_STEP void PatternDistance::advance(Column<kBlocks>& column, std::uint32_t c) const {
    const std::uint64_t* eq = c < 128 ? ascii_.data() + c * kBlocks : masks_of(c);
    std::uint64_t up = 1;  // row 0 grows by one per text symbol
    std::uint64_t down = 0;
    for (std::size_t b = 0; b < kBlocks; ++b) {
        const unsigned top = b + 1 == kBlocks ? high_ : 63;
        step(column.pv[b], column.mv[b], eq[b], top, up, down);
    }
    column.score += static_cast<int>(up) - static_cast<int>(down);
}

template <std::size_t kBlocks>
int PatternDistance::fixed_blocks(std::string_view text, int cap) const {
    Column<kBlocks> column(length_);
    const bool bounded = cap < INT_MAX;
    for (std::size_t pos = 0; pos < text.size();) {
        advance(column, next_symbol(text, pos));
        if (bounded && certainly_above(column.score, text.size() - pos, cap)) return cap + 1;
    }
    return column.score;
}

// Patterns of 65 to 128 symbols as one 128-bit word in two halves: the addition carries from
// the low half into the high one and the shifts pass the low half's top bit up, so a symbol costs
// one step of paired word operations instead of two block steps that wait on each other.
int PatternDistance::double_word(std::string_view text, int cap) const {
    std::uint64_t pv0 = ~std::uint64_t{0};
    std::uint64_t pv1 = ~std::uint64_t{0};
    std::uint64_t mv0 = 0;
    std::uint64_t mv1 = 0;
    const unsigned high = high_;  // in the high half
    const std::uint64_t* ascii = ascii_.data();
    const bool bounded = cap < INT_MAX;
    int score = static_cast<int>(length_);
    for (std::size_t pos = 0; pos < text.size();) {
        const std::uint32_t c = next_symbol(text, pos);
        const std::uint64_t* masks = c < 128 ? ascii + 2 * c : masks_of(c);
        const std::uint64_t eq0 = masks[0];
        const std::uint64_t eq1 = masks[1];
        const std::uint64_t xv0 = eq0 | mv0;
        const std::uint64_t xv1 = eq1 | mv1;
        const std::uint64_t sum0 = (eq0 & pv0) + pv0;
        const std::uint64_t sum1 = (eq1 & pv1) + pv1 + (sum0 < pv0);
        const std::uint64_t xh0 = (sum0 ^ pv0) | eq0;
        const std::uint64_t xh1 = (sum1 ^ pv1) | eq1;
        std::uint64_t ph0 = mv0 | ~(xh0 | pv0);
        std::uint64_t ph1 = mv1 | ~(xh1 | pv1);
        std::uint64_t mh0 = pv0 & xh0;
        std::uint64_t mh1 = pv1 & xh1;
        score += static_cast<int>((ph1 >> high) & 1) - static_cast<int>((mh1 >> high) & 1);
        ph1 = (ph1 << 1) | (ph0 >> 63);
        ph0 = (ph0 << 1) | 1;
        mh1 = (mh1 << 1) | (mh0 >> 63);
        mh0 <<= 1;
        pv0 = mh0 | ~(xv0 | ph0);
        pv1 = mh1 | ~(xv1 | ph1);
        mv0 = ph0 & xv0;
        mv1 = ph1 & xv1;
        if (bounded && certainly_above(score, text.size() - pos, cap)) return cap + 1;
    }
    return score;
}

int PatternDistance::many_blocks(std::string_view text, int cap) {
    std::uint64_t* pv = pv_.data();
    std::uint64_t* mv = mv_.data();
    const std::size_t blocks = blocks_;
    std::fill_n(pv, blocks, ~std::uint64_t{0});
    std::fill_n(mv, blocks, 0);
    const std::size_t size = text.size();
    const bool bounded = cap < INT_MAX;
    int score = static_cast<int>(length_);
    for (std::size_t pos = 0; pos < size;) {
        const std::uint64_t* eq = masks_of(next_symbol(text, pos));
        std::uint64_t up = 1;
        std::uint64_t down = 0;
        for (std::size_t b = 0; b + 1 < blocks; ++b) {
            step(pv[b], mv[b], eq[b], 63, up, down);
        }
        step(pv[blocks - 1], mv[blocks - 1], eq[blocks - 1], high_, up, down);
        score += static_cast<int>(up) - static_cast<int>(down);
        if (bounded && certainly_above(score, size - pos, cap)) return cap + 1;
    }
    return score;
}

}  // namespace kezo::snapper_detail
