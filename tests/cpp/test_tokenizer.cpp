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

V words(const std::string& text, const TokenizerConfig& c = config()) {
    return texts(tokenize(text, c));
}

}  // namespace

TEST(Tokenizer, WordsOffsetsAndRunningNumbers) {
    auto tokens = tokenize("The quick, brown FOX", config(false, true));
    ASSERT_EQ(texts(tokens), (V{"the", "quick", ",", "brown", "fox"}));
    EXPECT_EQ(tokens[1].offset, 4u);
    EXPECT_FALSE(tokens[2].is_word);
    EXPECT_EQ(tokens[2].offset, 9u);
    for (std::size_t i = 0; i < tokens.size(); ++i) EXPECT_EQ(tokens[i].pos, i);
    // Offsets count bytes: a two-byte letter and a blank put the second word at byte 3.
    EXPECT_EQ(tokenize("\u00E9 ab", config(false, false, 1)).at(1).offset, 3u);
    // A dropped short word takes no running number.
    auto dropped = tokenize("a bc d ef", config());
    ASSERT_EQ(texts(dropped), (V{"bc", "ef"}));
    EXPECT_EQ(dropped[1].pos, 1u);
    // An invalid byte inside a word is skipped without splitting it.
    const auto joined = tokenize(std::string("ab\xFF") + "cd", config());
    ASSERT_EQ(texts(joined), (V{"abcd"}));
    EXPECT_EQ(joined[0].offset, 0u);
}

TEST(Tokenizer, NumbersCaseMarksAndScripts) {
    EXPECT_EQ(words("abc123def", config(false, false, 3)), (V{"abc", "def"}));
    EXPECT_EQ(words("abc123def", config(true, false, 3)), (V{"abc123def"}));
    EXPECT_EQ(words("2024 x9", config(true, false, 1)), (V{"2024", "x9"}));
    // A kept comma is not subject to the minimum length; a lone ASCII letter is.
    EXPECT_EQ(words("a , \u00E9", config(false, true, 2)), (V{",", "\u00E9"}));
    EXPECT_EQ(words("CAF\u00C9 Stra\u00DFe"), (V{"caf\u00E9", "stra\u00DFe"}));
    EXPECT_EQ(words("ABC", config(false, false, 2, true, false)), (V{"ABC"}));
    // A combining acute after a letter stays in the word.
    EXPECT_EQ(words("cafe\u0301 ok"), (V{"cafe\u0301", "ok"}));
    // Greek, Cyrillic, Arabic, Hebrew, Devanagari and Thai letters form words.
    EXPECT_EQ(words("\u0391\u0392 \u041F\u0440 \u0645\u0646 \u05D0\u05D1 \u0915\u0916 "
                    "\u0E01\u0E02"),
              (V{"\u03B1\u03B2", "\u043F\u0440", "\u0645\u0646", "\u05D0\u05D1", "\u0915\u0916",
                 "\u0E01\u0E02"}));
    // A character outside the tables ends a word and is dropped.
    EXPECT_EQ(words("ab\u1E00cd"), (V{"ab", "cd"}));
}

TEST(Tokenizer, IdeographsByteOrderMarkAndFullWidthPunctuation) {
    const TokenizerConfig join = config(false, false, 2, false);
    EXPECT_EQ(words("\u4E2D\u6587abc"), (V{"\u4E2D", "\u6587", "abc"}));
    EXPECT_EQ(words("\u4E2D\u6587abc", join), (V{"\u4E2D\u6587abc"}));
    // A single ideograph (three bytes) is kept even with a large minimum length.
    EXPECT_EQ(words("\u4E2D", config(false, false, 10)), (V{"\u4E2D"}));
    // A byte-order mark and full-width punctuation end words; kept brackets are punctuation.
    EXPECT_EQ(words("\uFEFFthe \u6211\u4EEC\uFF0C\u4F60\u4EEC\uFF01", join),
              (V{"the", "\u6211\u4EEC", "\u4F60\u4EEC"}));
    const auto kept = tokenize("\u300A\u4E66\u300B", config(false, true));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_TRUE(!kept[0].is_word && kept[1].is_word && !kept[2].is_word);
}

TEST(Tokenizer, EmptyAndHostileInputs) {
    // Marks with no word before them form no word either.
    for (const char* in : {"", "   \t\n ", "\x01\x0B\xFF\x80", "\u0301\u0301"})
        EXPECT_TRUE(tokenize(in, config()).empty()) << in;
    std::string all_bytes;
    for (int i = 0; i < 256; ++i) all_bytes.push_back(static_cast<char>(i));
    const std::string one_char(10 * 1024 * 1024, 'a');
    for (const std::string& input :
         {all_bytes, std::string(1000, '\0') + "word", std::string(100000, '\x80'),
          std::string("abc\xE2\x82"), one_char}) {
        for (bool numbers : {false, true})
            for (const Token& t : tokenize(input, config(numbers, true, 1)))
                EXPECT_LE(t.offset + t.text.size(), input.size());
    }
    EXPECT_EQ(tokenize(one_char, config()).size(), 1u);
}

TEST(Sentences, RangesOverTokensWithPunctuationKept) {
    EXPECT_TRUE(ranges("").empty() && ranges("   ").empty());
    EXPECT_EQ(ranges("no ending mark here"), (R{{0, 4}}));
    // Commas count as tokens even though the caller's config drops punctuation.
    EXPECT_EQ(ranges("One, two. Three four."), (R{{0, 4}, {4, 7}}));
    EXPECT_EQ(ranges("Wait... what"), (R{{0, 2}, {2, 3}, {3, 4}, {4, 5}}));
    EXPECT_EQ(ranges("Really?! Yes"), (R{{0, 2}, {2, 3}, {3, 4}}));
    // The point of 3.14 is a punctuation token of its own and closes a sentence.
    EXPECT_EQ(ranges("pi is 3.14 ok", config(true, false, 1)), (R{{0, 4}, {4, 6}}));
    // U+3002 ends a sentence, the ideographic comma U+3001 does not; full-width marks don't either.
    EXPECT_EQ(ranges("\u6211\u3001\u4F60\u3002\u4ED6\u3002"), (R{{0, 4}, {4, 6}}));
    EXPECT_EQ(ranges("\u6211\uFF01\u4F60"), (R{{0, 3}}));
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
