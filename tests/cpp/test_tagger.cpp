// The part-of-speech tagger: damaged model files are refused with a message naming the fault,
// one shared model serves concurrent threads, tagged text maps back onto its bytes, and keyphrase
// candidates are noun phrases once a model is at hand.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "keyphrase/english_verbs.h"
#include "kezo/keyphrase.h"
#include "kezo/tagger.h"
#include "tagger/model_format.h"

using kezo::Language;
using kezo::Tagger;
using kezo::TaggerModelError;
using kezo::Upos;

namespace {

std::string model_bytes(const char* code) {
    std::ifstream in(std::string(KEZO_TAGGER_MODEL_DIR) + "/" + code + ".kzt", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The message of the TaggerModelError that parsing bytes raises ("" when it parses).
std::string refusal(const std::string& bytes) {
    try {
        Tagger::from_bytes(bytes, "test.kzt");
    } catch (const TaggerModelError& error) {
        return error.what();
    }
    return "";
}

// A model of 2^8 rows, all zero but the given (row, tag, weight) cells, with a valid header.
std::string tiny_model(const std::vector<std::tuple<std::size_t, Upos, std::int16_t>>& cells) {
    namespace kt = kezo::tagger;
    std::string body(2 * 256 * kezo::kUposCount, '\0');
    for (const auto& [row, tag, weight] : cells) {
        const std::size_t at = 2 * (row * kezo::kUposCount + static_cast<std::size_t>(tag));
        body[at] = static_cast<char>(static_cast<std::uint16_t>(weight) & 0xFF);
        body[at + 1] = static_cast<char>(static_cast<std::uint16_t>(weight) >> 8);
    }
    std::string head(kt::kMagic, 4);
    const auto put = [&](std::uint64_t value, int bytes) {
        for (int k = 0; k < bytes; ++k) head.push_back(static_cast<char>(value >> (8 * k)));
    };
    put(kt::kFormatVersion, 2);
    put(kezo::kUposCount, 2);
    head += std::string("de\0\0\0\0\0\0", 8);
    put(8, 1);
    put(0, 3);
    put(kt::kFeatureSignature, 4);
    put(kt::checksum(body), 8);
    return head + body;
}

}  // namespace

TEST(Tagger, WeightsAreReadAsSignedLittleEndian) {
    // The bias feature is in every position's sum: its row decides when nothing else weighs.
    const std::size_t bias = kezo::tagger::feature(0, 0) >> 56;
    const auto verbs = Tagger::from_bytes(
        tiny_model({{bias, Upos::VERB, 300}, {bias, Upos::ADJ, 299}, {bias, Upos::ADV, -1000}}));
    EXPECT_EQ(verbs->language(), Language::German);
    EXPECT_EQ(verbs->tag({"x", "Wort", ""}), std::vector<Upos>(3, Upos::VERB));
    // All zero but a large negative weight on the first tag: the first of the tied others wins.
    const auto ties = Tagger::from_bytes(tiny_model({{bias, Upos::ADJ, -32768}}));
    EXPECT_EQ(ties->tag({"x"}), std::vector<Upos>{Upos::ADP});
}

TEST(Tagger, DamagedModelsAreRefusedWithTheirFault) {
    const std::string good = model_bytes("en");
    ASSERT_GT(good.size(), 1000u);
    EXPECT_EQ(refusal(good), "");
    EXPECT_NE(refusal(good.substr(0, good.size() - 1)).find("truncated"), std::string::npos);
    EXPECT_NE(refusal(good.substr(0, 10)).find("truncated"), std::string::npos);
    EXPECT_NE(refusal("").find("truncated"), std::string::npos);
    EXPECT_NE(refusal(good + "x").find("oversized"), std::string::npos);
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x10;
    EXPECT_NE(refusal(flipped).find("checksum"), std::string::npos);
    std::string magic = good;
    magic[0] = 'X';
    EXPECT_NE(refusal(magic).find("bad magic"), std::string::npos);
    std::string version = good;
    version[4] = 9;
    EXPECT_NE(refusal(version).find("version 9"), std::string::npos);
    std::string bits = good;
    bits[16] = 40;
    EXPECT_NE(refusal(bits).find("2^40"), std::string::npos);
    EXPECT_NE(refusal(flipped).find("test.kzt"), std::string::npos);
    EXPECT_THROW(Tagger::from_file("/nonexistent/en.kzt"), TaggerModelError);
}

TEST(Tagger, MissingLanguageAndDirectoryAreErrors) {
    kezo::set_tagger_directory(KEZO_TAGGER_MODEL_DIR);
    EXPECT_FALSE(kezo::has_tagger(Language::Twi));
    EXPECT_TRUE(kezo::has_tagger(Language::German));
    try {
        kezo::load_tagger(Language::Twi);
        FAIL() << "Twi has no model";
    } catch (const TaggerModelError& error) {
        EXPECT_NE(std::string(error.what()).find("Twi"), std::string::npos);
    }
    EXPECT_THROW(kezo::load_tagger(Language::Auto), TaggerModelError);
}

TEST(Tagger, ThreadsShareOneModelAndAgree) {
    kezo::set_tagger_directory(KEZO_TAGGER_MODEL_DIR);
    const std::vector<std::string_view> words = {"Le", "chat", "dort", "sur", "le", "canapé", "."};
    constexpr int kThreads = 4;
    std::vector<std::shared_ptr<const Tagger>> models(kThreads);
    std::vector<std::vector<Upos>> tags(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            models[t] = kezo::load_tagger(Language::French);
            for (int round = 0; round < 200; ++round) models[t]->tag(words, &tags[t]);
        });
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(models[t].get(), models[0].get());
        EXPECT_EQ(tags[t], tags[0]);
    }
    ASSERT_EQ(tags[0].size(), words.size());
    EXPECT_EQ(tags[0].back(), Upos::PUNCT);
}

