// Word keys: one pass over the code points of a word, lower-casing as it goes.
#include "word_features.h"

#include "kezo/unicode.h"

namespace kezo::tagger {
namespace {

constexpr std::uint64_t kOffset = 14695981039346656037ull;  // FNV-1a
constexpr std::uint64_t kPrime = 1099511628211ull;

inline std::uint64_t step(std::uint64_t hash, std::uint32_t cp) noexcept {
    return (hash ^ cp) * kPrime;
}

enum ShapeFlag : std::uint32_t {
    kFirstUpper = 1,
    kAnyUpper = 2,
    kAnyLower = 4,
    kAnyDigit = 8,
    kAllDigit = 16,
    kHyphen = 32,
    kPunctOnly = 64,
    kOtherScript = 128,  // an ideograph, kana or Hangul syllable
};

}  // namespace

WordKeys word_keys(std::string_view word) noexcept {
    WordKeys keys;
    std::uint64_t hash = kOffset;
    std::uint32_t last[kAffixes] = {};  // ring of the last code points
    std::size_t count = 0;
    std::uint32_t shape = kAllDigit | kPunctOnly;
    for (std::size_t pos = 0; pos < word.size();) {
        std::uint32_t cp = static_cast<unsigned char>(word[pos]);
        std::size_t length = 1;
        bool upper = false, lower = false, digit = false, punct = false;
        if (cp < 0x80) {
            upper = cp >= 'A' && cp <= 'Z';
            lower = cp >= 'a' && cp <= 'z';
            digit = cp >= '0' && cp <= '9';
            punct = !upper && !lower && !digit;
            if (upper) cp += 32;
        } else {
            length = unicode::decode_utf8(word.data(), pos, word.size(), &cp);
            if (length == 0) {
                length = 1;  // a stray byte stands for itself
            } else {
                const unicode::CharInfo info = unicode::categorize(cp);
                const std::uint32_t folded = unicode::to_lower_code_point(cp);
                upper = folded != cp;
                lower = info.is_alpha && !upper;
                digit = info.is_digit;
                punct = info.is_punct;
                if (unicode::is_ideographic_script(cp)) shape |= kOtherScript;
                cp = folded;
            }
        }
        pos += length;
        if (digit) cp = '0';
        if (upper) shape |= (count == 0 ? std::uint32_t{kFirstUpper} : 0u) | kAnyUpper;
        if (lower) shape |= kAnyLower;
        if (digit) shape |= kAnyDigit;
        if (!digit) shape &= ~static_cast<std::uint32_t>(kAllDigit);
        if (!punct) shape &= ~static_cast<std::uint32_t>(kPunctOnly);
        if (cp == '-') shape |= kHyphen;
        hash = step(hash, cp);
        if (count < kAffixes) keys.prefix[count] = hash;
        last[count % kAffixes] = cp;
        ++count;
    }
    keys.lower = hash;
    for (std::size_t k = count; k < kAffixes; ++k) keys.prefix[k] = hash;
    for (std::size_t k = 0; k < kAffixes; ++k) {
        const std::size_t take = k + 1 < count ? k + 1 : count;
        std::uint64_t suffix = kOffset;
        for (std::size_t j = count - take; j < count; ++j)
            suffix = step(suffix, last[j % kAffixes]);
        keys.suffix[k] = suffix;
    }
    const std::uint32_t length_class = count < 4 ? static_cast<std::uint32_t>(count) : 4;
    keys.shape = shape | length_class << 8;
    return keys;
}

WordKeys boundary_keys(bool before) noexcept {
    WordKeys keys;
    const std::uint64_t value = before ? 0x5EB0C0DEull : 0xE0D0C0DEull;
    keys.lower = value;
    for (std::size_t k = 0; k < kAffixes; ++k) keys.prefix[k] = keys.suffix[k] = value + k;
    keys.shape = boundary_shape(before);
    return keys;
}

}  // namespace kezo::tagger
