// Helpers shared by the fuzz targets: a check that aborts (so libFuzzer reports the input), the
// code-point view of byte strings, and picks of extreme option values from the fuzz input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kezo/unicode.h"

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace kezo::fuzz {

// Calls visit(pos, n, cp) for each symbol of text as the snapper and the tokenizer see it: a
// well-formed sequence of n bytes decoding to cp, or (n == 0) a byte that does not start one.
template <class Visit>
void for_each_symbol(const std::string& text, Visit visit) {
    for (std::size_t pos = 0; pos < text.size();) {
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(text.data(), pos, text.size(), &cp);
        visit(pos, n, cp);
        pos += n ? n : 1;
    }
}

// Decoded code points, and the value of each byte that does not start a well-formed sequence.
inline std::vector<std::uint32_t> symbols(const std::string& text) {
    std::vector<std::uint32_t> out;
    for_each_symbol(text, [&](std::size_t pos, std::size_t n, std::uint32_t cp) {
        out.push_back(n ? cp : static_cast<unsigned char>(text[pos]));
    });
    return out;
}

// Well-formed UTF-8 without surrogates: what Python can decode.
inline bool is_well_formed(const std::string& text) {
    bool ok = true;
    for_each_symbol(text, [&](std::size_t, std::size_t n, std::uint32_t cp) {
        ok = ok && n != 0 && (cp < 0xD800 || cp > 0xDFFF);
    });
    return ok;
}

// A value of a small everyday range most of the time, else one of the extremes.
inline std::uint32_t pick_count(FuzzedDataProvider& in, std::uint32_t everyday_max,
                                bool allow_huge) {
    const int kind = in.ConsumeIntegralInRange<int>(0, 7);
    if (kind == 0) return 0;
    if (kind == 1) return allow_huge ? UINT32_MAX : everyday_max;
    return in.ConsumeIntegralInRange<std::uint32_t>(0, everyday_max);
}

template <class T, std::size_t N>
T pick(FuzzedDataProvider& in, const T (&choices)[N]) {
    return choices[in.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

}  // namespace kezo::fuzz