TEST(Tagger, TaggedTextMapsOntoItsBytes) {
    kezo::set_tagger_directory(KEZO_TAGGER_MODEL_DIR);
    const auto pieces_of = [](Language lang, const std::string& text) {
        const auto tagged = kezo::load_tagger(lang)->tag_text(text);
        std::vector<std::string> pieces;
        std::uint32_t last = 0;
        for (const kezo::TaggedWord& w : tagged) {
            EXPECT_LE(last, w.start);
            EXPECT_LT(w.start, w.end);
            EXPECT_LE(w.end, text.size());
            pieces.push_back(text.substr(w.start, w.end - w.start));
            last = w.end;
        }
        return std::make_pair(pieces, tagged);
    };
    const auto [pieces, tagged] =
        pieces_of(Language::German, "Die Katze schläft. «Élan», 3,5 km!\n猫");
    ASSERT_GE(pieces.size(), 6u);
    EXPECT_EQ(pieces[0], "Die");
    EXPECT_EQ(pieces[2], "schläft");
    EXPECT_EQ(pieces[3], ".");
    EXPECT_EQ(tagged[3].upos, Upos::PUNCT);
    EXPECT_EQ(pieces.back(), "猫");
    EXPECT_TRUE(kezo::load_tagger(Language::English)->tag({}).empty());
    // Words at apostrophes as the treebanks write them.
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(pieces_of(Language::English, "I can't say it's O'Neill's").first,
              (Pieces{"I", "ca", "n't", "say", "it", "'s", "O'Neill", "'s"}));
    EXPECT_EQ(pieces_of(Language::French, "L'homme d'aujourd'hui").first,
              (Pieces{"L'", "homme", "d'", "aujourd'hui"}));
    EXPECT_EQ(pieces_of(Language::Dutch, "zo'n 'quote' en 't").first,
              (Pieces{"zo'n", "'", "quote", "'", "en", "'t"}));
}

