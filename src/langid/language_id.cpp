// Language identification: turns the evidence of one scan into ranked languages with
// confidences, or into "none of the supported languages".
//
// The words of the Latin, Cyrillic and Arabic scripts are scored by the n-gram model: the score
// of a class is the log-likelihood of the text's features under it (naive Bayes). Among the
// supported languages every order of n-gram counts; against the model's unsupported languages
// (some 200, the Declaration's), 4-grams and words decide whether the text is in a supported
// language at all. Softmaxes of the scores, flattened by temperatures fitted on held-out text
// (the features of a word overlap, so naive Bayes is far too sure of itself), give the
// probabilities; a supported language's confidence is its probability among the supported
// languages, times the probability that the text is in one of them, times the share of the
// text's letters in the model's scripts. Han, kana and Hangul are told by their letters:
// Japanese by its kana.
#include "kezo/language_id.h"

#include <algorithm>
#include <cmath>

#include "text_evidence.h"

namespace kezo {
namespace {

// An ideograph or Hangul syllable stands for about as much text as three alphabetic letters.
constexpr double kSyllableWeight = 3.0;
// Kana share of Han and kana at which a text counts as fully Japanese: Japanese prose has far
// more, Chinese none.
constexpr double kFullyJapaneseKanaShare = 0.1;
// Temperatures (log-likelihood per unit of log-odds), fitted on held-out text so that the
// confidences match accuracy: among the supported languages, and supported against unsupported.
constexpr double kLanguageTemperature = 16.0;
constexpr double kRejectionTemperature = 16.0;
// The text is in a supported language when the best supported class leads the best unsupported
// one by this much log-likelihood per 4-gram and word: a long text must fit a supported language
// clearly better than any other, not merely by the luck of one word. The West African languages
// are learnt from far less text, so even their own text leads by less. Chosen by
// scripts/tune_language_model.py on the tuning half of the held-out text.
constexpr double kLeadPerFeature = 0.3;
constexpr double kLeadPerFeatureLittleText = 0.05;

bool learnt_from_little_text(Language lang) {
    return lang == Language::Twi || lang == Language::Ga || lang == Language::Ewe ||
           lang == Language::Hausa || lang == Language::Fante;
}
// A text less likely than this to be in a supported language is undetermined.
constexpr double kMinSupported = 0.5;
// Guesses less likely than this are not listed.
constexpr double kListedConfidence = 0.01;
// Classes this far below the best weigh less than 1e-17 of it: not worth an exp().
constexpr double kNegligible = -40;

struct Outcome {
    double confidence[kLanguageCount + 1] = {};  // by Language value
    double supported = 0;                        // probability of any supported language
    Language closest = Language::English;        // best supported language, determined or not
};

std::uint32_t value(Language lang) {
    return static_cast<std::uint32_t>(lang);
}

// Softmax of score[0..count) in place, at the given temperature.
void softmax(double* score, std::size_t count, double temperature) {
    double top = -HUGE_VAL;
    for (std::size_t c = 0; c < count; ++c) top = std::max(top, score[c] /= temperature);
    double sum = 0;
    for (std::size_t c = 0; c < count; ++c) {
        const double below = score[c] - top;
        sum += score[c] = below < kNegligible ? 0.0 : std::exp(below);
    }
    for (std::size_t c = 0; c < count; ++c) score[c] /= sum;
}

// Confidences of the supported languages from the modelled words (their probability among the
// supported languages, times the probability that the text is in a supported language at all,
// times the share of letters), and the closest supported language.
void model_confidences(const langid::TextEvidence& e, double modelled_share, Outcome& out) {
    const langid::NgramModel& model = langid::NgramModel::get();
    const std::size_t classes = model.class_count();
    const std::size_t supported = model.supported_count();
    constexpr double kStep = langid::kWeightStep / langid::TextEvidence::kHalves;
    double language[langid::kMaxClasses];
    double best_supported = -HUGE_VAL;
    double best_unsupported = -HUGE_VAL;
    for (std::size_t c = 0; c < classes; ++c) {
        double full = static_cast<double>(e.weight[c]) * kStep;
        double partial = static_cast<double>(e.rejection_weight[c]) * kStep;
        for (std::size_t order = 0; order < langid::kOrders; ++order) {
            const double unseen =
                static_cast<double>(e.features[order]) / e.kHalves * model.unseen(c, order);
            full += unseen;
            if (langid::is_rejection_order(order)) partial += unseen;
        }
        if (c < supported) {
            language[c] = full;
            best_supported = std::max(best_supported, partial);
        } else {
            best_unsupported = std::max(best_unsupported, partial);
        }
    }
    softmax(language, supported, kLanguageTemperature);
    std::size_t best = 0;
    for (std::size_t c = 1; c < supported; ++c)
        if (language[c] > language[best]) best = c;
    // The lead of the best supported class over the best unsupported one, as log-odds.
    double rejection_features = 0;
    for (std::size_t order = 0; order < langid::kOrders; ++order)
        if (langid::is_rejection_order(order))
            rejection_features += static_cast<double>(e.features[order]) / e.kHalves;
    const double per_feature =
        learnt_from_little_text(model.language(best)) ? kLeadPerFeatureLittleText : kLeadPerFeature;
    const double lead = (best_supported - best_unsupported - per_feature * rejection_features) /
                        kRejectionTemperature;
    const double in_supported = 1.0 / (1.0 + std::exp(-std::min(lead, 50.0)));
    out.supported += modelled_share * in_supported;
    for (std::size_t c = 0; c < supported; ++c)
        out.confidence[value(model.language(c))] = modelled_share * in_supported * language[c];
    out.closest = model.language(best);
}

Outcome identify(std::string_view text) {
    Outcome out;
    const langid::TextEvidence e = langid::gather_text_evidence(text);
    const double cjk = kSyllableWeight * static_cast<double>(e.han + e.kana);
    const double hangul = kSyllableWeight * static_cast<double>(e.hangul);
    const auto modelled = static_cast<double>(e.modelled_letters);
    const double total = modelled + cjk + hangul + static_cast<double>(e.other_letters);
    if (total == 0) return out;
    if (cjk > 0) {
        const double kana_share = static_cast<double>(e.kana) / static_cast<double>(e.han + e.kana);
        const double japanese = std::min(1.0, kana_share / kFullyJapaneseKanaShare);
        out.confidence[value(Language::Japanese)] = cjk / total * japanese;
        out.confidence[value(Language::Chinese)] = cjk / total * (1.0 - japanese);
    }
    out.confidence[value(Language::Korean)] = hangul / total;
    out.supported = (cjk + hangul) / total;
    if (modelled > 0) model_confidences(e, modelled / total, out);
    Language best = Language::English;
    for (std::uint32_t v = 1; v <= kLanguageCount; ++v)
        if (out.confidence[v] > out.confidence[value(best)]) best = static_cast<Language>(v);
    // The closest language is the first guess of identify_language: an equal confidence (two
    // scripts in equal shares, or weights in whole steps) goes to the lower Language value.
    const double top = out.confidence[value(best)];
    if (modelled == 0 || top > out.confidence[value(out.closest)] ||
        (top > 0 && top == out.confidence[value(out.closest)]))
        out.closest = best;
    return out;
}

}  // namespace

std::vector<LanguageGuess> identify_language(std::string_view text, std::size_t max_results) {
    std::vector<LanguageGuess> guesses;
    if (max_results == 0) return guesses;
    const Outcome out = identify(text);
    if (out.supported < kMinSupported) return guesses;
    LanguageGuess ranked[kLanguageCount];
    std::size_t count = 0;
    for (std::uint32_t v = 1; v <= kLanguageCount; ++v)
        if (out.confidence[v] >= kListedConfidence)
            ranked[count++] = {static_cast<Language>(v), out.confidence[v]};
    // Highest confidence first; equal confidences keep the order of the Language values.
    std::stable_sort(ranked, ranked + count, [](const LanguageGuess& a, const LanguageGuess& b) {
        return a.confidence > b.confidence;
    });
    guesses.assign(ranked, ranked + std::min(count, max_results));
    return guesses;
}

Language identify_best_language(std::string_view text) {
    return identify(text).closest;
}

}  // namespace kezo
