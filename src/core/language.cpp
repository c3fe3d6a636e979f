#include "kezo/language.h"

#include <cstring>

namespace kezo {
namespace {

struct LanguageInfo {
    const char* code;
    const char* name;
};

// Indexed by the enumeration value; entry 0 stands for Auto and for out-of-range values.
constexpr LanguageInfo kLanguages[kLanguageCount + 1] = {
    {"auto", "Auto"},  {"en", "English"},    {"es", "Spanish"},    {"fr", "French"},
    {"de", "German"},  {"it", "Italian"},    {"pt", "Portuguese"}, {"nl", "Dutch"},
    {"ru", "Russian"}, {"zh", "Chinese"},    {"ja", "Japanese"},   {"ko", "Korean"},
    {"ar", "Arabic"},  {"id", "Indonesian"}, {"ak", "Twi"},        {"gaa", "Ga"},
    {"ee", "Ewe"},     {"ha", "Hausa"},      {"fat", "Fante"},
};

const LanguageInfo& info_of(Language lang) noexcept {
    auto value = static_cast<std::uint32_t>(lang);
    return kLanguages[value <= kLanguageCount ? value : 0];
}

}  // namespace

const char* language_code(Language lang) noexcept {
    return info_of(lang).code;
}

const char* language_name(Language lang) noexcept {
    return info_of(lang).name;
}

Language language_from_code(const std::string& code) noexcept {
    for (std::uint32_t value = 1; value <= kLanguageCount; ++value) {
        const char* known = kLanguages[value].code;
        if (code.size() == std::strlen(known) && std::memcmp(code.data(), known, code.size()) == 0)
            return static_cast<Language>(value);
    }
    // Ga is also reachable through its two-letter code.
    if (code.size() == 2 && code[0] == 'g' && code[1] == 'a') return Language::Ga;
    return Language::Auto;
}

}  // namespace kezo
