// Languages known to the library and their codes and display names.
#pragma once

#include <cstdint>
#include <string>

namespace kezo {

// Fixed values: stopword tables are indexed by them and Python sees them as integers.
enum class Language : std::uint32_t {
    Auto = 0,
    English = 1,
    Spanish = 2,
    French = 3,
    German = 4,
    Italian = 5,
    Portuguese = 6,
    Dutch = 7,
    Russian = 8,
    Chinese = 9,
    Japanese = 10,
    Korean = 11,
    Arabic = 12,
    Indonesian = 13,
    Twi = 14,
    Ga = 15,
    Ewe = 16,
    Hausa = 17,
    Fante = 18,
};

// Number of real languages (values 1..kLanguageCount).
inline constexpr std::uint32_t kLanguageCount = 18;

// Short code ("en", "gaa", ...); "auto" for Auto and for any value outside 1..18.
const char* language_code(Language lang) noexcept;

// English display name ("English", ...); "Auto" for Auto and any value outside 1..18.
const char* language_name(Language lang) noexcept;

// Exact, byte-wise inverse of language_code; "ga" also maps to Ga. Anything else is Auto.
Language language_from_code(const std::string& code) noexcept;

}  // namespace kezo
