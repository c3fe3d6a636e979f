// The scan behind language identification: splits Latin-script words, folds them into lookup
// keys without allocating, counts letters by script and the special letters of each language.
#include "text_evidence.h"

#include <array>
#include <cstdint>

#include "code_points.h"
#include "kezo/unicode.h"
#include "word_evidence.h"

namespace kezo::langid {
namespace {

// Letters (and two Spanish punctuation marks) that belong to few languages, with what one
// occurrence adds to each. Words carry most of the evidence; a letter adds a fraction of a word,
// so a stray ɛ or ñ in a text of another language does not outweigh its function words.
struct SpecialLetter {
    std::uint32_t code_point;
    std::uint32_t languages;
    double weight;
};

constexpr std::uint32_t bit(Language lang) {
    return language_bit(lang);
}
constexpr std::uint32_t kAkanGaEwe =
    bit(Language::Twi) | bit(Language::Fante) | bit(Language::Ga) | bit(Language::Ewe);
constexpr std::uint32_t kFrenchItalian = bit(Language::French) | bit(Language::Italian);
constexpr std::uint32_t kFrenchPortuguese = bit(Language::French) | bit(Language::Portuguese);
constexpr std::uint32_t kSpanishPortuguese = bit(Language::Spanish) | bit(Language::Portuguese);

constexpr SpecialLetter kSpecialLetters[] = {
    {0x25B, kAkanGaEwe, 0.25},                                  // ɛ
    {0x254, kAkanGaEwe, 0.25},                                  // ɔ
    {0x14B, bit(Language::Ga) | bit(Language::Ewe), 0.5},       // ŋ
    {0x256, bit(Language::Ewe), 1.0},                           // ɖ
    {0x192, bit(Language::Ewe), 1.0},                           // ƒ
    {0x28B, bit(Language::Ewe), 1.0},                           // ʋ
    {0x263, bit(Language::Ewe), 1.0},                           // ɣ
    {0x253, bit(Language::Hausa), 1.0},                         // ɓ
    {0x257, bit(Language::Hausa), 1.0},                         // ɗ
    {0x199, bit(Language::Hausa), 1.0},                         // ƙ
    {0x1B4, bit(Language::Hausa), 1.0},                         // ƴ
    {0xE3, bit(Language::Portuguese), 0.5},                     // ã
    {0xF5, bit(Language::Portuguese), 0.5},                     // õ
    {0xE7, kFrenchPortuguese, 0.3},                             // ç
    {0xF1, bit(Language::Spanish), 1.0},                        // ñ
    {0xBF, bit(Language::Spanish), 1.0},                        // ¿
    {0xA1, bit(Language::Spanish), 1.0},                        // ¡
    {0xDF, bit(Language::German), 1.0},                         // ß
    {0xE4, bit(Language::German), 0.5},                         // ä
    {0xF6, bit(Language::German), 0.5},                         // ö
    {0xFC, bit(Language::German), 0.5},                         // ü
    {0xE8, kFrenchItalian, 0.2},                                // è
    {0xE0, kFrenchItalian, 0.2},                                // à
    {0xF9, kFrenchItalian, 0.2},                                // ù
    {0xEC, bit(Language::Italian), 0.3},                        // ì
    {0xF2, bit(Language::Italian), 0.3},                        // ò
    {0xEA, kFrenchPortuguese, 0.3},                             // ê
    {0xE2, kFrenchPortuguese, 0.3},                             // â
    {0xF4, kFrenchPortuguese, 0.3},                             // ô
    {0xEE, bit(Language::French), 0.3},                         // î
    {0xFB, bit(Language::French), 0.3},                         // û
    {0x153, bit(Language::French), 0.3},                        // œ
    {0xEB, bit(Language::French) | bit(Language::Dutch), 0.2},  // ë
    {0xEF, bit(Language::French) | bit(Language::Dutch), 0.2},  // ï
    {0xE9, kFrenchItalian | kSpanishPortuguese, 0.05},          // é
    {0xE1, kSpanishPortuguese, 0.1},                            // á
    {0xED, kSpanishPortuguese, 0.1},                            // í
    {0xF3, kSpanishPortuguese, 0.1},                            // ó
    {0xFA, kSpanishPortuguese, 0.1},                            // ú
};
constexpr std::size_t kSpecialCount = sizeof(kSpecialLetters) / sizeof(kSpecialLetters[0]);
constexpr std::uint32_t kSpecialRangeEnd = 0x2B0;  // every special letter lies below

// Position + 1 in kSpecialLetters of each code point below kSpecialRangeEnd, 0 for none.
constexpr std::array<std::uint8_t, kSpecialRangeEnd> make_special_positions() {
    std::array<std::uint8_t, kSpecialRangeEnd> positions{};
    for (std::size_t i = 0; i < kSpecialCount; ++i)
        positions[kSpecialLetters[i].code_point] = static_cast<std::uint8_t>(i + 1);
    return positions;
}
constexpr std::array<std::uint8_t, kSpecialRangeEnd> kSpecialPositions = make_special_positions();

// The word being read: its folded key (up to kMaxKeyBytes) and the key's hash.
class WordKey {
  public:
    bool empty() const noexcept { return !in_word_; }

