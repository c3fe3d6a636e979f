#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "kezo/text.h"

using namespace kezo;
using V = std::vector<std::string>;
using R = std::vector<std::pair<unsigned, unsigned>>;

namespace {

V texts(const std::vector<Token>& tokens) {
    V out;
    for (const Token& t : tokens) out.push_back(t.text);
    return out;
}

// Fields in declaration order: lowercase, strip_accents, split_cjk, numbers, punctuation, min.
TokenizerConfig config(bool numbers = false, bool punct = false, unsigned min_len = 2,
                       bool split_cjk = true, bool lower = true) {
    return {lower, false, split_cjk, numbers, punct, min_len};
}

R ranges(const std::string& text, const TokenizerConfig& config = {}) {
    R out;
    for (const Sentence& s : split_sentences(text, config)) out.emplace_back(s.begin, s.end);
    return out;
}

}  // namespace

TEST(Tokenizer, WordsOffsetsAndRunningNumbers) {
    auto tokens = tokenize("The quick, brown FOX", config(false, true));
    ASSERT_EQ(texts(tokens), (V{"the", "quick", ",", "brown", "fox"}));
    EXPECT_TRUE(tokens[1].offset == 4u && tokens[2].offset == 9u && !tokens[2].is_word);
    for (std::size_t i = 0; i < tokens.size(); ++i) EXPECT_EQ(tokens[i].pos, i);
    // A dropped short word takes no running number; an invalid byte inside a word is skipped
    // without splitting it. (Byte offsets and numbers over any input: the text fuzz target.)
    EXPECT_EQ(tokenize("a bc d ef", config()).at(1).pos, 1u);
    EXPECT_EQ(texts(tokenize(std::string("ab\xFF") + "cd", config())), V{"abcd"});
    EXPECT_EQ(tokenize(std::string(10 * 1024 * 1024, 'a'), config()).size(), 1u);
}

// Which characters are letters, digits, marks or punctuation is test_unicode.cpp's, and every
// option over arbitrary bytes against a slow reference tokenizer is the text fuzz target's.
TEST(Tokenizer, WordsUnderEachOption) {
    const TokenizerConfig join = config(false, false, 2, false);
    const struct {
        std::string text;
        TokenizerConfig config;
        V words;
    } cases[] = {
        {"abc123def", config(false, false, 3), {"abc", "def"}},
        {"abc123def", config(true, false, 3), {"abc123def"}},
        {"2024 x9", config(true, false, 1), {"2024", "x9"}},
        // A kept comma is not subject to the minimum length; a lone ASCII letter is.
        {"a , \u00E9", config(false, true, 2), {",", "\u00E9"}},
        {"ABC", config(false, false, 2, true, false), {"ABC"}},
        // A combining acute after a letter stays in the word; with no word before it, it is
        // dropped.
        {"cafe\u0301 ok \u0301\u0301", config(), {"cafe\u0301", "ok"}},
        {"\u4E2D\u6587abc", config(), {"\u4E2D", "\u6587", "abc"}},
        {"\u4E2D\u6587abc", join, {"\u4E2D\u6587abc"}},
        // A single ideograph (three bytes) is kept even with a large minimum length.
        {"\u4E2D", config(false, false, 10), {"\u4E2D"}},
        // A byte-order mark (no letter) and full-width punctuation end words.
        {"\uFEFFthe \u6211\u4EEC\uFF0C\u4F60\u4EEC\uFF01",
         join,
         {"the", "\u6211\u4EEC", "\u4F60\u4EEC"}},
    };
    for (const auto& c : cases) EXPECT_EQ(texts(tokenize(c.text, c.config)), c.words) << c.text;
}

// Ranges over arbitrary text and options are checked by the text fuzz target (a partition of the
// tokens with punctuation kept, closed by . ! ? or U+3002 only); by example:
TEST(Sentences, RangesOverTokensWithPunctuationKept) {
    // Commas count as tokens even though the caller's config drops punctuation; each of several
    // marks closes a sentence; the ideographic comma and full-width marks do not.
    EXPECT_EQ(ranges("One, two. Three four."), (R{{0, 4}, {4, 7}}));
    EXPECT_EQ(ranges("Wait... what"), (R{{0, 2}, {2, 3}, {3, 4}, {4, 5}}));
    EXPECT_EQ(ranges("\u6211\u3001\u4F60\u3002\u4ED6\uFF01\u3002"), (R{{0, 4}, {4, 7}}));
}

TEST(TextConcurrency, ThreadsAnalyseTextsIndependently) {
    const std::string text = "First sentence here. Second one! \u4E2D\u6587\u3002 Done?";
    const R expected_sentences = ranges(text);
    const auto expected_tokens = tokenize(text, {}).size();
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                if (ranges(text) != expected_sentences) ++failures[t];
                if (tokenize(text, {}).size() != expected_tokens) ++failures[t];
                if (detect_language(text) != Language::English) ++failures[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}
