// The character range table and the classifier built on it.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "kezo/unicode.h"

namespace kezo::unicode {
namespace {

enum : std::uint32_t {
    kLetter = 1u << 0,
    kDigit = 1u << 1,
    kSpace = 1u << 2,
    kPunct = 1u << 3,
    kMark = 1u << 4,
    kUpper = 1u << 5,
    kLower = 1u << 6,
};

struct CharRange {
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t flags;
};

// Classes of the code points above ASCII, disjoint and in ascending order (binary-searched).
// Code points no entry covers are "other". U+FEFF (byte-order mark) is deliberately left out so
// that a BOM never glues itself to the first word; the full-width and half-width punctuation and
// the CJK brackets are punctuation so that they separate words instead of forming them.
constexpr CharRange kRanges[] = {
    {0x00A0, 0x00A0, kSpace},
    {0x00A1, 0x00BF, kPunct},
    {0x00C0, 0x00D6, kLetter | kUpper},
    {0x00D7, 0x00D7, kPunct},
    {0x00D8, 0x00DE, kLetter | kUpper},
    {0x00DF, 0x00F6, kLetter | kLower},
    {0x00F7, 0x00F7, kPunct},
    {0x00F8, 0x00FF, kLetter | kLower},
    {0x0100, 0x017F, kLetter},  // Latin Extended-A
    {0x0180, 0x02AF, kLetter},  // Latin Extended-B and IPA (ɛ, ɔ, ƒ, ɖ, ŋ ...)
    {0x0300, 0x036F, kMark},
    {0x0370, 0x03FF, kLetter},  // Greek
    {0x0400, 0x0482, kLetter},  // Cyrillic
    {0x0483, 0x0489, kMark},
    {0x048A, 0x04FF, kLetter},
    {0x0590, 0x05BD, kMark},  // Hebrew points
    {0x05BE, 0x05BE, kPunct},
    {0x05BF, 0x05BF, kMark},
    {0x05C0, 0x05C0, kPunct},
    {0x05C1, 0x05C2, kMark},
    {0x05C3, 0x05C3, kPunct},
    {0x05C4, 0x05C5, kMark},
    {0x05C6, 0x05C6, kPunct},
    {0x05C7, 0x05C7, kMark},
    {0x05C8, 0x05F4, kLetter},  // Hebrew letters
    {0x0600, 0x060F, kPunct},   // Arabic signs and comma
    {0x0610, 0x061A, kMark},
    {0x061B, 0x061F, kPunct},
    {0x0620, 0x064A, kLetter},
    {0x064B, 0x065F, kMark},   // harakat
    {0x0660, 0x0669, kDigit},  // Arabic-Indic digits
    {0x066A, 0x066D, kPunct},
    {0x066E, 0x066F, kLetter},
    {0x0670, 0x0670, kMark},
    {0x0671, 0x06D3, kLetter},
    {0x06D4, 0x06D4, kPunct},
    {0x06D5, 0x06D5, kLetter},
    {0x06D6, 0x06DC, kMark},
    {0x06DD, 0x06DD, kPunct},
    {0x06DE, 0x06DE, kLetter},
    {0x06DF, 0x06E4, kMark},
    {0x06E5, 0x06E6, kLetter},
    {0x06E7, 0x06E8, kMark},
    {0x06E9, 0x06E9, kLetter},
    {0x06EA, 0x06ED, kMark},
    {0x06EE, 0x06FF, kLetter},
    {0x0750, 0x07BF, kLetter},  // Arabic Supplement, Thaana
    {0x0900, 0x0903, kMark},    // Devanagari signs
    {0x0904, 0x0939, kLetter},
    {0x093A, 0x094D, kMark},
    {0x094E, 0x094F, kLetter},
    {0x0950, 0x0954, kMark},
    {0x0955, 0x0963, kLetter},
    {0x0964, 0x0965, kPunct},  // danda, double danda
    {0x0966, 0x096F, kDigit},
    {0x0970, 0x0970, kPunct},
    {0x0971, 0x097F, kLetter},
    {0x0E00, 0x0E7F, kLetter},  // Thai
    {0x2000, 0x200A, kSpace},
    {0x2010, 0x2027, kPunct},  // dashes, quotes, ellipsis
    {0x2030, 0x205E, kPunct},
    {0x2E80, 0x2EFF, kLetter},  // CJK radicals
    {0x3000, 0x3000, kSpace},   // ideographic space
    {0x3001, 0x3004, kPunct},   // ideographic comma and full stop
    {0x3005, 0x3007, kLetter},  // iteration mark, closing mark, ideographic zero
    {0x3008, 0x3011, kPunct},   // CJK angle and corner brackets
    {0x3012, 0x3013, kLetter},
    {0x3014, 0x3015, kPunct},  // tortoise-shell brackets
    {0x3016, 0x301F, kPunct},
    {0x3021, 0x3029, kDigit},  // Hangzhou numerals
    {0x3030, 0x303F, kPunct},
    {0x3040, 0x30FF, kLetter},  // Hiragana, Katakana
    {0x3105, 0x312F, kLetter},  // Bopomofo
    {0x3131, 0x318F, kLetter},  // Hangul compatibility jamo
    {0x3400, 0x4DBF, kLetter},  // CJK extension A
    {0x4E00, 0x9FFF, kLetter},  // CJK unified ideographs
    {0xA000, 0xA4CF, kLetter},  // Yi
    {0xAC00, 0xD7A3, kLetter},  // Hangul syllables
    {0xF900, 0xFAFF, kLetter},  // CJK compatibility ideographs
    {0xFB50, 0xFDFF, kLetter},  // Arabic presentation forms A
    {0xFE00, 0xFE0F, kMark},    // variation selectors
    {0xFE10, 0xFE1F, kPunct},
    {0xFE20, 0xFE2F, kMark},
    {0xFE30, 0xFE6F, kPunct},   // vertical and small forms
    {0xFE70, 0xFEFE, kLetter},  // Arabic presentation forms B (U+FEFF is not covered)
    {0xFF00, 0xFF00, kLetter},
    {0xFF01, 0xFF0F, kPunct},   // full-width ! " # ... /
    {0xFF10, 0xFF19, kLetter},  // full-width digits
    {0xFF1A, 0xFF20, kPunct},
    {0xFF21, 0xFF3A, kLetter},  // full-width capitals
    {0xFF3B, 0xFF40, kPunct},
    {0xFF41, 0xFF5A, kLetter},  // full-width small letters
    {0xFF5B, 0xFF65, kPunct},   // braces, tilde, half-width CJK punctuation
    {0xFF66, 0xFFDF, kLetter},  // half-width kana and Hangul
    {0xFFE0, 0xFFEE, kPunct},   // full-width signs and half-width symbols
    {0xFFEF, 0xFFEF, kLetter},
    {0xFFF0, 0xFFFD, kPunct},    // specials
    {0x1F300, 0x1FAFF, kPunct},  // pictographs and emoji
};

constexpr bool ranges_sorted_and_disjoint() {
    for (std::size_t i = 0; i < std::size(kRanges); ++i) {
        if (kRanges[i].first > kRanges[i].last) return false;
        if (i > 0 && kRanges[i - 1].last >= kRanges[i].first) return false;
    }
    return true;
}
static_assert(ranges_sorted_and_disjoint(), "character ranges must be ascending and disjoint");

CharInfo from_flags(std::uint32_t flags) noexcept {
    CharInfo info;
    info.is_alpha = flags & kLetter;
    info.is_digit = flags & kDigit;
    info.is_space = flags & kSpace;
    info.is_punct = flags & kPunct;
    info.is_mark = flags & kMark;
    info.is_upper = flags & kUpper;
    info.is_lower = flags & kLower;
    info.is_other = (flags & (kLetter | kDigit | kSpace | kPunct | kMark)) == 0;
    return info;
}

std::uint32_t ascii_flags(std::uint32_t cp) noexcept {
    if (cp >= 'A' && cp <= 'Z') return kLetter | kUpper;
    if (cp >= 'a' && cp <= 'z') return kLetter | kLower;
    if (cp >= '0' && cp <= '9') return kDigit;
    if (cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r') return kSpace;
    if ((cp >= 0x21 && cp <= 0x2F) || (cp >= 0x3A && cp <= 0x40) || (cp >= 0x5B && cp <= 0x60) ||
        (cp >= 0x7B && cp <= 0x7E))
        return kPunct;
    return 0;  // control characters (vertical tab and form feed included) and DEL
}

// The flags of every code point of the Basic Multilingual Plane, laid out at compile time from
// kRanges: one byte each (the flags fit in seven bits), so the classes of most text cost one
// lookup instead of a binary search. Code points above it are searched in kRanges.
struct PlaneFlags {
    std::uint8_t flags[0x10000];
    constexpr PlaneFlags() : flags() {
        for (const CharRange& r : kRanges)
            for (std::uint32_t cp = r.first; cp <= r.last && cp < 0x10000; ++cp)
                flags[cp] = static_cast<std::uint8_t>(r.flags);
    }
};
static_assert(kLower < 0x100, "the flags must fit in one byte");
constexpr PlaneFlags kPlane;

std::uint32_t table_flags(std::uint32_t cp) noexcept {
    if (cp < 0x10000) return kPlane.flags[cp];
    const CharRange* end = std::end(kRanges);
    const CharRange* it =
        std::upper_bound(std::begin(kRanges), end, cp,
                         [](std::uint32_t c, const CharRange& r) { return c < r.first; });
    if (it == std::begin(kRanges)) return 0;
    --it;
    return cp <= it->last ? it->flags : 0;
}

}  // namespace

CharInfo categorize(std::uint32_t cp) noexcept {
    return from_flags(cp < 0x80 ? ascii_flags(cp) : table_flags(cp));
}

bool is_ideographic_script(std::uint32_t cp) noexcept {
    bool in_script = (cp >= 0x3040 && cp <= 0x312F) || (cp >= 0x3400 && cp <= 0x4DBF) ||
                     (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
                     (cp >= 0xF900 && cp <= 0xFAFF);
    return in_script && (table_flags(cp) & kLetter);
}

}  // namespace kezo::unicode
