#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kezo/language.h"
#include "kezo/text.h"

using namespace kezo;

TEST(Language, CodesAndNames) {
    EXPECT_STREQ(language_code(Language::Ga), "gaa");
    EXPECT_STREQ(language_code(Language::Twi), "ak");
    EXPECT_STREQ(language_name(Language::Fante), "Fante");
    // Out-of-range values read as Auto.
    EXPECT_STREQ(language_code(static_cast<Language>(19)), "auto");
    EXPECT_STREQ(language_name(static_cast<Language>(1000)), "Auto");
    EXPECT_EQ(language_from_code("ga"), Language::Ga);
    for (const char* code : {"tw", "EN", "", "auto", " en", "en-US", "e", "gaaa"})
        EXPECT_EQ(language_from_code(code), Language::Auto) << code;
    for (std::uint32_t v = 1; v <= kLanguageCount; ++v) {
        auto lang = static_cast<Language>(v);
        EXPECT_EQ(language_from_code(language_code(lang)), lang);
    }
}

TEST(LanguageDetection, SpecialLettersAndScripts) {
    // Special letters decide first; marker words count only as whole words of the lower-cased
    // text (Ɛ is not lowered). Among scripts the majority wins, a tie keeps Han against Hangul
    // and Cyrillic against Latin (4 Han beat 1 kana); Devanagari, Thai and malformed bytes fall
    // back to English. (Whole declarations: test_language_id.cpp.)
    const std::pair<Language, std::vector<std::string>> cases[] = {
        {Language::English,
         {"", "123 ... !!", "El r\u00E1pido zorro marr\u00F3n", "\u043F\u0440\u0438 abcd",
          "\u0928\u092E\u0938\u094D\u0924\u0947", "\u0E2A\u0E27\u0E31\u0E2A", "\xFF\xFE\x80\xC3"}},
        {Language::Ewe,
         {"a long english text with one \u0192 in it", "text \u028B", "\u0257 and \u0192"}},
        {Language::Hausa, {"text \u0257"}},
        {Language::Fante, {"\u025Bno ne hom", "x,d\u025B", "\u025B HOM."}},
        {Language::Ga, {"\u025B and \u014B"}},
        {Language::Twi, {"\u025B alone", "ad\u025Bx", "D\u0190 x", "\u025B homa"}},
        {Language::Chinese, {"\u65E5\u672C\u8A9E\u306E\u6587", "\u4E2D\uD55C"}},
        {Language::Japanese, {"\u3072\u3089\u304C\u306A\u6F22"}},
        {Language::Korean, {"\uD55C\uAD6D\uC5B4"}},
        {Language::Arabic, {"\u0645\u0631\u062D\u0628\u0627 ab"}},
        {Language::Russian, {"\u043F\u0440\u0438 abc"}}};
    for (const auto& [expected, texts] : cases)
        for (const std::string& text : texts) EXPECT_EQ(detect_language(text), expected) << text;
}
