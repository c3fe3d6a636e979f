// One pass over a text that gathers everything language identification weighs: letters by
// writing system, and for every class of the n-gram model the weight of the text's letter
// n-grams and words it knows (internal to language identification).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ngram_model.h"

namespace kezo::langid {

struct TextEvidence {
    // Letters by writing system: the model's scripts (Latin, Cyrillic, Arabic) together; Han and
    // kana apart, so that Japanese can be told from Chinese; Hangul; any other script.
    std::size_t modelled_letters = 0;
    std::size_t han = 0;
    std::size_t kana = 0;
    std::size_t hangul = 0;
    std::size_t other_letters = 0;
    // Everything below is counted in halves (kHalves to a feature): a capitalised word other
    // than the first of a sentence, most often a name, which tells little about the language
    // around it, counts half.
    static constexpr double kHalves = 2.0;
    // Features of the modelled words by order (0: whole words, 1..kMaxOrder: n-grams).
    std::size_t features[kOrders] = {};
    // Per class of the model, the summed weight of the features it knows (in kWeightStep): of
    // every order, and of the rejection orders alone. 64 bits: a text of a few megabytes sums
    // past 2^32.
    std::uint64_t weight[kMaxClasses] = {};
    std::uint64_t rejection_weight[kMaxClasses] = {};
};

// Any bytes: malformed UTF-8 separates words and counts nowhere. Linear in the length of text,
// no allocation; thread-safe.
TextEvidence gather_text_evidence(std::string_view text);

}  // namespace kezo::langid
