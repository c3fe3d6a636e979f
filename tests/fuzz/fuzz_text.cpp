// Text layer under arbitrary bytes: UTF-8 decoding against a plain reference decoder, encode and
// decode round trips, lower-casing, character classes, the tokenizer under every option against
// a slow reference tokenizer, sentence ranges, and both language detectors.
// Input: the text first; the options are taken from the last bytes.
#include <cmath>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "kezo/language_id.h"
#include "kezo/text.h"
#include "kezo/unicode.h"

using namespace kezo;
using kezo::fuzz::is_well_formed;

namespace {

// (length, code point) of the sequence at pos, straight from the definition of UTF-8 except that
// surrogates pass; length 0 when malformed or cut short.
std::pair<std::size_t, std::uint32_t> reference_decode(const std::string& s, std::size_t pos) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[pos + k]); };
    if (pos >= s.size()) return {0, 0};
    const unsigned b0 = byte(0);
    if (b0 < 0x80) return {1, b0};
    std::size_t length = 0;
    std::uint32_t cp = 0, lowest = 0;
    if ((b0 >> 5) == 0x6) length = 2, cp = b0 & 0x1F, lowest = 0x80;
    if ((b0 >> 4) == 0xE) length = 3, cp = b0 & 0x0F, lowest = 0x800;
    if ((b0 >> 3) == 0x1E) length = 4, cp = b0 & 0x07, lowest = 0x10000;
    if (length == 0 || pos + length > s.size()) return {0, 0};
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) >> 6) != 0x2) return {0, 0};
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    if (cp < lowest || cp > 0x10FFFF) return {0, 0};
    return {length, cp};
}

void check_code_points(const std::string& text) {
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
        std::uint32_t cp = 0xFFFFFFFF;
        const std::size_t n = unicode::decode_utf8(text.data(), pos, text.size(), &cp);
        const auto [want_n, want_cp] = reference_decode(text, pos);
        FUZZ_CHECK(n == want_n);
        FUZZ_CHECK(n == 0 ? cp == 0xFFFFFFFF : cp == want_cp);
        if (n == 0) continue;
        std::string encoded;
        FUZZ_CHECK(unicode::encode_utf8(cp, encoded) == n);
        FUZZ_CHECK(encoded == text.substr(pos, n));
        const unicode::CharInfo c = unicode::categorize(cp);
        FUZZ_CHECK(c.is_other ==
                   !(c.is_alpha || c.is_digit || c.is_space || c.is_punct || c.is_mark));
        FUZZ_CHECK(!(c.is_upper || c.is_lower) || c.is_alpha);
        FUZZ_CHECK(!unicode::is_ideographic_script(cp) || c.is_alpha);
    }
    // Any code point made of input bytes survives encoding and decoding.
    for (std::size_t pos = 0; pos + 3 <= text.size(); pos += 3) {
        const std::uint32_t cp = ((static_cast<unsigned char>(text[pos]) << 16) |
                                  (static_cast<unsigned char>(text[pos + 1]) << 8) |
                                  static_cast<unsigned char>(text[pos + 2])) %
                                 0x110000;
        std::string encoded;
        const std::size_t n = unicode::encode_utf8(cp, encoded);
        std::uint32_t back = 0;
        FUZZ_CHECK(unicode::decode_utf8(encoded.data(), 0, encoded.size(), &back) == n);
        FUZZ_CHECK(back == cp);
    }
    // Lower-casing maps code points one by one, copies malformed bytes and is idempotent.
    std::string lowered;
    fuzz::for_each_symbol(text, [&](std::size_t pos, std::size_t n, std::uint32_t cp) {
        if (n == 0) lowered.push_back(text[pos]);
        if (n != 0) unicode::encode_utf8(unicode::to_lower_code_point(cp), lowered);
    });
    FUZZ_CHECK(unicode::to_lower(text) == lowered);
    FUZZ_CHECK(unicode::to_lower(lowered) == lowered);
}

