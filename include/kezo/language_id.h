// Language identification: ranks the supported languages for a text, Latin-script ones included,
// with calibrated confidences, and says when none of them fits. detect_language (text.h) keeps
// its fixed script rules; this is the identifier the keyphrase pipeline and the kezo package use
// for "auto".
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

// The most likely languages of text, best first, at most max_results of them; empty when the
// text is undetermined: in none of the supported languages (its best guess is less than even
// odds) or without letters (empty, digits, punctuation, emoji, scripts no supported language is
// written in). Never Auto.
// Confidence: the estimated probability that the language is right, calibrated on held-out
// text of every supported language and of some 360 unsupported ones: the text's probability in
// that language among the supported ones (a letter n-gram and word model), times the
// probability that it is in a supported language at all (the same model against unsupported
// languages), times the share of its letters in the language's script. Guesses below 0.01 are
// left out; what the confidences leave to 1 is the chance that none is right.
// Pure and thread-safe; linear in the length of the text, a few microseconds for a sentence;
// any bytes. The first call in a process also builds the model's index (some milliseconds).
std::vector<LanguageGuess> identify_language(std::string_view text, std::size_t max_results = 3);

// The best guess of identify_language; for an undetermined text the supported language that
// fits it best, and English for a text without letters of a supported script. Never Auto.
Language identify_best_language(std::string_view text);

}  // namespace kezo
