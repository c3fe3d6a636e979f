#include <climits>

#include "extract_test_util.h"

using namespace kezo;
using namespace kezo::testing;

namespace {

std::vector<Keyword> rake(const Strings& tokens, unsigned min_len, unsigned max_len,
                          bool include_words = true) {
    return rake_extract(words(tokens), Language::English, {min_len, max_len, 0, include_words});
}

}  // namespace

TEST(Rake, DegreeOverFrequency) {
    const auto list = rake({"the", "alpha", "beta", "gamma", "of"}, 1, 4);
    // The phrase first, then its words in order of first occurrence (equal scores).
    EXPECT_EQ(texts(list), (Strings{"alpha beta gamma", "alpha", "beta", "gamma"}));
    EXPECT_NEAR(list[0].score, 9.0, 1e-12);
    EXPECT_NEAR(list[1].score, 3.0, 1e-12);
    EXPECT_EQ(list[1].count, 1u);
    // A repeated word counts once per position; a phrase retained twice scores twice.
    const auto repeated =
        rake({"alpha", "beta", "alpha", ",", "delta", "of", "delta"}, 1, 4, false);
    EXPECT_NEAR(find(repeated, "alpha beta alpha")->score, 9.0, 1e-12);
    EXPECT_NEAR(find(repeated, "delta")->score, 2.0, 1e-12);
    EXPECT_EQ(find(repeated, "delta")->count, 2u);
    // A number token is a word and so a content word.
    EXPECT_NEAR(find(rake({"year", "2024"}, 1, 4), "year 2024")->score, 4.0, 1e-12);
}

TEST(Rake, PhraseLengthLimits) {
    // Cut into phrases of max length; the short tail is dropped and not counted.
    EXPECT_EQ(texts(rake({"alpha", "beta", "gamma", "delta", "epsilon"}, 2, 2)),
              (Strings{"alpha beta", "gamma delta", "alpha", "beta", "gamma", "delta"}));
    // A minimum of 0 acts as 1: no empty phrases at delimiters.
    EXPECT_EQ(texts(rake({"of", "alpha", "the", ","}, 0, 4)), (Strings{"alpha", "alpha"}));
    // Distinct phrases plus distinct words.
    EXPECT_EQ(rake({"alpha", "beta", "of", "beta", "of", "alpha", "beta"}, 1, 4).size(), 4u);
}

TEST(Rake, LongRunWithoutLengthLimit) {
    // 100 000 repetitions in one phrase: degree 10^10 exceeds 32 bits, and the degree count
    // must stay linear in the phrase length.
    const auto list = rake(Strings(100000, "alpha"), 1, UINT_MAX);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_NEAR(list[0].score, 1e10, 1e-3);
    EXPECT_NEAR(find(list, "alpha")->score, 1e5, 1e-9);
    EXPECT_EQ(find(list, "alpha")->count, 100000u);
}
