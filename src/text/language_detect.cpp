// Language detection: special West African letters first, then a contest between scripts.
#include <cstdint>
#include <string_view>

#include "kezo/text.h"
#include "kezo/unicode.h"

namespace kezo {
namespace {

struct ScriptCounts {
    std::uint32_t han = 0, kana = 0, hangul = 0, arabic = 0, cyrillic = 0, devanagari = 0, thai = 0,
                  ewe = 0, hausa = 0, eng = 0, open_vowel = 0, latin = 0;
};

bool is_ewe_letter(std::uint32_t cp) {
    return cp == 0x192 || cp == 0x1B2 || cp == 0x28B;
}

bool is_hausa_letter(std::uint32_t cp) {
    switch (cp) {
        case 0x181:
        case 0x18A:
        case 0x198:
        case 0x199:
        case 0x1B3:
        case 0x1B4:
        case 0x253:
        case 0x257:
            return true;
        default:
            return false;
    }
}

bool is_open_vowel(std::uint32_t cp) {
    return cp == 0x190 || cp == 0x25B || cp == 0x186 || cp == 0x254;
}

void count_code_point(std::uint32_t cp, ScriptCounts& c) {
    if (cp < 0x80) {
        if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z')) ++c.latin;
        return;
    }
    if (cp >= 0x4E00 && cp <= 0x9FFF)
        ++c.han;
    else if (cp >= 0x3040 && cp <= 0x30FF)
        ++c.kana;
    else if (cp >= 0xAC00 && cp <= 0xD7A3)
        ++c.hangul;
    else if (cp >= 0x0600 && cp <= 0x06FF)
        ++c.arabic;
    else if (cp >= 0x0400 && cp <= 0x04FF)
        ++c.cyrillic;
    else if (cp >= 0x0900 && cp <= 0x097F)
        ++c.devanagari;
    else if (cp >= 0x0E00 && cp <= 0x0E7F)
        ++c.thai;
    else if (is_ewe_letter(cp))
        ++c.ewe;
    else if (is_hausa_letter(cp))
        ++c.hausa;
    else if (cp == 0x14A || cp == 0x14B)
        ++c.eng;
    else if (is_open_vowel(cp))
        ++c.open_vowel;
    else if (cp >= 0xC0 && cp <= 0x24F)
        ++c.latin;
}

bool is_boundary_byte(unsigned char b) {
    bool blank = b == ' ' || (b >= '\t' && b <= '\r');
    bool punct = (b >= 0x21 && b <= 0x2F) || (b >= 0x3A && b <= 0x40) || (b >= 0x5B && b <= 0x60) ||
                 (b >= 0x7B && b <= 0x7E);
    return blank || punct;
}

// True when word occurs in text delimited by the text's ends, ASCII blanks or ASCII punctuation.
bool contains_word(std::string_view text, std::string_view word) {
    std::size_t from = 0;
    while (true) {
        std::size_t at = text.find(word, from);
        if (at == std::string_view::npos) return false;
        std::size_t after = at + word.size();
        bool starts = at == 0 || is_boundary_byte(static_cast<unsigned char>(text[at - 1]));
        bool ends =
            after == text.size() || is_boundary_byte(static_cast<unsigned char>(text[after]));
        if (starts && ends) return true;
        from = at + 1;
    }
}

Language akan_family(const std::string& text, const ScriptCounts& c) {
    static constexpr std::string_view kFanteMarkers[] = {"d\u025B", "dze", "nts\u025B",
                                                         "eb\u025Bnadze", "hom"};
    const std::string lowered = unicode::to_lower(text);
    for (std::string_view marker : kFanteMarkers)
        if (contains_word(lowered, marker)) return Language::Fante;
    return c.eng != 0 ? Language::Ga : Language::Twi;
}

}  // namespace

// No supported language is written in Devanagari or Thai. When one of those scripts wins the
// contest the text is treated as English: English is the library's fallback for text it cannot
// place, and its stopwords remove nothing from those scripts while still cleaning any English
// words mixed in.
Language detect_language(const std::string& text) {
    ScriptCounts c;
    const std::size_t len = text.size();
    std::size_t pos = 0;
    while (pos < len) {
        std::uint32_t cp = 0;
        std::size_t n = unicode::decode_utf8(text.data(), pos, len, &cp);
        if (n == 0) {
            ++pos;
            continue;
        }
        count_code_point(cp, c);
        pos += n;
    }
    if (c.ewe != 0) return Language::Ewe;
    if (c.hausa != 0) return Language::Hausa;
    if (c.open_vowel != 0) return akan_family(text, c);

    Language winner = c.han > 0 ? Language::Chinese : Language::English;
    std::uint32_t best = c.han;
    const struct {
        std::uint32_t count;
        Language label;
    } contenders[] = {{c.hangul, Language::Korean},      {c.kana, Language::Japanese},
                      {c.arabic, Language::Arabic},      {c.cyrillic, Language::Russian},
                      {c.devanagari, Language::English}, {c.thai, Language::English}};
    for (const auto& contender : contenders) {
        if (contender.count > best) {
            best = contender.count;
            winner = contender.label;
        }
    }
    if (c.latin > best || best == 0) return Language::English;
    return winner;
}

}  // namespace kezo
