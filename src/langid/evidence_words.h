// Word lists that language identification reads as evidence, besides the built-in stopword
// tables (internal to the language identification subsystem).
#pragma once

#include <cstddef>

#include "kezo/language.h"

namespace kezo::langid {

// Static, lower-case, NFC UTF-8 words that belong to one language.
struct WordList {
    Language language;
    const char* const* words;
    std::size_t size;
};

// Function words of the West African languages beyond their short built-in tables: pronouns,
// particles, conjunctions and numerals.
extern const WordList kAddedFunctionWordLists[];
extern const std::size_t kAddedFunctionWordListCount;

// The most frequent function words of each Latin-script language, which weigh extra: they make up
// a large share of any running text in that language, so their hit rate separates languages that
// share most of their longer lists (Twi and Fante above all).
extern const WordList kFrequentWordLists[];
extern const std::size_t kFrequentWordListCount;

}  // namespace kezo::langid
