#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "extract_test_util.h"
#include "kezo/extract.h"
#include "kezo/stopwords.h"
#include "kezo/text.h"

using kezo::Language;
using kezo::internal::build_ngrams;
using kezo::testing::words;
using Strings = std::vector<std::string>;

TEST(Ngrams, OrderByBlockLengthThenStart) {
    EXPECT_EQ(build_ngrams(words({"deep", "learning", "models"}), Language::English, 1, 3),
              (Strings{"deep", "learning", "models", "deep learning", "learning models",
                       "deep learning models"}));
    // Stopwords and punctuation separate blocks; nothing spans them.
    EXPECT_EQ(build_ngrams(words({"data", "of", "science"}), Language::English, 1, 2),
              (Strings{"data", "science"}));
    EXPECT_EQ(build_ngrams(words({"data", ",", "science", "data"}), Language::English, 1, 2),
              (Strings{"data", "science", "data", "science data"}));
    // Repeated phrases are listed once per occurrence.
    EXPECT_EQ(build_ngrams(words({"big", "data", "the", "big", "data"}), Language::English, 2, 2),
              (Strings{"big data", "big data"}));
    // A stopword written with capitals is still a stopword.
    EXPECT_EQ(build_ngrams(words({"The", "Data"}), Language::English, 1, 2), (Strings{"Data"}));
}

TEST(Ngrams, IdeographBlocksJoinWithoutBlanks) {
    EXPECT_EQ(build_ngrams(words({"数", "据"}), Language::Chinese, 1, 2),
              (Strings{"数", "据", "数据"}));
    EXPECT_EQ(build_ngrams(words({"数", "data"}), Language::Chinese, 1, 2),
              (Strings{"数", "data", "数 data"}));
    // The separator is decided once per block: a mixed block joins its ideographs with blanks.
    EXPECT_EQ(build_ngrams(words({"数", "据", "x1"}), Language::Chinese, 2, 3),
              (Strings{"数 据", "据 x1", "数 据 x1"}));
}

TEST(Ngrams, LengthBoundsAndLongRuns) {
    const auto run = words({"alpha", "beta", "gamma", "delta", "epsilon"});
    // A run longer than max_n is cut into consecutive blocks; every word stays a candidate.
    EXPECT_EQ(build_ngrams(run, Language::English, 1, 2),
              (Strings{"alpha", "beta", "alpha beta", "gamma", "delta", "gamma delta", "epsilon"}));
    EXPECT_TRUE(build_ngrams(run, Language::English, 3, 2).empty());
    EXPECT_TRUE(build_ngrams({}, Language::English, 1, 3).empty());
    EXPECT_TRUE(build_ngrams(words({"alpha", "of", "beta"}), Language::English, 2, 3).empty());
    // Zero lengths: no empty candidates, and a max_n of 0 terminates with nothing.
    EXPECT_TRUE(build_ngrams(run, Language::English, 0, 0).empty());
    EXPECT_EQ(build_ngrams(words({"alpha", "beta"}), Language::English, 0, 1),
              (Strings{"alpha", "beta"}));
    // The largest max_n is bounded by the run itself.
    EXPECT_EQ(build_ngrams(words({"alpha", "beta"}), Language::English, 1, UINT_MAX),
              (Strings{"alpha", "beta", "alpha beta"}));
    EXPECT_EQ(build_ngrams(words({"alpha", "beta"}), Language::English, UINT_MAX, UINT_MAX),
              Strings{});
}

TEST(Ngrams, TenantStopwordsApplyOnlyInScope) {
    kezo::stopwords::load_tenant("ngram-tenant", Language::English, {"Science"});
    const auto tokens = words({"data", "science"});
    EXPECT_EQ(build_ngrams(tokens, Language::English, 1, 2),
              (Strings{"data", "science", "data science"}));
    {
        kezo::stopwords::ScopedTenant scope("ngram-tenant");
        EXPECT_EQ(build_ngrams(tokens, Language::English, 1, 2), (Strings{"data"}));
    }
    EXPECT_EQ(build_ngrams(tokens, Language::English, 1, 1), (Strings{"data", "science"}));
}

TEST(ExtractRobustness, MegabyteDocumentAllAlgorithms) {
    std::string text;
    {
        std::ifstream in(std::string(KEZO_TEST_DATA_DIR) + "/udhr/en.txt", std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string page = buffer.str();
        ASSERT_FALSE(page.empty());
        while (text.size() < (1u << 20)) text += page;
    }
    const auto tokens = kezo::tokenize(text, kezo::TokenizerConfig());
    const std::vector<std::vector<kezo::Keyword>> lists{
        kezo::tfidf_extract(tokens, Language::English, kezo::TFIDFConfig(), nullptr),
        kezo::yake_extract(tokens, Language::English, kezo::YAKEConfig()),
        kezo::textrank_extract(tokens, Language::English, kezo::TextRankConfig()),
        kezo::rake_extract(tokens, Language::English, kezo::RAKEConfig())};
    for (const auto& list : lists) {
        ASSERT_EQ(list.size(), 10u);
        for (std::size_t k = 0; k < list.size(); ++k) {
            EXPECT_TRUE(std::isfinite(list[k].score)) << list[k].text;
            if (k) {
                EXPECT_GE(list[k - 1].score, list[k].score);
            }
        }
    }
}

TEST(ExtractRobustness, EmptyInputOrderingAndTopK) {
    using Run = std::function<std::vector<kezo::Keyword>(
        const std::vector<kezo::Token>&, unsigned top_k, unsigned min_n, unsigned max_n)>;
    const std::vector<Run> algorithms{
        [](const auto& t, unsigned k, unsigned lo, unsigned hi) {
            return kezo::tfidf_extract(t, Language::English, {lo, hi, 0, k, true, true}, nullptr);
        },
        [](const auto& t, unsigned k, unsigned lo, unsigned hi) {
            return kezo::yake_extract(t, Language::English, {lo, hi, k, 2, true});
        },
        [](const auto& t, unsigned k, unsigned lo, unsigned hi) {
            return kezo::textrank_extract(t, Language::English, {lo, hi, k, 2, 0.85, 100, 1e-4});
        },
        [](const auto& t, unsigned k, unsigned lo, unsigned hi) {
            return kezo::rake_extract(t, Language::English, {lo, hi, k, true});
        }};
    const auto tokens = kezo::testing::words(
        {"alpha", "beta", "alpha", "gamma", ",", "alpha", "delta", "of", "beta", "epsilon"});
    for (std::size_t a = 0; a < algorithms.size(); ++a) {
        const Run& run = algorithms[a];
        const auto all = run(tokens, 0, 1, 3);
        ASSERT_GT(all.size(), 3u) << a;
        for (std::size_t k = 1; k < all.size(); ++k) EXPECT_GE(all[k - 1].score, all[k].score);
        const auto top = run(tokens, 3, 1, 3);
        ASSERT_EQ(top.size(), 3u) << a;
        for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(top[k].text, all[k].text) << a;
        EXPECT_EQ(run(tokens, 1000, 1, 3).size(), all.size()) << a;
        EXPECT_TRUE(run({}, 0, 1, 3).empty()) << a;
        EXPECT_TRUE(run(kezo::testing::words({"the", ",", "of"}), 0, 1, 3).empty()) << a;
        if (a < 3) {
            EXPECT_TRUE(run(tokens, 0, 3, 2).empty()) << a;  // max_n below min_n
        }
    }
}
