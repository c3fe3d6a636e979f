// How the keyphrase word scanner sees characters and words: character kinds, the shape of a
// word, and the articles French and Italian elide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kezo/language.h"

namespace kezo::keyphrase {

enum class Kind {
    Letter,
    Digit,
    Mark,
    Ideograph,
    Hyphen,      // joins two word parts when written between them
    Apostrophe,  // the same, and marks elision
    Ignorable,   // soft hyphen, zero-width characters, malformed bytes: invisible
    Space,
    Newline,
    SentenceEnd,
    Punct,  // clause punctuation, brackets, quotes, dashes, symbols, anything else
    // The '&' that may start a character reference, in the scanner's own table of ASCII kinds
    // (classify_ascii gives Punct for it).
    Reference,
};

// Kind of an ASCII character (below 0x80), decided by code.
Kind classify_ascii(unsigned char c);

// Kind of any code point: a few code points by value, the rest through unicode::categorize.
Kind classify(std::uint32_t cp);

// True for a code point that lower-casing changes.
bool is_upper(std::uint32_t cp);

// True when left (lower-cased, without its apostrophe) is an article or pronoun that lang
// writes elided before a vowel: French l', d', qu', jusqu'...; Italian l', dell', un'...
bool is_elided(Language lang, std::string_view left);

struct Shape {
    std::size_t code_points = 0;
    std::size_t letters = 0;  // ideographs included
    std::size_t upper = 0;
    std::size_t digits = 0;
    std::uint32_t first = 0;  // the first code point
};

// Counts of a word's characters; malformed bytes are skipped.
Shape shape_of(std::string_view text);

}  // namespace kezo::keyphrase
