#include <climits>
#include <limits>

#include "extract_test_util.h"

using namespace kezo;
using namespace kezo::testing;

namespace {

// Fields: min_n, max_n, top_k, window, damping, max_iter, tol.
TextRankConfig config(unsigned window, unsigned max_iter = 100, unsigned max_n = 1) {
    return {1, max_n, 0, window, 0.85, max_iter, 1e-4};
}

}  // namespace

TEST(TextRank, RanksOfSmallGraphs) {
    // Path alpha - beta - gamma after one iteration from 1/3 each.
    const auto path = words({"alpha", "of", "beta", ",", "gamma"});
    const auto one = textrank_extract(path, Language::English, config(1, 1));
    EXPECT_NEAR(find(one, "alpha")->score, 0.05 + 0.85 / 6, 1e-12);
    EXPECT_NEAR(find(one, "beta")->score, 0.05 + 1.7 / 3, 1e-12);
    // Converged with tol 0: r_end = 0.05 + 0.425 r_mid, r_mid = 0.05 + 1.7 r_end.
    auto converged = config(1, 10000);
    converged.tol = 0;
    const auto fixed = textrank_extract(path, Language::English, converged);
    EXPECT_NEAR(find(fixed, "gamma")->score, 0.07125 / 0.2775, 1e-12);
    EXPECT_NEAR(find(fixed, "beta")->score, 0.05 + 1.7 * 0.07125 / 0.2775, 1e-12);
    // The whole sequence as window still joins each pair once.
    const auto wide = textrank_extract(path, Language::English, config(UINT_MAX));
    EXPECT_NEAR(find(wide, "alpha")->score, 1.0 / 3, 1e-12);

    // A single distinct word is a dangling node with rank 1.
    const auto single =
        textrank_extract(words({"alpha", "alpha"}), Language::English, config(2, 100, 2));
    EXPECT_NEAR(find(single, "alpha")->score, 2.0, 1e-12);
    EXPECT_EQ(find(single, "alpha")->count, 2u);
    EXPECT_NEAR(find(single, "alpha alpha")->score, 2.0, 1e-12);
    // Window 0 and max_iter 0 keep every rank at 1/N.
    for (const auto& c : {config(0, 100, 2), config(2, 0, 2)}) {
        const auto list = textrank_extract(words({"alpha", "beta", "gamma"}), Language::English, c);
        EXPECT_NEAR(find(list, "alpha beta")->score, 2.0 / 3, 1e-12);
    }
}

TEST(TextRank, RepeatedPairsIdeographsAndBrokenDamping) {
    // A pair repeated three times is one edge: both ranks 0.5, each word phrase 3 * 0.5.
    const auto pairs = words({"alpha", "beta", "alpha", "beta", "alpha", "beta"});
    const auto list = textrank_extract(pairs, Language::English, config(1, 100, 2));
    EXPECT_NEAR(find(list, "alpha")->score, 1.5, 1e-12);
    EXPECT_EQ(find(list, "alpha beta")->count, 3u);
    EXPECT_NEAR(find(list, "alpha beta")->score, 3.0, 1e-12);
    for (const auto& k : list) EXPECT_EQ(k.first_position, 0u);
    // Ideograph phrases are joined without blanks; they still score from their characters'
    // ranks, like the blank-joined phrase above (one edge: both ranks 0.5).
    const auto cjk = textrank_extract(words({"\u6570", "\u636e", "\u6570", "\u636e"}),
                                      Language::Chinese, config(1, 100, 4));
    EXPECT_NEAR(find(cjk, "\u6570\u636e")->score, 2.0, 1e-12);  // two occurrences
    EXPECT_NEAR(find(cjk, "\u6570\u636e\u6570")->score, 1.5, 1e-12);
    // NaN damping neither hangs nor breaks the ordering.
    auto broken = config(2, UINT_MAX);
    broken.damping = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(textrank_extract(pairs, Language::English, broken).size(), 2u);
}
