// Supplementary stopword lists (internal to the library): function and generic words that the
// built-in tables lack, per language, from a public list plus this project's West African
// function words (sources in README.md here). The built-in tables and is_stop never read them;
// the keyphrase pipeline uses them as extra stopwords and language identification as evidence.
#pragma once

#include <cstddef>

#include "kezo/language.h"

namespace kezo::stopwords::detail {

// Static, lower-case UTF-8 words of one language, sorted.
struct SupplementList {
    Language language;
    const char* const* words;
    std::size_t size;
};

// Generated data (supplement_data.cpp).
extern const SupplementList kSupplementLists[];
extern const std::size_t kSupplementListCount;

}  // namespace kezo::stopwords::detail
