// Internal helpers of the snapper: the code-point view of a byte string, shared by dictionary
// building, the index and snapping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

}  // namespace kezo::snapper_detail
