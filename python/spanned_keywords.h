// Conversion of SpannedKeyword lists to Python: byte spans into the UTF-8 form of the caller's
// str become code-point offsets, so text[start:end] in Python is the occurrence.
#pragma once

#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "kezo/spanned_keyword.h"

namespace kezo::python {

// Code-point offset of every byte offset in offsets (sorted ascending, each at most
// text.size()), written back in place. One pass over text up to the largest offset; offsets
// that fall inside a multi-byte character count the characters that start before them.
inline void byte_to_code_point_offsets(std::string_view text, std::vector<std::uint64_t>& offsets) {
    std::uint64_t byte = 0;
    std::uint64_t code_points = 0;
    for (std::uint64_t& offset : offsets) {
        const std::uint64_t target = std::min<std::uint64_t>(offset, text.size());
        for (; byte < target; ++byte)
            if ((static_cast<unsigned char>(text[byte]) & 0xC0) != 0x80) ++code_points;
        offset = code_points;
    }
}

// A list of (text, score, count, first_position, spans) tuples, spans being a list of
// (start, end) code-point offsets into text. Call with the interpreter lock held. Linear in the
// text up to its last span, and n log n in the number of spans.
inline pybind11::list spanned_keywords_to_python(std::string_view text,
                                                 const std::vector<SpannedKeyword>& keywords) {
    std::vector<std::uint64_t> offsets;
    for (const SpannedKeyword& k : keywords)
        for (const ByteSpan& s : k.spans) {
            offsets.push_back(s.begin);
            offsets.push_back(s.end);
        }
    std::vector<std::uint64_t> sorted = offsets;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<std::uint64_t> converted = sorted;
    byte_to_code_point_offsets(text, converted);
    const auto code_point = [&](std::uint64_t byte) {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), byte) - sorted.begin();
        return converted[static_cast<std::size_t>(at)];
    };

    pybind11::list result;
    for (const SpannedKeyword& k : keywords) {
        pybind11::list spans;
        for (const ByteSpan& s : k.spans)
            spans.append(pybind11::make_tuple(code_point(s.begin), code_point(s.end)));
        result.append(pybind11::make_tuple(k.keyword.text, k.keyword.score, k.keyword.count,
                                           k.keyword.first_position, spans));
    }
    return result;
}

}  // namespace kezo::python
