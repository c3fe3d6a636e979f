#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "kezo/language.h"
#include "kezo/text.h"

using kezo::detect_language;
using kezo::Language;

TEST(Language, CodesAndNames) {
    EXPECT_STREQ(kezo::language_code(Language::Auto), "auto");
    EXPECT_STREQ(kezo::language_name(Language::Auto), "Auto");
    EXPECT_STREQ(kezo::language_code(Language::Ga), "gaa");
    EXPECT_STREQ(kezo::language_code(Language::Twi), "ak");
    EXPECT_STREQ(kezo::language_name(Language::Fante), "Fante");
    EXPECT_STREQ(kezo::language_code(static_cast<Language>(19)), "auto");
    EXPECT_STREQ(kezo::language_name(static_cast<Language>(1000)), "Auto");

    EXPECT_EQ(kezo::language_from_code("ga"), Language::Ga);
    EXPECT_EQ(kezo::language_from_code("gaa"), Language::Ga);
    for (const char* code : {"tw", "EN", "", "auto", " en", "en-US", "e", "gaaa"})
        EXPECT_EQ(kezo::language_from_code(code), Language::Auto) << code;
    for (std::uint32_t v = 1; v <= kezo::kLanguageCount; ++v) {
        auto lang = static_cast<Language>(v);
        EXPECT_EQ(kezo::language_from_code(kezo::language_code(lang)), lang);
    }
}

TEST(LanguageDetection, SpecialLettersDecideFirst) {
    EXPECT_EQ(detect_language(""), Language::English);
    EXPECT_EQ(detect_language("123 ... !!"), Language::English);
    EXPECT_EQ(detect_language("a long english text with one \u0192 in it"), Language::Ewe);
    EXPECT_EQ(detect_language("text \u028B"), Language::Ewe);
    EXPECT_EQ(detect_language("text \u0257"), Language::Hausa);
    EXPECT_EQ(detect_language("\u0257 and \u0192"), Language::Ewe);
    EXPECT_EQ(detect_language("\u025Bno ne hom"), Language::Fante);
    EXPECT_EQ(detect_language("\u025B and \u014B"), Language::Ga);
    EXPECT_EQ(detect_language("\u025B alone"), Language::Twi);
    // Marker words count only as whole words, on the lower-cased text.
    EXPECT_EQ(detect_language("ad\u025Bx"), Language::Twi);
    EXPECT_EQ(detect_language("x,d\u025B"), Language::Fante);
    EXPECT_EQ(detect_language("D\u0190 x"), Language::Twi);  // Ɛ is not lowered
    EXPECT_EQ(detect_language("\u025B HOM."), Language::Fante);
    EXPECT_EQ(detect_language("\u025B homa"), Language::Twi);
}

TEST(LanguageDetection, ScriptContest) {
    EXPECT_EQ(detect_language("El r\u00E1pido zorro marr\u00F3n"), Language::English);
    EXPECT_EQ(detect_language("\u4E2D\u6587"), Language::Chinese);
    EXPECT_EQ(detect_language("\u65E5\u672C\u8A9E\u306E\u6587"),
              Language::Chinese);  // 4 Han, 1 kana
    EXPECT_EQ(detect_language("\u3072\u3089\u304C\u306A\u6F22"), Language::Japanese);
    EXPECT_EQ(detect_language("\u4E2D\uD55C"), Language::Chinese);  // tie keeps Han
    EXPECT_EQ(detect_language("\uD55C\uAD6D\uC5B4"), Language::Korean);
    EXPECT_EQ(detect_language("\u0645\u0631\u062D\u0628\u0627 ab"), Language::Arabic);
    EXPECT_EQ(detect_language("\u043F\u0440\u0438 abc"), Language::Russian);   // 3 vs 3
    EXPECT_EQ(detect_language("\u043F\u0440\u0438 abcd"), Language::English);  // one more Latin
    // Devanagari and Thai map to the English fallback.
    EXPECT_EQ(detect_language("\u0928\u092E\u0938\u094D\u0924\u0947"), Language::English);
    EXPECT_EQ(detect_language("\u0E2A\u0E27\u0E31\u0E2A"), Language::English);
    EXPECT_EQ(detect_language(std::string("\xFF\xFE\x80\xC3", 4)), Language::English);
}

TEST(LanguageDetection, DeclarationOfHumanRightsTexts) {
    const std::pair<const char*, Language> cases[] = {
        {"en", Language::English},  {"ru", Language::Russian}, {"zh", Language::Chinese},
        {"ja", Language::Japanese}, {"ko", Language::Korean},  {"ar", Language::Arabic},
        {"ak", Language::Twi},      {"gaa", Language::Ga},     {"ee", Language::Ewe},
        {"ha", Language::Hausa},    {"fat", Language::Fante},  {"de", Language::English},
        {"id", Language::English},  {"fr", Language::English},
    };
    for (const auto& [code, expected] : cases) {
        std::ifstream in(std::string(KEZO_TEST_DATA_DIR) + "/udhr/" + code + ".txt");
        ASSERT_TRUE(in) << code;
        std::stringstream buffer;
        buffer << in.rdbuf();
        EXPECT_EQ(detect_language(buffer.str()), expected) << code;
    }
}
