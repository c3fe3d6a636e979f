// Text analysis: tokenizer, sentence splitter and script-based language detection.
// All functions are pure, thread-safe and accept any byte string.
#pragma once

#include <string>
#include <vector>

#include "kezo/language.h"
#include "kezo/types.h"

namespace kezo {

// Tokens of text in order: words, optionally one token per ideograph and per punctuation mark.
std::vector<Token> tokenize(const std::string& text, const TokenizerConfig& config);

// Sentences as half-open ranges of indices into tokenize(text, config) with punctuation kept.
std::vector<Sentence> split_sentences(const std::string& text, const TokenizerConfig& config);

// Best guess of the language of text from special letters and script counts. Never Auto.
Language detect_language(const std::string& text);

}  // namespace kezo
