#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "kezo/text.h"

using kezo::Sentence;
using kezo::split_sentences;
using kezo::TokenizerConfig;

namespace {

std::vector<std::pair<unsigned, unsigned>> ranges(const std::vector<Sentence>& sentences) {
    std::vector<std::pair<unsigned, unsigned>> out;
    for (const Sentence& s : sentences) out.emplace_back(s.begin, s.end);
    return out;
}

using R = std::vector<std::pair<unsigned, unsigned>>;

}  // namespace

TEST(Sentences, RangesOverTokensWithPunctuationKept) {
    TokenizerConfig c;
    EXPECT_TRUE(split_sentences("", c).empty());
    EXPECT_TRUE(split_sentences("   ", c).empty());
    EXPECT_EQ(ranges(split_sentences("no ending mark here", c)), (R{{0, 4}}));
    // Commas count as tokens even though the caller's config drops punctuation.
    EXPECT_EQ(ranges(split_sentences("One, two. Three four.", c)), (R{{0, 4}, {4, 7}}));
    EXPECT_EQ(ranges(split_sentences("Wait... what", c)), (R{{0, 2}, {2, 3}, {3, 4}, {4, 5}}));
    EXPECT_EQ(ranges(split_sentences("Really?! Yes", c)), (R{{0, 2}, {2, 3}, {3, 4}}));
}

TEST(Sentences, DecimalPointAndIdeographicMarks) {
    TokenizerConfig c;
    c.keep_numbers = true;
    c.min_word_length = 1;
    // The point of 3.14 is a punctuation token of its own and closes a sentence.
    EXPECT_EQ(ranges(split_sentences("pi is 3.14 ok", c)), (R{{0, 4}, {4, 6}}));

    TokenizerConfig cjk;
    // U+3002 ends a sentence, the ideographic comma U+3001 does not; full-width marks don't either.
    EXPECT_EQ(ranges(split_sentences("\u6211\u3001\u4F60\u3002\u4ED6\u3002", cjk)),
              (R{{0, 4}, {4, 6}}));
    EXPECT_EQ(ranges(split_sentences("\u6211\uFF01\u4F60", cjk)), (R{{0, 3}}));
}

TEST(TextConcurrency, ThreadsAnalyseTextsIndependently) {
    const std::string text = "First sentence here. Second one! \u4E2D\u6587\u3002 Done?";
    const auto expected_sentences = ranges(split_sentences(text, {}));
    const auto expected_tokens = kezo::tokenize(text, {}).size();
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                if (ranges(split_sentences(text, {})) != expected_sentences) ++failures[t];
                if (kezo::tokenize(text, {}).size() != expected_tokens) ++failures[t];
                if (kezo::detect_language(text) != kezo::Language::English) ++failures[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}
