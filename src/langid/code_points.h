// Code point classes for language identification: the writing system of a letter and the
// case folding of Latin letters (internal to the language identification subsystem).
#pragma once

#include <cstdint>

#include "kezo/unicode.h"

namespace kezo::langid {

enum class Script : std::uint8_t {
    None,  // not a letter: separates words
    Mark,  // combining mark: belongs to the letter before it
    Latin,
    Han,
    Kana,
    Hangul,
    Arabic,
    Cyrillic,
    Other,  // a letter of a script no supported language is written in (Greek, Thai, ...)
};

// Letters that fonts and keyboards without the Akan and Ewe open vowels put in their place
// (Greek ε for ɛ; ᴐ, Ͻ, Ↄ and Lisu ꓛ for ɔ): read as the letters they stand for.
inline std::uint32_t undo_lookalike(std::uint32_t cp) noexcept {
    switch (cp) {
        case 0x3B5:
            return 0x25B;
        case 0x1D10:
        case 0x3FD:
        case 0x2183:
        case 0x2184:
        case 0xA4DB:
            return 0x254;
        default:
            return cp;
    }
}

// The small letter of a Cyrillic capital (U+0400..U+052F).
inline std::uint32_t fold_cyrillic(std::uint32_t cp) noexcept {
    if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
    if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
    if (cp >= 0x4C1 && cp <= 0x4CE) return (cp & 1) == 1 ? cp + 1 : cp;
    if (cp >= 0x460 && cp <= 0x52F && cp != 0x4C0) return (cp & 1) == 0 ? cp + 1 : cp;
    return cp;
}

// The class of a code point above U+007F (ASCII is handled by the callers' fast paths).
inline Script script_of(std::uint32_t cp) noexcept {
    if (cp >= 0x300 && cp <= 0x36F) return Script::Mark;
    if (cp < 0x2B0) {
        // Latin-1 letters, Latin Extended-A and -B and IPA (ɛ ɔ ɖ ɗ ...); × and ÷ are not letters.
        if (cp >= 0xC0 && cp != 0xD7 && cp != 0xF7) return Script::Latin;
        return Script::None;
    }
    if (cp >= 0x1E00 && cp <= 0x1EFF) return Script::Latin;  // Latin Extended Additional
    if ((cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
        (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x2FFFF))
        return Script::Han;
    if ((cp >= 0x3040 && cp <= 0x30FF && cp != 0x30FB) || (cp >= 0x31F0 && cp <= 0x31FF) ||
        (cp >= 0xFF66 && cp <= 0xFF9F))
        return Script::Kana;
    if ((cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0x1100 && cp <= 0x11FF) ||
        (cp >= 0x3131 && cp <= 0x318E))
        return Script::Hangul;
    if (cp >= 0xFF00 && cp <= 0xFFEF) return Script::None;  // full-width punctuation and Latin
    const unicode::CharInfo info = unicode::categorize(cp);
    if (info.is_mark) return Script::Mark;
    if (!info.is_alpha) return Script::None;
    if ((cp >= 0x600 && cp <= 0x6FF) || (cp >= 0x750 && cp <= 0x77F) ||
        (cp >= 0xFB50 && cp <= 0xFDFF) || (cp >= 0xFE70 && cp <= 0xFEFF))
        return Script::Arabic;
    if (cp >= 0x400 && cp <= 0x52F) return Script::Cyrillic;
    return Script::Other;
}

// The small letter of a Latin letter (U+00C0 and above), including the capitals of the West
// African special letters (Ɛ Ɔ Ɖ Ƒ Ʋ Ɣ Ɓ Ɗ Ƙ Ƴ) that the general lower-casing leaves alone.
inline std::uint32_t fold_latin(std::uint32_t cp) noexcept {
    if (cp <= 0xDE) return cp >= 0xC0 && cp != 0xD7 ? cp + 0x20 : cp;
    if (cp < 0x100) return cp;
    if (cp < 0x180) {
        // Latin Extended-A pairs a capital with the small letter after it, even capitals up to
        // U+0137 and from U+014A, odd capitals in U+0139..U+0148 and U+0179..U+017E.
        if (cp == 0x178) return 0xFF;
        if ((cp <= 0x137 && cp != 0x130) || (cp >= 0x14A && cp <= 0x177))
            return (cp & 1) == 0 ? cp + 1 : cp;
        if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E))
            return (cp & 1) == 1 ? cp + 1 : cp;
        return cp;
    }
    switch (cp) {
        case 0x181:
            return 0x253;  // Ɓ
        case 0x186:
            return 0x254;  // Ɔ
        case 0x189:
            return 0x256;  // Ɖ
        case 0x18A:
            return 0x257;  // Ɗ
        case 0x190:
            return 0x25B;  // Ɛ
        case 0x191:
            return 0x192;  // Ƒ
        case 0x194:
            return 0x263;  // Ɣ
        case 0x198:
            return 0x199;  // Ƙ
        case 0x1B2:
            return 0x28B;  // Ʋ
        case 0x1B3:
            return 0x1B4;  // Ƴ
        default:
            break;
    }
    if (cp == 0x1E9E) return 0xDF;  // capital sharp s
    // Latin Extended Additional pairs even capitals with odd small letters, but for U+1E96..1E9F.
    if (cp >= 0x1E00 && cp <= 0x1EFF && (cp < 0x1E96 || cp > 0x1E9F))
        return (cp & 1) == 0 ? cp + 1 : cp;
    return cp;
}

}  // namespace kezo::langid
