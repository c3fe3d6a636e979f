// Table-driven character layer: UTF-8 decoding/encoding, character classes and
// lower-casing for the scripts of the supported languages. Pure and thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kezo::unicode {

struct CharInfo {
    bool is_alpha = false;
    bool is_upper = false;  // only ASCII and Latin-1 capitals are marked
    bool is_lower = false;  // only ASCII and Latin-1 small letters are marked
    bool is_digit = false;
    bool is_punct = false;  // punctuation or symbol
    bool is_space = false;
    bool is_mark = false;   // combining mark
    bool is_other = false;  // none of alpha, digit, space, punct, mark
};

// Decodes the code point starting at data[pos]; returns its byte length (1..4) and stores it
// in *out, or returns 0 (leaving *out alone) when pos >= len or the sequence is malformed.
std::size_t decode_utf8(const char* data, std::size_t pos, std::size_t len,
                        std::uint32_t* out) noexcept;

// Appends the UTF-8 form of cp to out; returns the number of bytes appended. No range check.
std::size_t encode_utf8(std::uint32_t cp, std::string& out);

// Character classes of one code point. ASCII is decided by code, the rest by the range table.
CharInfo categorize(std::uint32_t cp) noexcept;

// True for letters of scripts written without blanks (kana, Bopomofo, CJK ideographs, Hangul
// syllables).
bool is_ideographic_script(std::uint32_t cp) noexcept;

// Lower-case mapping of one code point; code points outside the mapping come back unchanged.
std::uint32_t to_lower_code_point(std::uint32_t cp) noexcept;

// Lower-cased copy of UTF-8 text; malformed bytes are copied through unchanged. Idempotent.
std::string to_lower(const std::string& text);

}  // namespace kezo::unicode
