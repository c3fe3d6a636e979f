// The identification evidence of single words: for each known word, the Latin-script languages
// that list it and how much one occurrence counts for each (internal to language identification).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kezo/language.h"

namespace kezo::langid {

// The languages told apart by word evidence; the others are told by their scripts.
inline constexpr Language kLatinScriptLanguages[] = {
    Language::English, Language::Spanish,    Language::French, Language::German,
    Language::Italian, Language::Portuguese, Language::Dutch,  Language::Indonesian,
    Language::Twi,     Language::Ga,         Language::Ewe,    Language::Hausa,
    Language::Fante};

// Bit of a language in a language mask.
constexpr std::uint32_t language_bit(Language lang) noexcept {
    return std::uint32_t{1} << static_cast<std::uint32_t>(lang);
}

// What one occurrence of a word tells. A word listed by several languages tells less about each:
// its weight is divided by the square root of their number.
struct WordEvidence {
    std::uint32_t listed = 0;    // languages whose stopword or function-word lists hold the word
    std::uint32_t frequent = 0;  // languages among whose most frequent function words it is
    float listed_weight = 0;     // added to each language of `listed`
    float frequent_weight = 0;   // added to each language of `frequent`
};

// Hash of a word key, computed byte by byte while the key is assembled.
struct KeyHash {
    std::uint32_t value = 2166136261u;
    void add(unsigned char byte) noexcept { value = (value ^ byte) * 16777619u; }
};

// Longest key the index can hold; longer words are never looked up.
inline constexpr std::size_t kMaxKeyBytes = 48;

// Evidence of a word key (lower-cased, combining marks removed, UTF-8) with its KeyHash; null for
// an unknown word. The index is built on first use from the built-in stopword tables of the
// Latin-script languages and the lists of evidence_words.h, then never changes: lookups are
// lock-free and thread-safe. Cost: one probe sequence in an open-addressing table (the first
// call also builds the index, about a millisecond).
const WordEvidence* find_word_evidence(std::string_view key, std::uint32_t hash);

}  // namespace kezo::langid
