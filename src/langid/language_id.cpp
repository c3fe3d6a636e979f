// Language identification: turns the evidence of one scan into ranked languages with confidences.
//
// The confidence of a language is the share of the text's letters written in its script times its
// probability within that script. Within the Latin script the probability is a softmax over the
// thirteen Latin-script languages of z = (word and letter evidence) / sqrt(words + 2). Dividing by
// the square root of the word count lets the margin between two languages grow like a statistical
// margin does, with the square root of the text's length: a word gives a weak guess, a page a firm
// one. Han and kana split between Japanese and Chinese by the share of kana.
#include "kezo/language_id.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "text_evidence.h"
#include "word_evidence.h"

namespace kezo {
namespace {

// An ideograph or Hangul syllable stands for about as much text as three alphabetic letters.
constexpr double kSyllableWeight = 3.0;
// Pseudo-words added to the word count, so that one or two words are weak evidence.
constexpr double kPriorWords = 2.0;
// How sharply the Latin-script softmax separates languages by their evidence per sqrt(word).
constexpr double kSharpness = 3.5;
// English is the library's fallback: it starts with half a word of evidence, so a Latin-script
// text without evidence, or with one word shared by many languages, reads as English.
constexpr double kEnglishPrior = 0.5;
// Kana share of Han and kana at which a text counts as fully Japanese: Japanese prose has far
// more, Chinese none.
constexpr double kFullyJapaneseKanaShare = 0.1;

double at(const langid::TextEvidence& evidence, Language lang) {
    return evidence.hits[static_cast<std::uint32_t>(lang)];
}

// Confidence of every language, indexed by Language value; all 0 without letters of a supported
// script.
void confidences(const langid::TextEvidence& e, double (&out)[kLanguageCount + 1]) {
    const double cjk = kSyllableWeight * static_cast<double>(e.han + e.kana);
    const double hangul = kSyllableWeight * static_cast<double>(e.hangul);
    const auto latin = static_cast<double>(e.latin_letters);
    const double total = latin + cjk + hangul + static_cast<double>(e.arabic) +
                         static_cast<double>(e.cyrillic) + static_cast<double>(e.other_letters);
    if (total == 0) return;

    if (cjk > 0) {
        const double kana_share = static_cast<double>(e.kana) / static_cast<double>(e.han + e.kana);
        const double japanese = std::min(1.0, kana_share / kFullyJapaneseKanaShare);
        out[static_cast<std::uint32_t>(Language::Japanese)] = cjk / total * japanese;
        out[static_cast<std::uint32_t>(Language::Chinese)] = cjk / total * (1.0 - japanese);
    }
    out[static_cast<std::uint32_t>(Language::Korean)] = hangul / total;
    out[static_cast<std::uint32_t>(Language::Arabic)] = static_cast<double>(e.arabic) / total;
    out[static_cast<std::uint32_t>(Language::Russian)] = static_cast<double>(e.cyrillic) / total;
    if (latin == 0) return;

    const double scale = 1.0 / std::sqrt(static_cast<double>(e.latin_words) + kPriorWords);
    double z[std::size(langid::kLatinScriptLanguages)];
    double top = 0;
    for (std::size_t i = 0; i < std::size(langid::kLatinScriptLanguages); ++i) {
        const Language lang = langid::kLatinScriptLanguages[i];
        z[i] = (at(e, lang) + (lang == Language::English ? kEnglishPrior : 0.0)) * scale;
        top = std::max(top, z[i]);
    }
    double sum = 0;
    for (double& value : z) sum += value = std::exp(kSharpness * (value - top));
    for (std::size_t i = 0; i < std::size(langid::kLatinScriptLanguages); ++i) {
        const Language lang = langid::kLatinScriptLanguages[i];
        // A language with no evidence at all is not a guess; English always is (its prior).
        if (at(e, lang) > 0 || lang == Language::English)
            out[static_cast<std::uint32_t>(lang)] = latin / total * z[i] / sum;
    }
}

}  // namespace

std::vector<LanguageGuess> identify_language(std::string_view text, std::size_t max_results) {
    std::vector<LanguageGuess> guesses;
    if (max_results == 0) return guesses;
    double confidence[kLanguageCount + 1] = {};
    confidences(langid::gather_text_evidence(text), confidence);

    LanguageGuess ranked[kLanguageCount];
    std::size_t count = 0;
    for (std::uint32_t value = 1; value <= kLanguageCount; ++value)
        if (confidence[value] > 0)
            ranked[count++] = {static_cast<Language>(value), confidence[value]};
    if (count == 0) return {{Language::English, 0.0}};
    // Highest confidence first; equal confidences keep the order of the Language values.
    std::stable_sort(ranked, ranked + count, [](const LanguageGuess& a, const LanguageGuess& b) {
        return a.confidence > b.confidence;
    });
    guesses.assign(ranked, ranked + std::min(count, max_results));
    return guesses;
}

Language identify_best_language(std::string_view text) {
    return identify_language(text, 1).front().language;
}

}  // namespace kezo
