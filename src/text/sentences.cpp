// Sentence splitting over the token stream with punctuation kept.
#include <cstdint>

#include "kezo/text.h"
#include "kezo/unicode.h"

namespace kezo {
namespace {

bool is_sentence_end(std::uint32_t cp) noexcept {
    return cp == '!' || cp == '.' || cp == '?' || cp == 0x3002;  // U+3002 ideographic full stop
}

}  // namespace

std::vector<Sentence> split_sentences(const std::string& text, const TokenizerConfig& config) {
    std::vector<Sentence> sentences;
    if (text.empty()) return sentences;
    TokenizerConfig with_punct = config;
    with_punct.keep_punctuation = true;
    const std::vector<Token> tokens = tokenize(text, with_punct);

    const auto count = static_cast<std::uint32_t>(tokens.size());
    std::uint32_t start = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const Token& t = tokens[i];
        if (t.is_word) continue;
        std::uint32_t cp = 0;
        if (unicode::decode_utf8(t.text.data(), 0, t.text.size(), &cp) && is_sentence_end(cp)) {
            sentences.push_back({start, i + 1});
            start = i + 1;
        }
    }
    if (start < count) sentences.push_back({start, count});
    return sentences;
}

}  // namespace kezo
