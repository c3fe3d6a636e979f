#include <climits>

#include "extract_test_util.h"

using namespace kezo;
using namespace kezo::testing;

namespace {

std::vector<Keyword> yake(const Strings& tokens, unsigned min_n, unsigned max_n, unsigned window,
                          bool product = true) {
    return yake_extract(words(tokens), Language::English, {min_n, max_n, 0, window, product});
}

}  // namespace

TEST(Yake, SingleTermFeatures) {
    const auto one = yake({"alpha"}, 1, 3, 2);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(one[0].score, 1 / (1 + std::log(3.0)), 1e-12);
    // An ASCII capital doubles the casing feature.
    EXPECT_NEAR(yake({"Alpha"}, 1, 1, 2)[0].score, 1 / (1 + std::log(3.0) / 2), 1e-12);

    // Candidates alpha, beta, alpha: mean tf 1.5; both terms see each other twice.
    const double related = 1 + 1 / (2 * std::log(3.0));
    const double s_alpha = (4.0 / 3 * std::log(4.0)) / (2 * related);
    const double s_beta = (2.0 / 3 * std::log(4.0)) / related;
    const auto list = yake({"alpha", "beta", "alpha"}, 1, 1, 1);
    EXPECT_NEAR(find(list, "alpha")->score, 1 / (1 + s_alpha), 1e-12);
    EXPECT_NEAR(find(list, "beta")->score, 1 / (1 + s_beta), 1e-12);
    EXPECT_EQ(find(list, "alpha")->count, 2u);
    EXPECT_EQ(find(list, "beta")->first_position, 1u);
    // A window beyond the sequence counts the same neighbours; window 0 gives R = 1.
    const auto wide = yake({"alpha", "beta", "alpha"}, 1, 1, UINT_MAX);
    EXPECT_NEAR(find(wide, "beta")->score, 1 / (1 + s_beta), 1e-12);
    const auto none = yake({"alpha", "beta", "alpha"}, 1, 1, 0);
    EXPECT_NEAR(find(none, "beta")->score, 1 / (1 + 2.0 / 3 * std::log(4.0)), 1e-12);
}

TEST(Yake, PhrasesFromTermScores) {
    // Candidates alpha, beta, "alpha beta": mean tf 1; the phrase is not a neighbour term.
    const double related = 1 + 1 / std::log(2.0);
    const double s_a = std::log(3.0) / related;
    const double s_b = std::log(4.0) / related;
    const auto product = yake({"alpha", "beta"}, 1, 2, 2, true);
    EXPECT_NEAR(find(product, "alpha")->score, 1 / (1 + s_a), 1e-12);
    EXPECT_NEAR(find(product, "alpha beta")->score, 1 / (2 * std::sqrt(s_a * s_b) + 1), 1e-12);
    EXPECT_EQ(find(product, "alpha beta")->first_position, 2u);
    const auto sum = yake({"alpha", "beta"}, 1, 2, 2, false);
    EXPECT_NEAR(find(sum, "alpha beta")->score, 1 / ((s_a + s_b) + 1), 1e-12);

    // Without single-term candidates every blank-joined phrase scores exactly 1.
    for (const auto& k : yake({"alpha", "beta", "gamma", "of", "alpha"}, 2, 3, 2))
        EXPECT_EQ(k.score, 1.0) << k.text;

    // A long phrase of small term scores keeps a positive geometric mean: the plain product
    // of 200 scores near 0.02 underflows to 0, which would score the phrase 1.
    Strings many;
    std::string phrase;
    for (int k = 0; k < 200; ++k) {
        many.push_back("w" + std::to_string(k));
        phrase += (k ? " " : "") + many.back();
    }
    const auto long_run = yake(many, 1, 200, 100);
    const auto* whole = find(long_run, phrase);
    ASSERT_NE(whole, nullptr);
    EXPECT_LT(whole->score, 0.999);
}
