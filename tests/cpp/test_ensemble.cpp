#include <gtest/gtest.h>

#include <set>
#include <string>

#include "extract_test_util.h"
#include "kezo/extract.h"
#include "kezo/text.h"

using kezo::EnsembleConfig;
using kezo::Language;
using kezo::testing::find;
using kezo::testing::texts;

namespace {

EnsembleConfig config(double tfidf, double yake, double textrank, double rake) {
    EnsembleConfig c;
    c.language = Language::English;
    c.top_k = 0;
    c.w_tfidf = tfidf;
    c.w_yake = yake;
    c.w_textrank = textrank;
    c.w_rake = rake;
    return c;
}

const std::string kText =
    "Solar panels convert sunlight. Solar panels need sunlight and maintenance; cheap solar "
    "panels fail early.";

std::set<std::string> set_of(const std::vector<kezo::Keyword>& list) {
    const auto all = texts(list);
    return {all.begin(), all.end()};
}

}  // namespace

TEST(Ensemble, SingleEntryListsGiveFullWeights) {
    const EnsembleConfig defaults;
    EXPECT_EQ(defaults.w_rake, 0.7);
    EXPECT_EQ(defaults.w_tfidf, 1.0);
    EXPECT_EQ(defaults.algorithm, kezo::Algorithm::YAKE);
    // One content word: every extractor returns one entry, which counts as normalised 1.
    const auto one = kezo::extract_keywords_ensemble("the solar", config(1, 1, 1, 1));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].text, "solar");
    EXPECT_NEAR(one[0].score, 4.0, 1e-12);
    EXPECT_EQ(one[0].count, 4u);
    EXPECT_NEAR(kezo::extract_keywords_ensemble("solar", config(1, 0.5, 0.25, 0.7))[0].score, 2.45,
                1e-12);
}

TEST(Ensemble, RescalingAndMerge) {
    const auto tokens = kezo::tokenize(kText, kezo::TokenizerConfig());
    kezo::TFIDFConfig tfidf;
    tfidf.top_k = 0;
    const auto tfidf_list = kezo::tfidf_extract(tokens, Language::English, tfidf, nullptr);
    // TF-IDF alone with weight 1: its top scores 1 and its bottom 0, still listed.
    const auto only = kezo::extract_keywords_ensemble(kText, config(1, 0, 0, 0));
    EXPECT_NEAR(find(only, tfidf_list.front().text)->score, 1.0, 1e-12);
    EXPECT_NEAR(find(only, tfidf_list.back().text)->score, 0.0, 1e-12);
    for (const auto& k : only) {
        EXPECT_GE(k.score, -1e-12);
        EXPECT_LE(k.score, 1.0 + 1e-12);
    }
    // Zero weights still contribute keywords and counts: the result holds the union of texts.
    kezo::YAKEConfig yake;
    yake.top_k = 0;
    kezo::TextRankConfig textrank;
    textrank.top_k = 0;
    kezo::RAKEConfig rake;
    rake.top_k = 0;
    rake.max_phrase_length = 3;  // the ensemble's max_n
    rake.include_words = false;
    std::set<std::string> all;
    unsigned solar_panels = 0;
    for (const auto& list : {tfidf_list, kezo::yake_extract(tokens, Language::English, yake),
                             kezo::textrank_extract(tokens, Language::English, textrank),
                             kezo::rake_extract(tokens, Language::English, rake)}) {
        for (const auto& k : list) all.insert(k.text);
        if (const auto* k = find(list, "solar panels")) solar_panels += k->count;
    }
    const auto merged = kezo::extract_keywords_ensemble(kText, config(1, 1, 1, 0.7));
    EXPECT_EQ(set_of(merged), all);
    EXPECT_EQ(only.size(), all.size());
    EXPECT_EQ(find(merged, "solar panels")->count, solar_panels);
    EXPECT_EQ(find(merged, "solar panels")->first_position,
              find(tfidf_list, "solar panels")->first_position);
    for (std::size_t k = 1; k < merged.size(); ++k) EXPECT_GE(merged[k - 1].score, merged[k].score);

    auto top = config(1, 1, 1, 0.7);
    top.top_k = 3;
    const auto cut = kezo::extract_keywords_ensemble(kText, top);
    ASSERT_EQ(cut.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(cut[k].text, merged[k].text);
}

TEST(Ensemble, LanguageLengthsAndBadInput) {
    auto automatic = config(1, 1, 1, 0.7);
    automatic.language = Language::Auto;
    auto explicit_language = automatic;
    explicit_language.language = kezo::detect_language(kText);
    EXPECT_EQ(texts(kezo::extract_keywords_ensemble(kText, automatic)),
              texts(kezo::extract_keywords_ensemble(kText, explicit_language)));

    // Lengths 0 and 0: only RAKE (1..4 words, no single-word entries) contributes.
    auto zero = config(1, 1, 1, 0.7);
    zero.min_n = zero.max_n = 0;
    kezo::RAKEConfig rake;
    rake.top_k = 0;
    rake.include_words = false;
    const auto rake_list = kezo::rake_extract(kezo::tokenize(kText, {}), Language::English, rake);
    const auto merged = kezo::extract_keywords_ensemble(kText, zero);
    EXPECT_EQ(set_of(merged), set_of(rake_list));

    EXPECT_TRUE(kezo::extract_keywords_ensemble("", automatic).empty());
    EXPECT_TRUE(kezo::extract_keywords_ensemble("... ,,, !!", automatic).empty());
    EXPECT_TRUE(kezo::extract_keywords_ensemble("the of and", automatic).empty());
    kezo::extract_keywords_ensemble("\xc3\x28 abc\xff\xfe def \xe2\x82", automatic);
}
