#include <gtest/gtest.h>

#include <string>

#include "kezo/unicode.h"

using namespace kezo::unicode;

namespace {

std::size_t decode(const std::string& s, std::uint32_t* cp, std::size_t pos = 0) {
    return decode_utf8(s.data(), pos, s.size(), cp);
}

}  // namespace

TEST(Unicode, DecodeAcceptsWellFormedAndRefusesMalformed) {
    std::uint32_t cp = 0xDEAD;
    EXPECT_EQ(decode("", &cp), 0u);
    EXPECT_EQ(decode("a", &cp, 1), 0u);  // pos == len
    EXPECT_EQ(cp, 0xDEADu);              // untouched on failure
    EXPECT_EQ(decode("\xC3\xA9", &cp), 2u);
    EXPECT_EQ(cp, 0xE9u);
    EXPECT_EQ(decode("\xE2\x82\xAC", &cp), 3u);
    EXPECT_EQ(cp, 0x20ACu);
    EXPECT_EQ(decode("\xF0\x9F\x98\x80", &cp), 4u);
    EXPECT_EQ(cp, 0x1F600u);
    EXPECT_EQ(decode("\xED\xA0\x80", &cp), 3u);  // surrogates pass as they are
    EXPECT_EQ(cp, 0xD800u);

    for (const char* bad :
         {"\xC0\x80", "\xE0\x80\x80", "\xF0\x80\x80\x80", "\xF4\x90\x80\x80", "\xE2\x80\x20",
          "\x80", "\xBF", "\xF8\x88\x80\x80\x80", "\xFF", "\xC3", "\xE2\x82", "\xF0\x9F\x98"}) {
        EXPECT_EQ(decode(bad, &cp), 0u) << "input " << ::testing::PrintToString(std::string(bad));
    }
}

