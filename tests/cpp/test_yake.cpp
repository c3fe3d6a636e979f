#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "extract_test_util.h"
#include "kezo/extract.h"

using kezo::Language;
using kezo::YAKEConfig;
using kezo::testing::find;
using kezo::testing::words;

namespace {

YAKEConfig config(unsigned min_n, unsigned max_n, unsigned window, bool product = true) {
    YAKEConfig c;
    c.min_n = min_n;
    c.max_n = max_n;
    c.window = window;
    c.product_mode = product;
    c.top_k = 0;
    return c;
}

}  // namespace

TEST(Yake, SingleTermFeatures) {
    const auto one = kezo::yake_extract(words({"alpha"}), Language::English, config(1, 3, 2));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(one[0].score, 1 / (1 + std::log(3.0)), 1e-12);
    // An ASCII capital doubles the casing feature.
    const auto upper = kezo::yake_extract(words({"Alpha"}), Language::English, config(1, 1, 2));
    EXPECT_NEAR(upper[0].score, 1 / (1 + std::log(3.0) / 2), 1e-12);

    // Candidates alpha, beta, alpha: mean tf 1.5; both terms see each other twice.
    const auto tokens = words({"alpha", "beta", "alpha"});
    const double related = 1 + 1 / (2 * std::log(3.0));
    const double s_alpha = (4.0 / 3 * std::log(4.0)) / (2 * related);
    const double s_beta = (2.0 / 3 * std::log(4.0)) / related;
    const auto list = kezo::yake_extract(tokens, Language::English, config(1, 1, 1));
    EXPECT_NEAR(find(list, "alpha")->score, 1 / (1 + s_alpha), 1e-12);
    EXPECT_NEAR(find(list, "beta")->score, 1 / (1 + s_beta), 1e-12);
    EXPECT_EQ(find(list, "alpha")->count, 2u);
    EXPECT_EQ(find(list, "beta")->first_position, 1u);
    // A window beyond the sequence counts the same neighbours; window 0 gives R = 1.
    const auto wide = kezo::yake_extract(tokens, Language::English, config(1, 1, UINT_MAX));
    EXPECT_NEAR(find(wide, "beta")->score,
                1 / (1 + (2.0 / 3 * std::log(4.0)) / (1 + 1 / (2 * std::log(3.0)))), 1e-12);
    const auto none = kezo::yake_extract(tokens, Language::English, config(1, 1, 0));
    EXPECT_NEAR(find(none, "beta")->score, 1 / (1 + 2.0 / 3 * std::log(4.0)), 1e-12);
}

TEST(Yake, PhrasesFromTermScores) {
    // Candidates alpha, beta, "alpha beta": mean tf 1; the phrase is not a neighbour term.
    const auto tokens = words({"alpha", "beta"});
    const double related = 1 + 1 / std::log(2.0);
    const double s_a = std::log(3.0) / related;
    const double s_b = std::log(4.0) / related;
    const auto product = kezo::yake_extract(tokens, Language::English, config(1, 2, 2, true));
    EXPECT_NEAR(find(product, "alpha")->score, 1 / (1 + s_a), 1e-12);
    EXPECT_NEAR(find(product, "alpha beta")->score, 1 / (2 * std::sqrt(s_a * s_b) + 1), 1e-12);
    EXPECT_EQ(find(product, "alpha beta")->first_position, 2u);
    const auto mean = kezo::yake_extract(tokens, Language::English, config(1, 2, 2, false));
    EXPECT_NEAR(find(mean, "alpha beta")->score, 1 / ((s_a + s_b) + 1), 1e-12);

    // Without single-term candidates every blank-joined phrase scores exactly 1.
    for (const auto& k : kezo::yake_extract(words({"alpha", "beta", "gamma", "of", "alpha"}),
                                            Language::English, config(2, 3, 2)))
        EXPECT_EQ(k.score, 1.0) << k.text;

    // A long phrase of small term scores keeps a positive geometric mean: the plain product
    // of 200 scores near 0.02 underflows to 0, which would score the phrase 1.
    std::vector<std::string> many;
    std::string phrase;
    for (int k = 0; k < 200; ++k) {
        many.push_back("w" + std::to_string(k));
        phrase += (k ? " " : "") + many.back();
    }
    const auto long_run = kezo::yake_extract(words(many), Language::English, config(1, 200, 100));
    const auto* whole = find(long_run, phrase);
    ASSERT_NE(whole, nullptr);
    EXPECT_LT(whole->score, 0.999);
}
