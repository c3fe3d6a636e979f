#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "extract_test_util.h"
#include "kezo/extract.h"

using kezo::Language;
using kezo::RAKEConfig;
using kezo::testing::find;
using kezo::testing::texts;
using kezo::testing::words;
using Strings = std::vector<std::string>;

namespace {

RAKEConfig config(unsigned min_len, unsigned max_len, bool include_words = true) {
    RAKEConfig c;
    c.min_phrase_length = min_len;
    c.max_phrase_length = max_len;
    c.include_words = include_words;
    c.top_k = 0;
    return c;
}

}  // namespace

TEST(Rake, DegreeOverFrequency) {
    const auto list = kezo::rake_extract(words({"the", "alpha", "beta", "gamma", "of"}),
                                         Language::English, config(1, 4));
    // The phrase first, then its words in order of first occurrence (equal scores).
    EXPECT_EQ(texts(list), (Strings{"alpha beta gamma", "alpha", "beta", "gamma"}));
    EXPECT_NEAR(list[0].score, 9.0, 1e-12);
    EXPECT_NEAR(list[1].score, 3.0, 1e-12);
    EXPECT_EQ(list[1].count, 1u);

    // A repeated word counts once per position; a phrase retained twice scores twice.
    const auto repeated =
        kezo::rake_extract(words({"alpha", "beta", "alpha", ",", "delta", "of", "delta"}),
                           Language::English, config(1, 4, false));
    EXPECT_NEAR(find(repeated, "alpha beta alpha")->score, 9.0, 1e-12);
    EXPECT_NEAR(find(repeated, "delta")->score, 2.0, 1e-12);
    EXPECT_EQ(find(repeated, "delta")->count, 2u);

    // A number token is a word and so a content word.
    const auto numbers =
        kezo::rake_extract(words({"year", "2024"}), Language::English, config(1, 4));
    EXPECT_NEAR(find(numbers, "year 2024")->score, 4.0, 1e-12);
}

TEST(Rake, PhraseLengthLimits) {
    const auto run = words({"alpha", "beta", "gamma", "delta", "epsilon"});
    // Cut into phrases of max length; the short tail is dropped and not counted.
    const auto cut = kezo::rake_extract(run, Language::English, config(2, 2));
    EXPECT_EQ(texts(cut),
              (Strings{"alpha beta", "gamma delta", "alpha", "beta", "gamma", "delta"}));
    EXPECT_EQ(find(cut, "epsilon"), nullptr);
    // A minimum of 0 acts as 1: no empty phrases at delimiters.
    const auto zero =
        kezo::rake_extract(words({"of", "alpha", "the", ","}), Language::English, config(0, 4));
    EXPECT_EQ(texts(zero), (Strings{"alpha", "alpha"}));
    // Distinct phrases plus distinct words.
    EXPECT_EQ(kezo::rake_extract(words({"alpha", "beta", "of", "beta", "of", "alpha", "beta"}),
                                 Language::English, config(1, 4))
                  .size(),
              4u);
}

TEST(Rake, LongRunWithoutLengthLimit) {
    // 100 000 repetitions in one phrase: degree 10^10 exceeds 32 bits, and the degree count
    // must stay linear in the phrase length.
    const std::vector<kezo::Token> run = words(Strings(100000, "alpha"));
    const auto list = kezo::rake_extract(run, Language::English, config(1, UINT_MAX));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_NEAR(list[0].score, 1e10, 1e-3);
    EXPECT_NEAR(find(list, "alpha")->score, 1e5, 1e-9);
    EXPECT_EQ(find(list, "alpha")->count, 100000u);
}
