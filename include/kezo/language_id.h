// Language identification: ranks the supported languages for a text, Latin-script ones included,
// with a confidence for each. detect_language (text.h) keeps its fixed script rules; this is the
// identifier the keyphrase pipeline and the kezo package use for "auto".
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "kezo/language.h"

namespace kezo {

struct LanguageGuess {
    Language language = Language::English;
    double confidence = 0.0;  // 0..1; the guesses of one text sum to at most 1
};

// The most likely languages of text, best first, at most max_results of them (at least one when
// max_results > 0; a text without evidence gives English with confidence 0). Never Auto.
// Confidence: the share of the text's letters in the language's script times a softmax, within
// that script, of the language's function-word and special-letter evidence per sqrt(words).
// Languages without any evidence are left out, except English, the fallback of Latin script.
// Pure and thread-safe; linear in the length of the text, about 2 ns per byte; any bytes. The
// first call in a process also builds the word index (about a millisecond).
std::vector<LanguageGuess> identify_language(std::string_view text, std::size_t max_results = 3);

// The best guess of identify_language.
Language identify_best_language(std::string_view text);

}  // namespace kezo
