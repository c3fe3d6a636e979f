// HTML character references in plain text ("&amp;", "&rsquo;", "&eacute;", "&#8217;"): text
// copied out of web pages and feeds keeps them, and read as written they make words of their
// own ("amp", "quot") and split the words they stand inside ("caf&eacute;").
#pragma once

#include <cstddef>
#include <cstdint>

namespace kezo::keyphrase {

// The bytes of the character reference at data[pos] (which must be '&') and its code point in
// *cp, or 0 when none starts there. A reference is "&#" decimal digits ";", "&#x" or "&#X" hex
// digits ";" naming a code point other than NUL and the surrogates, up to U+10FFFF, or "&" one
// of the common names of HTML (the Latin-1 and Greek letters, quotes, dashes, spaces and the
// usual symbols) ";"; the closing ';' is required, so "AT&T" and "R&D" are no references.
// Reads at most 12 bytes from pos, never past len. Thread-safe, no allocation.
std::size_t character_reference(const char* data, std::size_t pos, std::size_t len,
                                std::uint32_t* cp);

}  // namespace kezo::keyphrase
