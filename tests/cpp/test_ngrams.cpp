#include <climits>

#include "extract_test_util.h"

using namespace kezo;
using namespace kezo::testing;

namespace {

Strings ngrams(const Strings& tokens, unsigned min_n, unsigned max_n,
               Language lang = Language::English) {
    return internal::build_ngrams(words(tokens), lang, min_n, max_n);
}

}  // namespace

TEST(Ngrams, OrderSeparatorsAndBlocks) {
    EXPECT_EQ(ngrams({"deep", "learning", "models"}, 1, 3),
              (Strings{"deep", "learning", "models", "deep learning", "learning models",
                       "deep learning models"}));
    // Stopwords (with capitals too; a tenant's only in its scope, as the extraction concurrency
    // test shows for every algorithm) and punctuation separate blocks; nothing spans them.
    EXPECT_EQ(ngrams({"data", "of", "science"}, 1, 2), (Strings{"data", "science"}));
    EXPECT_EQ(ngrams({"data", ",", "science", "data"}, 1, 2),
              (Strings{"data", "science", "data", "science data"}));
    EXPECT_EQ(ngrams({"The", "Data"}, 1, 2), (Strings{"Data"}));
    // Repeated phrases are listed once per occurrence.
    EXPECT_EQ(ngrams({"big", "data", "the", "big", "data"}, 2, 2),
              (Strings{"big data", "big data"}));
    // Ideographs join without blanks, but the separator is decided once per block: a mixed
    // block joins its ideographs with blanks.
    EXPECT_EQ(ngrams({"数", "据"}, 1, 2, Language::Chinese), (Strings{"数", "据", "数据"}));
    EXPECT_EQ(ngrams({"数", "据", "x1"}, 2, 3, Language::Chinese),
              (Strings{"数 据", "据 x1", "数 据 x1"}));
}

TEST(Ngrams, LengthBoundsAndLongRuns) {
    const Strings run{"alpha", "beta", "gamma", "delta", "epsilon"};
    // A run longer than max_n is cut into consecutive blocks; every word stays a candidate.
    EXPECT_EQ(ngrams(run, 1, 2),
              (Strings{"alpha", "beta", "alpha beta", "gamma", "delta", "gamma delta", "epsilon"}));
    EXPECT_TRUE(ngrams(run, 3, 2).empty());
    EXPECT_TRUE(ngrams({}, 1, 3).empty());
    EXPECT_TRUE(ngrams({"alpha", "of", "beta"}, 2, 3).empty());
    // Zero lengths: no empty candidates, and a max_n of 0 terminates with nothing.
    EXPECT_TRUE(ngrams(run, 0, 0).empty());
    EXPECT_EQ(ngrams({"alpha", "beta"}, 0, 1), (Strings{"alpha", "beta"}));
    // The largest max_n is bounded by the run itself.
    EXPECT_EQ(ngrams({"alpha", "beta"}, 1, UINT_MAX), (Strings{"alpha", "beta", "alpha beta"}));
    EXPECT_TRUE(ngrams({"alpha", "beta"}, UINT_MAX, UINT_MAX).empty());
}
