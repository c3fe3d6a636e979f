// Character kinds and word shapes of the keyphrase scanner.
#include "char_kinds.h"

#include <algorithm>
#include <array>

#include "kezo/unicode.h"

namespace kezo::keyphrase {
namespace {

// Articles and pronouns that French and Italian write elided before a vowel.
constexpr std::array<std::string_view, 14> kFrenchElision = {
    "c", "d", "j", "l", "m", "n", "s", "t", "qu", "jusqu", "lorsqu", "puisqu", "quoiqu", "quelqu"};
constexpr std::array<std::string_view, 31> kItalianElision = {
    "c",    "d",    "l",   "m",    "n",    "s",       "t",       "v",    "un",   "dell",   "dall",
    "nell", "sull", "all", "coll", "tutt", "quest",   "quell",   "bell", "sant", "nessun", "alcun",
    "buon", "anch", "com", "dov",  "senz", "ciascun", "qualcun", "cos",  "tant"};

}  // namespace

Kind classify_ascii(unsigned char c) {
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return Kind::Letter;
    if (c >= '0' && c <= '9') return Kind::Digit;
    switch (c) {
        case ' ':
        case '\t':
        case '\r':
            return Kind::Space;
        case '\n':
            return Kind::Newline;
        case '-':
            return Kind::Hyphen;
        case '\'':
            return Kind::Apostrophe;
        case '.':
        case '!':
        case '?':
            return Kind::SentenceEnd;
        default:
            return Kind::Punct;
    }
}

Kind classify(std::uint32_t cp) {
    switch (cp) {
        case 0x00AD:  // soft hyphen
        case 0x200B:  // zero-width space, non-joiner, joiner
        case 0x200C:
        case 0x200D:
        case 0x2060:  // word joiner
        case 0xFEFF:  // byte-order mark
            return Kind::Ignorable;
        case 0x2010:  // hyphen, non-breaking hyphen
        case 0x2011:
            return Kind::Hyphen;
        case 0x2019:  // right single quotation mark, the usual typographic apostrophe
        case 0x02BC:  // modifier letter apostrophe
            return Kind::Apostrophe;
        case 0x2028:  // line and paragraph separators
        case 0x2029:
        case 0x0085:
            return Kind::Newline;
        case 0x2026:  // ellipsis, ideographic and full-width full stops and marks
        case 0x3002:
        case 0xFF01:
        case 0xFF0E:
        case 0xFF1F:
            return Kind::SentenceEnd;
        default:
            break;
    }
    // Full-width punctuation is classed as letters by the character table; here it separates.
    if ((cp >= 0xFF02 && cp <= 0xFF0F) || (cp >= 0xFF1A && cp <= 0xFF20) ||
        (cp >= 0xFF3B && cp <= 0xFF40) || (cp >= 0xFF5B && cp <= 0xFF65))
        return Kind::Punct;
    const unicode::CharInfo info = unicode::categorize(cp);
    if (info.is_space) return Kind::Space;
    if (info.is_mark) return Kind::Mark;
    if (!info.is_alpha) return info.is_digit ? Kind::Digit : Kind::Punct;
    // Hangul syllables and katakana spell words separated by blanks or by other scripts; every
    // other character of the scripts written without blanks (ideographs, hiragana) stands alone.
    if ((cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0x30A0 && cp <= 0x30FF)) return Kind::Letter;
    if (unicode::is_ideographic_script(cp)) return Kind::Ideograph;
    return Kind::Letter;
}

bool is_upper(std::uint32_t cp) {
    return unicode::to_lower_code_point(cp) != cp;
}

bool is_elided(Language lang, std::string_view left) {
    if (lang == Language::French)
        return std::find(kFrenchElision.begin(), kFrenchElision.end(), left) !=
               kFrenchElision.end();
    if (lang == Language::Italian)
        return std::find(kItalianElision.begin(), kItalianElision.end(), left) !=
               kItalianElision.end();
    return false;
}

Shape shape_of(std::string_view text) {
    Shape s;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(text.data(), pos, text.size(), &cp);
        if (n == 0) {
            ++pos;
            continue;
        }
        if (s.code_points++ == 0) s.first = cp;
        const Kind kind = cp < 0x80 ? classify_ascii(static_cast<unsigned char>(cp)) : classify(cp);
        if (kind == Kind::Letter || kind == Kind::Ideograph) ++s.letters;
        if (kind == Kind::Letter && is_upper(cp)) ++s.upper;
        if (kind == Kind::Digit) ++s.digits;
        pos += n;
    }
    return s;
}

}  // namespace kezo::keyphrase