TEST(Tagger, KeyphrasesAreNounPhrasesWhereAModelIsAtHand) {
    const auto phrases = [](const std::string& text, Language lang) {
        kezo::KeyphraseConfig config;
        config.language = lang;
        config.top_k = 0;
        config.keep_near_duplicates = true;
        std::set<std::string> out;
        for (const kezo::Keyword& k : kezo::extract_keyphrases(text, config)) out.insert(k.text);
        return out;
    };
    const std::string text =
        "Solar panels convert sunlight into electricity. Cheap solar panels need regular "
        "maintenance, and old solar panels lose efficiency in hot weather. The theory of "
        "distributed systems of the web is quickly growing. The company announced new products for "
        "knowledge based systems. Semantic segmentation of remote sensing images is hard. The "
        "panels were tested experimentally. The Federal Reserve raises interest rates. Messi "
        "scored twice.";
    const std::string twi = "Abofra no kɔɔ sukuu. Abofra no ani gye sukuu ho paa.";
    const std::string korean = "사람은 자유를 가진다. 사람은 권리를 가진다.";
    const std::string names =
        "Judges at the court in The Hague ruled on the case. Readers in the city said that The "
        "Wall Street Journal was late.";
    const std::string french =
        "Les électeurs du sud lisent le journal Le Monde chaque jour, et Marine Le Pen parle. Le "
        "vote, explique-t-il, reste libre.";
    const std::string german = "Menschenrechte gelten überall. Menschenrechte schützen uns.";
    kezo::set_tagger_directory("");  // no models: stopword-bounded candidates, as before
    const auto all = phrases(text, Language::English);
    EXPECT_EQ(phrases(names, Language::English).count("The Hague"), 0u);
    const auto german_before = phrases(german, Language::German);
    const auto twi_before = phrases(twi, Language::Twi);
    const auto korean_before = phrases(korean, Language::Korean);
    kezo::set_tagger_directory(KEZO_TAGGER_MODEL_DIR);
    const auto kept = phrases(text, Language::English);
    // A function word the stopword lists lack is no candidate, nor is a Korean verb.
    EXPECT_EQ(all.count("experimentally"), 1u);
    EXPECT_EQ(kept.count("experimentally"), 0u);
    EXPECT_EQ(korean_before.count("가진다"), 1u);
    // A Korean noun is counted and shown without its particles where the text attests it.
    const auto korean_kept = phrases(korean, Language::Korean);
    EXPECT_EQ(korean_before.count("사람은 자유를"), 1u);
    EXPECT_EQ(korean_kept, (std::set<std::string>{"사람", "자유", "권리"}));
    const auto korean_nouns =
        phrases("국가 기관의 결과와 효과를 본다. 신앙의 자유는 크다. 자유를 주는 국가가 있다.",
                Language::Korean);
    for (const char* p : {"국가", "결과", "효과", "신앙의 자유", "국가 기관의 결과"})
        EXPECT_EQ(korean_nouns.count(p), 1u) << p;
    EXPECT_EQ(all.count("solar panels convert sunlight"), 1u);
    EXPECT_EQ(all.count("solar panels lose"), 1u);
    EXPECT_EQ(kept.count("solar panels"), 1u);
    EXPECT_EQ(kept.count("distributed systems"), 1u);  // a participle before a noun stays
    EXPECT_EQ(kept.count("theory of distributed systems"), 1u);
    EXPECT_EQ(kept.count("knowledge based systems"), 1u);  // a noun and participle as one adjective
    // A listed verb agreeing with the noun before it, which the model reads as a noun there.
    EXPECT_EQ(all.count("Reserve raises interest rates"), 1u);
    EXPECT_EQ(kept.count("interest rates"), 1u);
    using kezo::keyphrase::is_listed_verb;
    EXPECT_TRUE(is_listed_verb("detect", false) && is_listed_verb("detects", true) &&
                is_listed_verb("varies", true) && is_listed_verb("applies", true));
    EXPECT_FALSE(is_listed_verb("detects", false) || is_listed_verb("detect", true) ||
                 is_listed_verb("sets", true) || is_listed_verb("s", true));
    // A name that only starts a sentence keeps its capital where the tagger reads it as one, as
    // does any German noun.
    EXPECT_EQ(all.count("messi"), 1u);
    EXPECT_EQ(kept.count("Messi"), 1u);
    EXPECT_EQ(german_before.count("menschenrechte"), 1u);
    EXPECT_EQ(phrases(german, Language::German).count("Menschenrechte"), 1u);
    for (const std::string& p : kept) {
        if (p.find(' ') == std::string::npos) continue;  // a single word is judged by its score
        for (const char* verb : {"need", "lose", "growing", "quickly", "announced", "raises"})
            EXPECT_EQ(p.find(verb), std::string::npos) << p;
        const std::string_view last(p.c_str() + p.rfind(' ') + 1);
        EXPECT_NE(last, "remote") << p;  // an adjective leads its noun, never ends a phrase
        // A connector joins two words of a name, never ends one.
        EXPECT_NE(p.substr(p.size() - 3), " of") << p;
    }
    EXPECT_EQ(phrases(twi, Language::Twi), twi_before);  // no model: candidates unchanged
    // A name's article or particle joins the name of one word after it, and stands nowhere alone.
    const auto named = phrases(names, Language::English);
    EXPECT_EQ(named.count("The Hague"), 1u);
    EXPECT_EQ(named.count("Wall Street Journal"), 1u);
    for (const std::string& p : named)  // never "The Wall Street"
        EXPECT_TRUE(p == "The Hague" || p.rfind("The ", 0) != 0) << p;
    const auto french_named = phrases(french, Language::French);
    EXPECT_EQ(french_named.count("Le Monde"), 1u);
    EXPECT_EQ(french_named.count("Marine Le Pen"), 1u);
    EXPECT_EQ(french_named.count("Le"), 0u);
    // A name the text writes elsewhere stays whole where a sentence starts with it.
    kezo::KeyphraseConfig config;
    config.language = Language::English;
    const std::string new_york =
        "New York is a big city. People in the city love New York and its parks. New York has "
        "many parks.";
    std::uint32_t new_york_count = 0;
    for (const kezo::Keyword& k : kezo::extract_keyphrases(new_york, config))
        if (k.text == "New York") new_york_count = k.count;
    EXPECT_EQ(new_york_count, 3u);
    // A verb joined to its pronoun is no candidate, though it has a hyphen.
    EXPECT_EQ(french_named.count("explique-t-il"), 0u);
    const auto portuguese = phrases("A libra inglesa valorizou-se ontem.", Language::Portuguese);
    EXPECT_EQ(portuguese, (std::set<std::string>{"libra inglesa", "libra", "inglesa"}));
}
