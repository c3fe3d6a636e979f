#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "kezo/language_id.h"
#include "kezo/text.h"
#include "test_data.h"

using namespace kezo;
using kezo::testing::udhr;

namespace {

struct Case {
    const char* text;
    Language best;
};

// Sentences of one language each; the West African ones are clauses of the declarations in
// tests/data, the Hausa one written without hooked letters, the Twi one in capitals, the Fante
// one with the Greek ε and the ᴐ of fonts without the open vowels.
const Case kShortTexts[] = {
    {"The committee met on Monday to discuss the budget.", Language::English},
    {"El comité se reunió el lunes para discutir el presupuesto.", Language::Spanish},
    {"Le comité s'est réuni lundi pour discuter du budget.", Language::French},
    {"Der Ausschuss traf sich am Montag, um den Haushalt zu besprechen.", Language::German},
    {"Il comitato si è riunito lunedì per discutere il bilancio.", Language::Italian},
    {"O comitê se reuniu na segunda-feira para discutir o orçamento.", Language::Portuguese},
    {"De commissie kwam maandag bijeen om de begroting te bespreken.", Language::Dutch},
    {"Komite itu bertemu pada hari Senin untuk membahas anggaran.", Language::Indonesian},
    {"ESIANE SƐ ƐHO HIA SƐ YƐBƐMA AYƆNKOFA ABƐDA AMAN HOROW NTAM", Language::Twi},
    {"Ɔnam dɛ ohia dɛ wotu aman na aman ntamu anyɛnkoyɛ nkitahodzi mpon,", Language::Fante},
    {"Ɔnam dε ohia dε wotu aman na aman ntamu anyεnkoyε nkitahodzi mpᴐn,", Language::Fante},
    {"Akɛni ehe hiaa akɛ akã he aha naanyobɔɔ ahi maji ateŋ hewɔ lɛ,", Language::Ga},
    {"Esi wohiã vevie be woado dukɔ kple dukɔwo dome kadodo ɖe ŋgɔ", Language::Ewe},
    {"Ganin cewa ya kamata a kafa hukumomi wadanda za su kula da su", Language::Hausa},
    {"Всеобщая декларация прав человека", Language::Russian},
    {"世界人权宣言", Language::Chinese},
    {"世界人権宣言は、すべての人民とすべての国とが達成すべき基準です", Language::Japanese},
    {"세계 인권 선언", Language::Korean},
    {"الإعلان العالمي لحقوق الإنسان", Language::Arabic},
    // A stray letter or a few words of another language do not outweigh the text around them.
    {"The committee met on Monday at the café in Señor Ɗan's street", Language::English},
    {"我们使用Python和TensorFlow进行深度学习研究", Language::Chinese},
    {"Le comité s'est réuni lundi avec the board pour discuter du budget", Language::French},
};

// Text in none of the supported languages, with the supported language closest to it (English
// where there are no letters of a supported script).
const Case kUndetermined[] = {
    {"", Language::English},
    {"123 4.5 -- !! 🙂", Language::English},
    {"\xFF\xFE\x80\xC3", Language::English},
    {"สวัสดีครับ ยินดีต้อนรับ", Language::English},
    {"Η Οικουμενική Διακήρυξη των Δικαιωμάτων του Ανθρώπου", Language::English},
    {"Alle menslike wesens word vry, met gelyke waardigheid en regte, gebore.", Language::Dutch},
    {"Watu wote wamezaliwa huru, hadhi na haki zao ni sawa.", Language::Hausa},
    {"Загальна декларація прав людини проголошує права кожної людини", Language::Russian},
};

}  // namespace

TEST(LanguageId, ShortMixedAndUndeterminedTexts) {
    for (const Case& c : kShortTexts) {
        const auto guesses = identify_language(c.text);
        ASSERT_FALSE(guesses.empty()) << c.text;
        EXPECT_EQ(guesses.front().language, c.best) << c.text;
        EXPECT_EQ(identify_best_language(c.text), c.best) << c.text;
    }
    for (const Case& c : kUndetermined) {
        EXPECT_TRUE(identify_language(c.text).empty()) << c.text;
        if (c.best != Language::English) {
            EXPECT_EQ(identify_best_language(c.text), c.best) << c.text;
        }
    }
    EXPECT_TRUE(identify_language("the", 0).empty());
}

TEST(LanguageId, WholeDeclarationsByBothDetectors) {
    // The identifier names every language with near certainty; the heuristic detector knows only
    // scripts and special letters, so a Latin-script text without them reads as English.
    using L = Language;
    const std::set<Language> plain_latin = {L::Spanish,    L::French, L::German,    L::Italian,
                                            L::Portuguese, L::Dutch,  L::Indonesian};
    for (std::uint32_t v = 1; v <= kLanguageCount; ++v) {
        const auto lang = static_cast<Language>(v);
        const std::string text = udhr(language_code(lang));
        ASSERT_FALSE(text.empty()) << language_code(lang);
        const auto guesses = identify_language(text);
        ASSERT_FALSE(guesses.empty()) << language_code(lang);
        EXPECT_EQ(guesses.front().language, lang) << language_code(lang);
        EXPECT_GT(guesses.front().confidence, 0.99) << language_code(lang);
        EXPECT_EQ(detect_language(text), plain_latin.count(lang) ? L::English : lang);
    }
}

TEST(LanguageId, LongInputsKeepTheRankingsContract) {
    // The contract over arbitrary bytes is the text fuzz target's; these inputs are longer than
    // it tries.
    std::string repeated_word;
    for (int i = 0; i < 50000; ++i) repeated_word += "ɛ";
    for (const std::string& text : {std::string(1 << 20, 'a'), std::string(1 << 20, '\xC3'),
                                    udhr("fr") + udhr("zh") + udhr("ee"), repeated_word}) {
        const auto guesses = identify_language(text, 18);
        double sum = 0;
        for (const LanguageGuess& g : guesses) {
            EXPECT_TRUE(g.confidence >= 0.01 && g.confidence <= guesses.front().confidence);
            sum += g.confidence;
        }
        EXPECT_LE(sum, 1.0 + 1e-9);
        if (!guesses.empty()) {
            EXPECT_EQ(identify_best_language(text), guesses.front().language);
        }
    }
    // Megabytes of one language stay that language (the evidence once wrapped past 2^32).
    std::string book;
    while (book.size() < (std::size_t{8} << 20)) book += udhr("pt");
    EXPECT_EQ(identify_best_language(book), Language::Portuguese);
}

TEST(LanguageIdConcurrency, ThreadsAgreeFromTheFirstCall) {
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int round = 0; round < 20; ++round)
                for (const Case& c : kShortTexts)
                    wrong[t] += identify_best_language(c.text) != c.best;
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int count : wrong) EXPECT_EQ(count, 0);
}
