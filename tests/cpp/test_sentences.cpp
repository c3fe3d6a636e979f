#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "kezo/text.h"

using kezo::split_sentences;
using R = std::vector<std::pair<unsigned, unsigned>>;

namespace {

R ranges(const std::string& text, const kezo::TokenizerConfig& config = {}) {
    R out;
    for (const kezo::Sentence& s : split_sentences(text, config)) out.emplace_back(s.begin, s.end);
    return out;
}

}  // namespace

TEST(Sentences, RangesOverTokensWithPunctuationKept) {
    EXPECT_TRUE(ranges("").empty());
    EXPECT_TRUE(ranges("   ").empty());
    EXPECT_EQ(ranges("no ending mark here"), (R{{0, 4}}));
    // Commas count as tokens even though the caller's config drops punctuation.
    EXPECT_EQ(ranges("One, two. Three four."), (R{{0, 4}, {4, 7}}));
    EXPECT_EQ(ranges("Wait... what"), (R{{0, 2}, {2, 3}, {3, 4}, {4, 5}}));
    EXPECT_EQ(ranges("Really?! Yes"), (R{{0, 2}, {2, 3}, {3, 4}}));
    // The point of 3.14 is a punctuation token of its own and closes a sentence.
    kezo::TokenizerConfig numbers;
    numbers.keep_numbers = true;
    numbers.min_word_length = 1;
    EXPECT_EQ(ranges("pi is 3.14 ok", numbers), (R{{0, 4}, {4, 6}}));
    // U+3002 ends a sentence, the ideographic comma U+3001 does not; full-width marks don't either.
    EXPECT_EQ(ranges("\u6211\u3001\u4F60\u3002\u4ED6\u3002"), (R{{0, 4}, {4, 6}}));
    EXPECT_EQ(ranges("\u6211\uFF01\u4F60"), (R{{0, 3}}));
}

TEST(TextConcurrency, ThreadsAnalyseTextsIndependently) {
    const std::string text = "First sentence here. Second one! \u4E2D\u6587\u3002 Done?";
    const R expected_sentences = ranges(text);
    const auto expected_tokens = kezo::tokenize(text, {}).size();
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                if (ranges(text) != expected_sentences) ++failures[t];
                if (kezo::tokenize(text, {}).size() != expected_tokens) ++failures[t];
                if (kezo::detect_language(text) != kezo::Language::English) ++failures[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}