// The tokenizer's rules applied one code point at a time, with no fast paths.
std::vector<Token> reference_tokens(const std::string& text, const TokenizerConfig& config) {
    std::vector<Token> out;
    std::string word;
    std::uint32_t word_offset = 0;
    const auto lower = [&](std::uint32_t cp) {
        return config.lowercase ? unicode::to_lower_code_point(cp) : cp;
    };
    const auto end_word = [&] {
        if (!word.empty() && word.size() >= config.min_word_length)
            out.push_back({word, word_offset, 0, true});
        word.clear();
    };
    const auto single = [&](std::size_t pos, std::uint32_t cp, bool is_word) {
        Token t{"", static_cast<std::uint32_t>(pos), 0, is_word};
        unicode::encode_utf8(lower(cp), t.text);
        out.push_back(t);
    };
    const auto append = [&](std::size_t pos, std::uint32_t cp) {
        if (word.empty()) word_offset = static_cast<std::uint32_t>(pos);
        unicode::encode_utf8(lower(cp), word);
    };
    fuzz::for_each_symbol(text, [&](std::size_t pos, std::size_t n, std::uint32_t cp) {
        if (n == 0) return;  // a malformed byte is skipped and does not end the word
        // Letters (ideographs only when not split), kept digits and marks inside a word extend
        // it; anything else ends it, and a split ideograph or a kept punctuation mark stands alone.
        const unicode::CharInfo c = unicode::categorize(cp);
        const bool ideograph = config.split_cjk && unicode::is_ideographic_script(cp);
        if (!ideograph &&
            (c.is_alpha || (c.is_digit && config.keep_numbers) || (c.is_mark && !word.empty())))
            return append(pos, cp);
        end_word();
        if (ideograph || (c.is_punct && config.keep_punctuation)) single(pos, cp, ideograph);
    });
    end_word();
    for (std::size_t k = 0; k < out.size(); ++k) out[k].pos = static_cast<std::uint32_t>(k);
    return out;
}

void check_tokens(const std::string& text, const TokenizerConfig& config) {
    const std::vector<Token> tokens = tokenize(text, config);
    const std::vector<Token> expected = reference_tokens(text, config);
    FUZZ_CHECK(tokens.size() == expected.size());
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        FUZZ_CHECK(t.text == expected[k].text);
        FUZZ_CHECK(t.offset == expected[k].offset && t.pos == expected[k].pos);
        FUZZ_CHECK(t.is_word == expected[k].is_word);
        FUZZ_CHECK(!t.text.empty() && is_well_formed(t.text) && t.offset < text.size());
    }
}

void check_sentences(const std::string& text, const TokenizerConfig& config) {
    TokenizerConfig with_punctuation = config;
    with_punctuation.keep_punctuation = true;
    const std::vector<Token> tokens = tokenize(text, with_punctuation);
    const std::vector<Sentence> sentences = split_sentences(text, config);
    std::uint32_t next = 0;
    for (const Sentence& s : sentences) {
        FUZZ_CHECK(s.begin == next && s.begin < s.end && s.end <= tokens.size());
        next = s.end;
    }
    FUZZ_CHECK(next == tokens.size());
    // Every sentence but the last ends at a closing mark, and none closes inside a sentence.
    const auto closes = [&](std::uint32_t k) {
        const std::string& t = tokens[k].text;
        return !tokens[k].is_word && (t == "." || t == "!" || t == "?" || t == "\u3002");
    };
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        for (std::uint32_t k = sentences[i].begin; k + 1 < sentences[i].end; ++k)
            FUZZ_CHECK(!closes(k));
        if (i + 1 < sentences.size()) FUZZ_CHECK(closes(sentences[i].end - 1));
    }
}

bool is_concrete(Language lang) {
    const auto value = static_cast<std::uint32_t>(lang);
    return value >= 1 && value <= kLanguageCount;
}

void check_languages(const std::string& text, std::size_t max_results) {
    FUZZ_CHECK(is_concrete(detect_language(text)));
    const std::vector<LanguageGuess> guesses = identify_language(text, max_results);
    FUZZ_CHECK(guesses.size() <= max_results);
    double total = 0.0;
    for (std::size_t k = 0; k < guesses.size(); ++k) {
        const double c = guesses[k].confidence;
        FUZZ_CHECK(is_concrete(guesses[k].language) && std::isfinite(c) && c >= 0 && c <= 1);
        FUZZ_CHECK(k == 0 || guesses[k - 1].confidence >= c);
        for (std::size_t j = 0; j < k; ++j) FUZZ_CHECK(guesses[j].language != guesses[k].language);
        total += c;
    }
    FUZZ_CHECK(total <= 1.0 + 1e-9);
    const Language best = identify_best_language(text);
    FUZZ_CHECK(is_concrete(best) && (guesses.empty() || best == guesses.front().language));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Fields in order: lowercase, strip_accents, split_cjk, numbers, punctuation, min length.
    const TokenizerConfig config{in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(),
                                 in.ConsumeBool(), in.ConsumeBool(), fuzz::pick_count(in, 8, true)};
    const std::size_t max_results = in.ConsumeIntegralInRange<std::size_t>(0, 20);
    const std::string text = in.ConsumeRemainingBytesAsString();

    check_code_points(text);
    check_tokens(text, config);
    check_sentences(text, config);
    check_languages(text, max_results);
    return 0;
}
