// Internal helpers of the snapper: the code-point view of a byte string and the Levenshtein
// kernel shared by dictionary building and snapping.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "kezo/unicode.h"

namespace kezo::snapper_detail {

// Replaces out with the symbols of text: each decoded code point, or the value of a single
// malformed byte. Reuses out's capacity.
inline void to_symbols(const std::string& text, std::vector<std::uint32_t>& out) {
    out.clear();
    const char* data = text.data();
    const std::size_t len = text.size();
    std::size_t pos = 0;
    while (pos < len) {
        const auto b = static_cast<unsigned char>(data[pos]);
        if (b < 0x80) {
            out.push_back(b);
            ++pos;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(data, pos, len, &cp);
        out.push_back(n == 0 ? b : cp);
        pos += n == 0 ? 1 : n;
    }
}

// Number of symbols of text, counting stops once it exceeds limit (so the result is at most
// limit + 1). Costs time proportional to the prefix it reads.
inline std::size_t count_symbols_up_to(const std::string& text, std::size_t limit) {
    const char* data = text.data();
    const std::size_t len = text.size();
    std::size_t pos = 0;
    std::size_t count = 0;
    while (pos < len && count <= limit) {
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(data, pos, len, &cp);
        pos += n == 0 ? 1 : n;
        ++count;
    }
    return count;
}

// Levenshtein distance of a and b (unit costs, no transposition), computed with two rows of
// signed 32-bit cells held in rows. When the distance is certain to exceed cap the computation
// stops early and returns a value greater than cap; otherwise the result is exact. Pass INT_MAX
// for an unbounded, always exact computation.
inline int bounded_distance(const std::uint32_t* a, std::size_t la, const std::uint32_t* b,
                            std::size_t lb, int cap, std::vector<int>& rows) {
    const int over = cap < INT_MAX ? cap + 1 : cap;
    // The distance is at least the difference of the lengths.
    if ((la > lb ? la - lb : lb - la) > static_cast<std::size_t>(cap)) return over;
    if (rows.size() < 2 * (lb + 1)) rows.resize(2 * (lb + 1));
    int* prev = rows.data();
    int* cur = prev + lb + 1;
    for (std::size_t j = 0; j <= lb; ++j) prev[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= la; ++i) {
        const std::uint32_t ai = a[i - 1];
        int row_min = static_cast<int>(i);
        cur[0] = row_min;
        for (std::size_t j = 1; j <= lb; ++j) {
            int v = prev[j - 1];
            if (ai != b[j - 1]) v = 1 + std::min({cur[j - 1], v, prev[j]});
            cur[j] = v;
            row_min = std::min(row_min, v);
        }
        // Cells never decrease along a path, so no later row can come back under cap.
        if (row_min > cap) return over;
        std::swap(prev, cur);
    }
    return prev[lb];
}

// Bit-parallel Levenshtein distance from one fixed pattern of 1 to 64 symbols to any text
// (Myers' bit-vector algorithm in Hyyroe's form for whole-string distance): one machine word
// holds a column of the table, so a text costs a few word operations per symbol.
class PatternDistance {
  public:
    static constexpr std::size_t kMaxLength = 64;

    // Prepares pattern; false (and unusable) when it is empty or longer than kMaxLength.
    bool prepare(const std::vector<std::uint32_t>& pattern) {
        length_ = pattern.size();
        if (length_ == 0 || length_ > kMaxLength) return false;
        ascii_.fill(0);
        other_count_ = 0;
        for (std::size_t i = 0; i < length_; ++i) {
            const std::uint32_t c = pattern[i];
            const std::uint64_t bit = std::uint64_t{1} << i;
            if (c < 128) {
                ascii_[c] |= bit;
                continue;
            }
            std::size_t k = 0;
            while (k < other_count_ && other_[k].first != c) ++k;
            if (k == other_count_) other_[other_count_++] = {c, 0};
            other_[k].second |= bit;
        }
        high_ = std::uint64_t{1} << (length_ - 1);
        return true;
    }

    std::size_t length() const { return length_; }

    // Distance from the pattern to the symbols of text (decoded on the fly).
    int distance_to(const std::string& text) const {
        std::uint64_t pv = ~std::uint64_t{0};
        std::uint64_t mv = 0;
        int score = static_cast<int>(length_);
        const char* data = text.data();
        const std::size_t len = text.size();
        std::size_t pos = 0;
        while (pos < len) {
            const auto b = static_cast<unsigned char>(data[pos]);
            std::uint32_t c = b;
            if (b < 0x80) {
                ++pos;
            } else {
                const std::size_t n = unicode::decode_utf8(data, pos, len, &c);
                if (n == 0) c = b;
                pos += n == 0 ? 1 : n;
            }
            const std::uint64_t eq = mask_of(c);
            const std::uint64_t xv = eq | mv;
            const std::uint64_t xh = (((eq & pv) + pv) ^ pv) | eq;
            std::uint64_t ph = mv | ~(xh | pv);
            std::uint64_t mh = pv & xh;
            if (ph & high_) {
                ++score;
            } else if (mh & high_) {
                --score;
            }
            // Row 0 of the table grows by one per text symbol: shift a +1 in at the top.
            ph = (ph << 1) | 1;
            mh <<= 1;
            pv = mh | ~(xv | ph);
            mv = ph & xv;
        }
        return score;
    }

  private:
    std::uint64_t mask_of(std::uint32_t c) const {
        if (c < 128) return ascii_[c];
        for (std::size_t k = 0; k < other_count_; ++k) {
            if (other_[k].first == c) return other_[k].second;
        }
        return 0;
    }

    std::array<std::uint64_t, 128> ascii_{};
    std::array<std::pair<std::uint32_t, std::uint64_t>, kMaxLength> other_{};
    std::size_t other_count_ = 0;
    std::uint64_t high_ = 0;
    std::size_t length_ = 0;
};

}  // namespace kezo::snapper_detail
