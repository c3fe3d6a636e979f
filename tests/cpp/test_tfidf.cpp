#include <cstdint>
#include <unordered_map>

#include "extract_test_util.h"

using namespace kezo;
using namespace kezo::testing;
using Table = std::unordered_map<std::string, unsigned int>;

namespace {

// Unigram candidates, all of them; fields: min_n, max_n, total_documents, top_k, smooth, sublinear.
TFIDFConfig unigrams(bool smooth = true, std::uint32_t total = 0, bool sublinear = true) {
    return {1, 1, total, 0, smooth, sublinear};
}

}  // namespace

TEST(TfIdf, WithinDocumentIdf) {
    const auto tokens = words({"alpha", "beta", "alpha"});
    const auto list = tfidf_extract(tokens, Language::English, unigrams(), nullptr);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].text, "alpha");
    EXPECT_NEAR(list[0].score, (1 + std::log(2.0)) * (std::log(4.0 / 3.0) + 1), 1e-12);
    EXPECT_EQ(list[0].count, 2u);
    EXPECT_NEAR(list[1].score, std::log(2.0) + 1, 1e-12);
    // Unsmoothed, linear tf: alpha 2 * ln(3/2), beta ln 3.
    const auto raw = tfidf_extract(tokens, Language::English, unigrams(false, 0, false), nullptr);
    EXPECT_NEAR(find(raw, "alpha")->score, 2 * std::log(1.5), 1e-12);
    EXPECT_NEAR(find(raw, "beta")->score, std::log(3.0), 1e-12);
    // first_position indexes the candidate list, not the tokens.
    const auto multi = tfidf_extract(words({"the", "alpha", "beta", "of", "beta"}),
                                     Language::English, {1, 2, 0, 0, true, true}, nullptr);
    EXPECT_EQ(find(multi, "alpha beta")->first_position, 2u);
    EXPECT_EQ(find(multi, "beta")->first_position, 1u);
    EXPECT_EQ(find(multi, "beta")->count, 2u);
}

TEST(TfIdf, CorpusTable) {
    auto score = [](const TFIDFConfig& c, const Table& t, const char* text) {
        return find(tfidf_extract(words({"alpha", "beta", "gamma"}), Language::English, c, &t),
                    text)
            ->score;
    };
    // A count of 0 and an absent candidate (also in an empty table) both use the corpus size.
    const Table table{{"alpha", 3}, {"beta", 0}};
    EXPECT_NEAR(score(unigrams(true, 10), table, "alpha"), std::log(11.0 / 4.0) + 1, 1e-12);
    EXPECT_NEAR(score(unigrams(true, 10), table, "gamma"), std::log(11.0) + 1, 1e-12);
    EXPECT_NEAR(score(unigrams(false, 10), table, "alpha"), std::log(10.0 / 3.0), 1e-12);
    EXPECT_NEAR(score(unigrams(false, 10), table, "beta"), std::log(10.0), 1e-12);
    EXPECT_EQ(score(unigrams(true, 0), table, "alpha"), 0.0);
    EXPECT_NEAR(score(unigrams(true, 10), Table{}, "beta"), std::log(11.0) + 1, 1e-12);
    // The largest counts must not wrap to 0 when one is added.
    const std::uint32_t max = UINT32_MAX;
    const Table huge{{"alpha", max}};
    EXPECT_NEAR(score(unigrams(true, max), huge, "alpha"), 1.0, 1e-12);
    EXPECT_NEAR(score(unigrams(false, max), huge, "alpha"), 0.0, 1e-12);
    EXPECT_NEAR(score(unigrams(true, max), huge, "beta"), std::log(4294967296.0) + 1, 1e-9);
}

TEST(TfIdf, CorpusDocumentFrequency) {
    const std::vector<std::vector<Token>> corpus{words({"big", "data", "of", "big", "data"}),
                                                 words({"big", "data", "big", "data"}),
                                                 words({"data"})};
    EXPECT_EQ(build_corpus_df(corpus, Language::English, 1, 1), (Table{{"big", 2}, {"data", 3}}));
    // Runs longer than max_n are cut into blocks, so "data big" is never a candidate.
    EXPECT_EQ(build_corpus_df(corpus, Language::English, 2, 2), (Table{{"big data", 2}}));
    EXPECT_TRUE(build_corpus_df({}, Language::English, 1, 3).empty());
}