    void add_ascii(unsigned char lower) noexcept {
        in_word_ = true;
        if (length_ < kMaxKeyBytes) {
            bytes_[length_] = static_cast<char>(lower);
            hash_.add(lower);
        }
        ++length_;
    }

    void add_code_point(std::uint32_t cp) noexcept {
        char encoded[4];
        std::size_t n = 0;
        if (cp < 0x800) {
            encoded[n++] = static_cast<char>(0xC0 | (cp >> 6));
        } else {
            encoded[n++] = static_cast<char>(0xE0 | (cp >> 12));
            encoded[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        encoded[n++] = static_cast<char>(0x80 | (cp & 0x3F));
        for (std::size_t i = 0; i < n; ++i) add_ascii(static_cast<unsigned char>(encoded[i]));
    }

    // Adds the word's evidence to `evidence` and starts a new word.
    void finish(TextEvidence& evidence) {
        if (!in_word_) return;
        ++evidence.latin_words;
        if (length_ <= kMaxKeyBytes) {
            const WordEvidence* found =
                find_word_evidence(std::string_view(bytes_, length_), hash_.value);
            if (found != nullptr) add_evidence(*found, evidence);
        }
        in_word_ = false;
        length_ = 0;
        hash_ = KeyHash();
    }

  private:
    static void add_evidence(const WordEvidence& word, TextEvidence& evidence) {
        for (std::uint32_t bits = word.listed; bits != 0; bits &= bits - 1)
            evidence.hits[__builtin_ctz(bits)] += word.listed_weight;
        for (std::uint32_t bits = word.frequent; bits != 0; bits &= bits - 1)
            evidence.hits[__builtin_ctz(bits)] += word.frequent_weight;
    }

    char bytes_[kMaxKeyBytes];
    std::size_t length_ = 0;  // may exceed kMaxKeyBytes: such a word is not looked up
    bool in_word_ = false;
    KeyHash hash_;
};

}  // namespace

TextEvidence gather_text_evidence(std::string_view text) {
    TextEvidence evidence;
    std::size_t special_counts[kSpecialCount] = {};
    WordKey word;
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size) {
        const auto byte = static_cast<unsigned char>(data[pos]);
        if (byte < 0x80) {
            const unsigned char lower = byte | 0x20;
            if (lower >= 'a' && lower <= 'z') {
                ++evidence.latin_letters;
                word.add_ascii(lower);
            } else {
                word.finish(evidence);
            }
            ++pos;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(data, pos, size, &cp);
        if (n == 0) {
            word.finish(evidence);
            ++pos;
            continue;
        }
        pos += n;
        const Script script = script_of(cp);
        if (script == Script::Mark) continue;  // part of the letter before it; not in the key
        if (script == Script::Latin) {
            const std::uint32_t folded = fold_latin(cp);
            ++evidence.latin_letters;
            if (folded < kSpecialRangeEnd && kSpecialPositions[folded] != 0)
                ++special_counts[kSpecialPositions[folded] - 1];
            word.add_code_point(folded);
            continue;
        }
        word.finish(evidence);
        switch (script) {
            case Script::Han:
                ++evidence.han;
                break;
            case Script::Kana:
                ++evidence.kana;
                break;
            case Script::Hangul:
                ++evidence.hangul;
                break;
            case Script::Arabic:
                ++evidence.arabic;
                break;
            case Script::Cyrillic:
                ++evidence.cyrillic;
                break;
            case Script::Other:
                ++evidence.other_letters;
                break;
            default:  // not a letter; ¿ and ¡ still tell Spanish
                if (cp < kSpecialRangeEnd && kSpecialPositions[cp] != 0)
                    ++special_counts[kSpecialPositions[cp] - 1];
                break;
        }
    }
    word.finish(evidence);
    for (std::size_t i = 0; i < kSpecialCount; ++i) {
        if (special_counts[i] == 0) continue;
        const SpecialLetter& letter = kSpecialLetters[i];
        for (std::uint32_t bits = letter.languages; bits != 0; bits &= bits - 1)
            evidence.hits[__builtin_ctz(bits)] += letter.weight * special_counts[i];
    }
    return evidence;
}

}  // namespace kezo::langid
