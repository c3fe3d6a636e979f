#include <set>

#include "extract_test_util.h"
#include "kezo/text.h"

using namespace kezo;
using namespace kezo::testing;

namespace {

// English, all keywords, lengths 1..3, the given weights.
EnsembleConfig config(double tfidf, double yake, double textrank, double rake) {
    return {{Algorithm::YAKE, Language::English, {}, 0, 1, 3, ""}, tfidf, yake, textrank, rake};
}

const std::string kText =
    "Solar panels convert sunlight. Solar panels need sunlight and maintenance; cheap solar "
    "panels fail early.";

std::set<std::string> set_of(const std::vector<Keyword>& list) {
    const auto all = texts(list);
    return {all.begin(), all.end()};
}

}  // namespace

TEST(Ensemble, SingleEntryListsGiveFullWeights) {
    // One content word: every extractor returns one entry, which counts as normalised 1.
    const auto one = extract_keywords_ensemble("the solar", config(1, 1, 1, 1));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].text, "solar");
    EXPECT_NEAR(one[0].score, 4.0, 1e-12);
    EXPECT_EQ(one[0].count, 4u);
    EXPECT_NEAR(extract_keywords_ensemble("solar", config(1, 0.5, 0.25, 0.7))[0].score, 2.45,
                1e-12);
}

TEST(Ensemble, RescalingAndMerge) {
    const auto tokens = tokenize(kText, TokenizerConfig());
    const auto tfidf = tfidf_extract(tokens, Language::English, {1, 3, 0, 0, true, true}, nullptr);
    // TF-IDF alone with weight 1: its top scores 1 and its bottom 0, still listed.
    const auto only = extract_keywords_ensemble(kText, config(1, 0, 0, 0));
    EXPECT_NEAR(find(only, tfidf.front().text)->score, 1.0, 1e-12);
    EXPECT_NEAR(find(only, tfidf.back().text)->score, 0.0, 1e-12);
    // Zero weights still contribute keywords and counts: the result holds the union of texts.
    // RAKE runs with the ensemble's max_n and without single-word entries.
    std::set<std::string> all;
    unsigned solar_panels = 0;
    for (const auto& list :
         {tfidf, yake_extract(tokens, Language::English, {1, 3, 0, 2, true}),
          textrank_extract(tokens, Language::English, {1, 3, 0, 2, 0.85, 100, 1e-4}),
          rake_extract(tokens, Language::English, {1, 3, 0, false})}) {
        for (const auto& k : list) all.insert(k.text);
        if (const auto* k = find(list, "solar panels")) solar_panels += k->count;
    }
    EXPECT_EQ(set_of(only), all);
    const auto merged = extract_keywords_ensemble(kText, config(1, 1, 1, 0.7));
    EXPECT_EQ(set_of(merged), all);
    EXPECT_EQ(find(merged, "solar panels")->count, solar_panels);
    EXPECT_EQ(find(merged, "solar panels")->first_position,
              find(tfidf, "solar panels")->first_position);
    expect_ranked(merged);  // top_k cuts this list at the end (checked by the extraction fuzzer)
}

TEST(Ensemble, LanguageLengthsAndBadInput) {
    auto automatic = config(1, 1, 1, 0.7);
    automatic.language = Language::Auto;
    auto explicit_language = automatic;
    explicit_language.language = detect_language(kText);
    EXPECT_EQ(texts(extract_keywords_ensemble(kText, automatic)),
              texts(extract_keywords_ensemble(kText, explicit_language)));
    // Lengths 0 and 0: only RAKE (1..4 words, no single-word entries) contributes.
    auto zero = config(1, 1, 1, 0.7);
    zero.min_n = zero.max_n = 0;
    EXPECT_EQ(set_of(extract_keywords_ensemble(kText, zero)),
              set_of(rake_extract(tokenize(kText, {}), Language::English, {1, 4, 0, false})));
    for (const char* bad : {"", "... ,,, !!", "the of and", "\xff\xfe\xc3"})
        EXPECT_TRUE(extract_keywords_ensemble(bad, automatic).empty()) << bad;
}
