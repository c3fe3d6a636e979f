// One pass over a text that gathers everything language identification weighs: letters by
// writing system, and per language the evidence of known words and special letters (internal to
// language identification).
#pragma once

#include <cstddef>
#include <string_view>

#include "kezo/language.h"

namespace kezo::langid {

struct TextEvidence {
    // Letters by writing system (Han and kana apart, so that Japanese can be told from Chinese).
    std::size_t latin_letters = 0;
    std::size_t han = 0;
    std::size_t kana = 0;
    std::size_t hangul = 0;
    std::size_t arabic = 0;
    std::size_t cyrillic = 0;
    std::size_t other_letters = 0;
    // Words of Latin letters (combining marks included), known to the evidence lists or not.
    std::size_t latin_words = 0;
    // Word and special-letter evidence, indexed by Language value; 0 for languages without any.
    double hits[kLanguageCount + 1] = {};
};

// Any bytes: malformed UTF-8 separates words and counts nowhere. Linear in the length of text,
// no allocation; thread-safe.
TextEvidence gather_text_evidence(std::string_view text);

}  // namespace kezo::langid
