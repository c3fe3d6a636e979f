#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kezo/unicode.h"

using namespace kezo::unicode;

namespace {

// The class of a code point as one letter: alpha, digit, punct, space, mark or other.
char cls(std::uint32_t cp) {
    const CharInfo c = categorize(cp);
    const bool flags[] = {c.is_alpha, c.is_digit, c.is_punct, c.is_space, c.is_mark};
    return "adpsmo"[std::find(flags, flags + 5, true) - flags];
}

}  // namespace

// Decoding (every position of arbitrary bytes against a decoder written from the definition of
// UTF-8, surrogates passing), encoding round trips and the idempotence of lower-casing are the
// text fuzz target's; these are the character tables, which no reference can restate.
TEST(Unicode, CharacterClassesAndScripts) {
    // Greek, Cyrillic, Arabic, Hebrew, Devanagari and Thai are letters. Vertical tab and form feed
    // are not blanks; Latin Extended Additional is not covered; a byte-order mark is no letter;
    // full-width and CJK brackets and marks are punctuation, while the rest of the presentation
    // forms, full-width letters and digits, half-width kana and U+3005..U+3007 stay letters.
    const std::pair<char, std::vector<std::uint32_t>> cases[] = {
        {'d', {'7', 0x966}},
        {'s', {'\t', '\n', 0xA0}},
        {'m', {0x483, 0x301}},
        {'o', {0x0B, 0x0C, 0x00, 0x7F, 0x80, 0x1E00, 0xD800, 0xFEFF, 0x20000}},
        {'a',
         {0x25B, 0x3B1, 0x41F, 0x645, 0x5D0, 0x915, 0xE01, 0xFEFE, 0xFF10, 0xFF21, 0xFF41, 0xFF66,
          0xFFDC, 0x3005, 0x3007, 0x3012}},
        {'p', {'!',    '~',    0xD7,   0x1F600, 0x3002, 0x3008, 0x300A, 0x300C,
               0x3011, 0x3014, 0x3015, 0xFF01,  0xFF0C, 0xFF08, 0xFF1A, 0xFF1F,
               0xFF3B, 0xFF5B, 0xFF61, 0xFF65,  0xFFE0, 0xFFEE}}};
    for (const auto& [expected, code_points] : cases)
        for (std::uint32_t cp : code_points) EXPECT_EQ(cls(cp), expected) << std::hex << cp;
    EXPECT_TRUE(categorize('A').is_alpha && categorize('A').is_upper && categorize('z').is_lower);
    EXPECT_TRUE(categorize(0xC9).is_upper && categorize(0xE9).is_lower);
    EXPECT_FALSE(categorize(0x25B).is_lower);  // only Latin-1 carries case flags
    // Scripts written without blanks: kana, CJK, Hangul syllables and compatibility ideographs;
    // not the ideographic comma, Yi, compatibility jamo or full-width Latin.
    for (std::uint32_t cp : {0x3042u, 0x30A2u, 0x4E2Du, 0xAC00u, 0xF900u})
        EXPECT_TRUE(is_ideographic_script(cp)) << std::hex << cp;
    for (std::uint32_t cp : {0x3001u, 0xA000u, 0x3131u, 0xFF21u, 0x61u})
        EXPECT_FALSE(is_ideographic_script(cp)) << std::hex << cp;
}

TEST(Unicode, ToLowerMapsOnlyItsTable) {
    // Of Ł Ó D Ź only Ó and D are lowered; × and the capitals Ɛ and Ɔ keep their form;
    // malformed bytes are copied through.
    EXPECT_EQ(to_lower("HeLLo \u00C0\u00C9\u00CE\u00D7 \u0141\u00D3D\u0179 \u0100\u0101\u0132"),
              "hello \u00E0\u00E9\u00EE\u00D7 \u0141\u00F3d\u0179 \u0101\u0101\u0133");
    EXPECT_EQ(to_lower("\u0391\u03A9\u041F\u0420 \u0401\u0408\u040D\u04E8\u04F0 \u0190\u0186"),
              "\u03B1\u03C9\u043F\u0440 \u0451\u0458\u045D\u04E9\u04F1 \u0190\u0186");
    EXPECT_EQ(to_lower("\xFF \xE2\x80 X"), "\xFF \xE2\x80 x");
}