TEST(Unicode, EncodeRoundTripsThroughDecode) {
    for (std::uint32_t cp : {0x41u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        std::string s;
        std::size_t n = encode_utf8(cp, s);
        ASSERT_EQ(n, s.size());
        std::uint32_t back = 0;
        EXPECT_EQ(decode(s, &back), n);
        EXPECT_EQ(back, cp);
    }
}

TEST(Unicode, CategorizeAsciiAndTable) {
    EXPECT_TRUE(categorize('A').is_alpha && categorize('A').is_upper);
    EXPECT_TRUE(categorize('z').is_lower);
    EXPECT_TRUE(categorize('7').is_digit);
    EXPECT_TRUE(categorize('\t').is_space && categorize('\n').is_space);
    EXPECT_TRUE(categorize(0x0B).is_other);  // vertical tab is not a blank
    EXPECT_TRUE(categorize(0x0C).is_other);
    EXPECT_TRUE(categorize(0x00).is_other);
    EXPECT_TRUE(categorize('!').is_punct && categorize('~').is_punct);
    EXPECT_TRUE(categorize(0x7F).is_other);

    EXPECT_TRUE(categorize(0xA0).is_space);
    EXPECT_TRUE(categorize(0xD7).is_punct);
    EXPECT_TRUE(categorize(0xC9).is_upper && categorize(0xE9).is_lower);
    EXPECT_TRUE(categorize(0x25B).is_alpha);   // ɛ
    EXPECT_FALSE(categorize(0x25B).is_lower);  // only Latin-1 carries case flags
    EXPECT_TRUE(categorize(0x3B1).is_alpha);
    EXPECT_TRUE(categorize(0x483).is_mark);
    EXPECT_TRUE(categorize(0x301).is_mark);
    EXPECT_TRUE(categorize(0x1E00).is_other);  // Latin Extended Additional is not covered
    EXPECT_TRUE(categorize(0x80).is_other);
    EXPECT_TRUE(categorize(0xD800).is_other);
    EXPECT_TRUE(categorize(0x1F600).is_punct);
    EXPECT_TRUE(categorize(0x20000).is_other);
    EXPECT_TRUE(categorize(0x0966).is_digit);
    EXPECT_TRUE(categorize(0x3002).is_punct);
}

TEST(Unicode, ByteOrderMarkAndFullWidthPunctuationDoNotFormWords) {
    EXPECT_TRUE(categorize(0xFEFF).is_other);
    EXPECT_TRUE(categorize(0xFEFE).is_alpha);  // the rest of the presentation forms stay letters
    for (std::uint32_t cp :
         {0xFF01u, 0xFF0Cu, 0xFF08u, 0xFF1Au, 0xFF1Fu, 0xFF3Bu, 0xFF5Bu, 0xFF61u, 0xFF65u, 0xFFE0u,
          0xFFEEu, 0x3008u, 0x300Au, 0x300Cu, 0x3011u, 0x3014u, 0x3015u}) {
        EXPECT_TRUE(categorize(cp).is_punct) << std::hex << cp;
    }
    // Full-width letters and digits, half-width kana and U+3005..U+3007 stay letters.
    for (std::uint32_t cp :
         {0xFF10u, 0xFF21u, 0xFF41u, 0xFF66u, 0xFFDCu, 0x3005u, 0x3007u, 0x3012u})
        EXPECT_TRUE(categorize(cp).is_alpha) << std::hex << cp;
}

TEST(Unicode, IdeographicScript) {
    EXPECT_TRUE(is_ideographic_script(0x3042));  // hiragana a
    EXPECT_TRUE(is_ideographic_script(0x30A2));
    EXPECT_TRUE(is_ideographic_script(0x4E2D));
    EXPECT_TRUE(is_ideographic_script(0xAC00));
    EXPECT_TRUE(is_ideographic_script(0xF900));
    EXPECT_FALSE(is_ideographic_script(0x3001));  // ideographic comma: not a letter
    EXPECT_FALSE(is_ideographic_script(0xA000));  // Yi
    EXPECT_FALSE(is_ideographic_script(0x3131));  // compatibility jamo
    EXPECT_FALSE(is_ideographic_script(0xFF21));
    EXPECT_FALSE(is_ideographic_script('a'));
}

TEST(Unicode, ToLowerMapsOnlyItsTable) {
    EXPECT_EQ(to_lower("HeLLo"), "hello");
    EXPECT_EQ(to_lower("\u00C0\u00C9\u00CE"), "\u00E0\u00E9\u00EE");
    // Of Ł Ó D Ź only Ó and D are lowered.
    EXPECT_EQ(to_lower("\u0141\u00D3D\u0179"), "\u0141\u00F3d\u0179");
    EXPECT_EQ(to_lower("\u00D7"), "\u00D7");
    EXPECT_EQ(to_lower("\u0100\u0101\u0132"), "\u0101\u0101\u0133");
    EXPECT_EQ(to_lower("\u0391\u03A9"), "\u03B1\u03C9");
    EXPECT_EQ(to_lower("\u041F\u0420\u0418\u0412\u0415\u0422"),
              "\u043F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(to_lower("\u0401\u0408\u040D\u04E8\u04F0"), "\u0451\u0458\u045D\u04E9\u04F1");
    EXPECT_EQ(to_lower("\u0190\u0186"), "\u0190\u0186");  // Ɛ and Ɔ keep their case
    EXPECT_EQ(to_lower(std::string("\xFF", 1)), std::string("\xFF", 1));
    EXPECT_EQ(to_lower("\xE2\x80 X"), "\xE2\x80 x");
    EXPECT_EQ(to_lower_code_point('Q'), static_cast<std::uint32_t>('q'));
}

TEST(Unicode, ToLowerIsIdempotentOnEveryTwoByteCodePoint) {
    for (std::uint32_t cp = 0x80; cp < 0x800; ++cp) {
        std::string s;
        encode_utf8(cp, s);
        std::string once = to_lower(s);
        EXPECT_EQ(to_lower(once), once) << std::hex << cp;
        EXPECT_EQ(to_lower_code_point(to_lower_code_point(cp)), to_lower_code_point(cp));
    }
}
