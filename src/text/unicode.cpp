// UTF-8 decoding and encoding, and the lower-case mapping.
#include "kezo/unicode.h"

#include <cstdint>

namespace kezo::unicode {
namespace {

inline bool is_continuation(unsigned char b) noexcept {
    return (b & 0xC0) == 0x80;
}

}  // namespace

std::size_t decode_utf8(const char* data, std::size_t pos, std::size_t len,
                        std::uint32_t* out) noexcept {
    if (pos >= len) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data) + pos;
    const std::size_t avail = len - pos;
    const unsigned char b0 = p[0];
    if (b0 < 0x80) {
        *out = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) {
        if (avail < 2 || !is_continuation(p[1])) return 0;
        std::uint32_t cp = (std::uint32_t(b0 & 0x1F) << 6) | (p[1] & 0x3F);
        if (cp <= 0x7F) return 0;  // overlong
        *out = cp;
        return 2;
    }
    if ((b0 & 0xF0) == 0xE0) {
        if (avail < 3 || !is_continuation(p[1]) || !is_continuation(p[2])) return 0;
        std::uint32_t cp =
            (std::uint32_t(b0 & 0x0F) << 12) | (std::uint32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        if (cp <= 0x7FF) return 0;  // overlong; surrogates are accepted as they are
        *out = cp;
        return 3;
    }
    if ((b0 & 0xF8) == 0xF0) {
        if (avail < 4 || !is_continuation(p[1]) || !is_continuation(p[2]) || !is_continuation(p[3]))
            return 0;
        std::uint32_t cp = (std::uint32_t(b0 & 0x07) << 18) | (std::uint32_t(p[1] & 0x3F) << 12) |
                           (std::uint32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
        if (cp < 0x10000 || cp > 0x10FFFF) return 0;
        *out = cp;
        return 4;
    }
    return 0;  // stray continuation byte or 0xF8..0xFF
}

std::size_t encode_utf8(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
        return 1;
    }
    if (cp < 0x800) {
        char buf[2] = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(buf, 2);
        return 2;
    }
    if (cp < 0x10000) {
        char buf[3] = {static_cast<char>(0xE0 | (cp >> 12)),
                       static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                       static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(buf, 3);
        return 3;
    }
    char buf[4] = {
        static_cast<char>(0xF0 | (cp >> 18)), static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
        static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(buf, 4);
    return 4;
}

// Only the capitals listed here are lowered. Cyrillic U+0460-U+046F and U+04D0-U+04DE are left
// unchanged: deterministic and trivially idempotent, which is all stopword normalisation and the
// tokenizer rely on.
std::uint32_t to_lower_code_point(std::uint32_t cp) noexcept {
    if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 0x20 : cp;
    if (cp < 0x100) return ((cp >= 0xC0 && cp <= 0xDE) && cp != 0xD7) ? cp + 0x20 : cp;
    if (cp <= 0x137) {
        bool mapped = (cp <= 0x12F || cp >= 0x132) && (cp % 2 == 0);
        return mapped ? cp + 1 : cp;
    }
    if (cp >= 0x391 && cp <= 0x3A9) return cp + 0x20;
    if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
    switch (cp) {
        case 0x401:
            return 0x451;
        case 0x408:
            return 0x458;
        case 0x40D:
            return 0x45D;
        case 0x4E8:
            return 0x4E9;
        case 0x4F0:
            return 0x4F1;
        default:
            return cp;
    }
}

std::string to_lower(const std::string& text) {
    // Every mapped pair has the same UTF-8 length, so the copy is lowered in place.
    std::string out(text);
    char* data = out.data();
    const std::size_t len = out.size();
    std::size_t pos = 0;
    while (pos < len) {
        const auto b = static_cast<unsigned char>(data[pos]);
        if (b < 0x80) {
            if (b >= 'A' && b <= 'Z') data[pos] = static_cast<char>(b + 0x20);
            ++pos;
            continue;
        }
        std::uint32_t cp = 0;
        std::size_t n = decode_utf8(data, pos, len, &cp);
        if (n == 0) {
            ++pos;  // malformed byte: copied through unchanged
            continue;
        }
        if (n == 2) {
            std::uint32_t lower = to_lower_code_point(cp);
            if (lower != cp) {
                data[pos] = static_cast<char>(0xC0 | (lower >> 6));
                data[pos + 1] = static_cast<char>(0x80 | (lower & 0x3F));
            }
        }
        pos += n;
    }
    return out;
}

}  // namespace kezo::unicode
