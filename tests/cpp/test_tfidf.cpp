#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "extract_test_util.h"
#include "kezo/extract.h"

using kezo::Keyword;
using kezo::Language;
using kezo::TFIDFConfig;
using kezo::testing::find;
using kezo::testing::words;
using Table = std::unordered_map<std::string, unsigned int>;

namespace {

TFIDFConfig unigrams(bool smooth = true, std::uint32_t total = 0, std::uint32_t top_k = 0) {
    TFIDFConfig c;
    c.min_n = c.max_n = 1;
    c.smooth = smooth;
    c.total_documents = total;
    c.top_k = top_k;
    return c;
}

}  // namespace

TEST(TfIdf, WithinDocumentIdf) {
    const auto list = kezo::tfidf_extract(words({"alpha", "beta", "alpha"}), Language::English,
                                          unigrams(), nullptr);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].text, "alpha");
    EXPECT_NEAR(list[0].score, (1 + std::log(2.0)) * (std::log(4.0 / 3.0) + 1), 1e-12);
    EXPECT_EQ(list[0].count, 2u);
    EXPECT_EQ(list[0].first_position, 0u);
    EXPECT_EQ(list[1].text, "beta");
    EXPECT_NEAR(list[1].score, std::log(2.0) + 1, 1e-12);
    EXPECT_EQ(list[1].first_position, 1u);

    // Unsmoothed, linear tf: alpha 2 * ln(3/2), beta ln 3.
    TFIDFConfig plain = unigrams(false);
    plain.sublinear_tf = false;
    const auto raw =
        kezo::tfidf_extract(words({"alpha", "beta", "alpha"}), Language::English, plain, nullptr);
    EXPECT_NEAR(find(raw, "alpha")->score, 2 * std::log(1.5), 1e-12);
    EXPECT_NEAR(find(raw, "beta")->score, std::log(3.0), 1e-12);

    // first_position indexes the candidate list, not the tokens.
    TFIDFConfig bigrams = unigrams();
    bigrams.max_n = 2;
    const auto multi = kezo::tfidf_extract(words({"the", "alpha", "beta", "of", "beta"}),
                                           Language::English, bigrams, nullptr);
    EXPECT_EQ(find(multi, "alpha beta")->first_position, 2u);
    EXPECT_EQ(find(multi, "beta")->first_position, 1u);
    EXPECT_EQ(find(multi, "beta")->count, 2u);
}

TEST(TfIdf, CorpusTable) {
    const auto tokens = words({"alpha", "beta", "gamma"});
    const Table table{{"alpha", 3}, {"beta", 0}};
    auto score = [&](const TFIDFConfig& c, const Table* t, const char* text) {
        return find(kezo::tfidf_extract(tokens, Language::English, c, t), text)->score;
    };
    EXPECT_NEAR(score(unigrams(true, 10), &table, "alpha"), std::log(11.0 / 4.0) + 1, 1e-12);
    EXPECT_NEAR(score(unigrams(true, 10), &table, "gamma"), std::log(11.0) + 1, 1e-12);
    EXPECT_NEAR(score(unigrams(false, 10), &table, "alpha"), std::log(10.0 / 3.0), 1e-12);
    EXPECT_NEAR(score(unigrams(false, 10), &table, "beta"), std::log(10.0), 1e-12);
    EXPECT_NEAR(score(unigrams(false, 10), &table, "gamma"), std::log(10.0), 1e-12);
    EXPECT_EQ(score(unigrams(true, 0), &table, "alpha"), 0.0);
    // An empty table is present: absent candidates use the corpus size.
    const Table empty;
    EXPECT_NEAR(score(unigrams(true, 10), &empty, "beta"), std::log(11.0) + 1, 1e-12);

    // The largest counts must not wrap to 0 when one is added.
    const std::uint32_t max = UINT32_MAX;
    const Table huge{{"alpha", max}};
    EXPECT_NEAR(score(unigrams(true, max), &huge, "alpha"), 1.0, 1e-12);
    EXPECT_NEAR(score(unigrams(false, max), &huge, "alpha"), 0.0, 1e-12);
    EXPECT_NEAR(score(unigrams(true, max), &huge, "beta"), std::log(4294967296.0) + 1, 1e-9);
}

TEST(TfIdf, CorpusDocumentFrequency) {
    const std::vector<std::vector<kezo::Token>> corpus{words({"big", "data", "of", "big", "data"}),
                                                       words({"big", "data", "big", "data"}),
                                                       words({"data"})};
    const Table unigram = kezo::build_corpus_df(corpus, Language::English, 1, 1);
    EXPECT_EQ(unigram, (Table{{"big", 2}, {"data", 3}}));
    const Table bigram = kezo::build_corpus_df(corpus, Language::English, 2, 2);
    // Runs longer than max_n are cut into blocks, so "data big" is never a candidate.
    EXPECT_EQ(bigram, (Table{{"big data", 2}}));
    EXPECT_TRUE(kezo::build_corpus_df({}, Language::English, 1, 3).empty());
}
