// Single left-to-right tokenizer pass driven by the character classes.
#include <cstdint>

#include "kezo/text.h"
#include "kezo/unicode.h"

namespace kezo {
namespace {

enum AsciiClass : std::uint8_t { kOther, kSpace, kPunct, kDigit, kUpper, kLower };

struct AsciiTable {
    std::uint8_t cls[128];
    constexpr AsciiTable() : cls() {
        for (int c = 0; c < 128; ++c) {
            if (c >= 'A' && c <= 'Z')
                cls[c] = kUpper;
            else if (c >= 'a' && c <= 'z')
                cls[c] = kLower;
            else if (c >= '0' && c <= '9')
                cls[c] = kDigit;
            else if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
                cls[c] = kSpace;
            else if ((c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) ||
                     (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E))
                cls[c] = kPunct;
            else
                cls[c] = kOther;
        }
    }
};
constexpr AsciiTable kAscii;

// Assembles one call's tokens. The word buffer is reused, so a word costs no allocation beyond
// the token's own string (none for short words).
//
// Running numbers: ideograph and punctuation tokens take the counter and advance it; a word token
// takes the counter recorded when it began and advances it once it is kept. A word dropped by
// min_word_length takes no number, so every emitted token's pos equals its index in the result.
class Tokenizer {
  public:
    Tokenizer(const std::string& text, const TokenizerConfig& config)
        : text_(text), config_(config) {
        tokens_.reserve(text.size() / 5);
    }

    std::vector<Token> run() {
        const char* data = text_.data();
        const std::size_t len = text_.size();
        const bool lower = config_.lowercase;
        std::size_t pos = 0;
        while (pos < len) {
            const auto b = static_cast<unsigned char>(data[pos]);
            if (b < 0x80) {
                switch (kAscii.cls[b]) {
                    case kLower:
                    case kUpper: {
                        // Take the whole run of ASCII letters at once.
                        start_word(pos);
                        std::size_t end = pos + 1;
                        while (end < len && static_cast<unsigned char>(data[end]) < 0x80 &&
                               kAscii.cls[static_cast<unsigned char>(data[end])] >= kUpper)
                            ++end;
                        std::size_t from = word_.size();
                        word_.append(data + pos, end - pos);
                        if (lower) {
                            for (std::size_t i = from; i < word_.size(); ++i)
                                if (word_[i] >= 'A' && word_[i] <= 'Z') word_[i] += 0x20;
                        }
                        pos = end;
                        continue;
                    }
                    case kDigit:
                        on_digit(pos, b);
                        break;
                    case kPunct:
                        on_punct(pos, 1);
                        break;
                    default:  // blank or other: both end the word
                        emit_word();
                        break;
                }
                ++pos;
                continue;
            }
            std::uint32_t cp = 0;
            std::size_t n = unicode::decode_utf8(data, pos, len, &cp);
            if (n == 0) {
                ++pos;  // malformed byte: neither ends nor extends the word
                continue;
            }
            on_code_point(pos, n, cp);
            pos += n;
        }
        emit_word();
        return std::move(tokens_);
    }

  private:
    void on_code_point(std::size_t pos, std::size_t n, std::uint32_t cp) {
        const unicode::CharInfo info = unicode::categorize(cp);
        if (info.is_space) {
            emit_word();
        } else if (info.is_mark && in_word_) {
            unicode::encode_utf8(config_.lowercase ? unicode::to_lower_code_point(cp) : cp, word_);
        } else if (config_.split_cjk && info.is_alpha && unicode::is_ideographic_script(cp)) {
            emit_word();
            // These scripts have no case, so the character's own bytes are its text.
            push_single(pos, n, true);
        } else if (info.is_punct) {
            on_punct(pos, n);
        } else if (info.is_digit) {
            if (!config_.keep_numbers) {
                emit_word();
            } else {
                start_word(pos);
                word_.append(text_.data() + pos, n);
            }
        } else if (info.is_alpha) {
            start_word(pos);
            unicode::encode_utf8(config_.lowercase ? unicode::to_lower_code_point(cp) : cp, word_);
        } else {
            emit_word();
        }
    }

    void on_digit(std::size_t pos, unsigned char b) {
        if (!config_.keep_numbers) {
            emit_word();
            return;
        }
        start_word(pos);
        word_.push_back(static_cast<char>(b));
    }

    void on_punct(std::size_t pos, std::size_t n) {
        emit_word();
        // No punctuation character has a lower-case mapping, so its bytes are copied as they are.
        if (config_.keep_punctuation) push_single(pos, n, false);
    }

    void start_word(std::size_t pos) {
        if (in_word_) return;
        emit_word();
        in_word_ = true;
        word_offset_ = static_cast<std::uint32_t>(pos);
    }

    void emit_word() {
        in_word_ = false;
        if (word_.empty()) return;
        if (word_.size() >= config_.min_word_length) {
            Token& t = tokens_.emplace_back();
            t.text.assign(word_);
            t.offset = word_offset_;
            t.pos = counter_++;
            t.is_word = true;
        }
        word_.clear();
    }

    void push_single(std::size_t pos, std::size_t n, bool is_word) {
        Token& t = tokens_.emplace_back();
        t.text.assign(text_.data() + pos, n);
        t.offset = static_cast<std::uint32_t>(pos);
        t.pos = counter_++;
        t.is_word = is_word;
    }

    const std::string& text_;
    const TokenizerConfig& config_;
    std::vector<Token> tokens_;
    std::string word_;
    std::uint32_t word_offset_ = 0;
    std::uint32_t counter_ = 0;
    bool in_word_ = false;
};

}  // namespace

std::vector<Token> tokenize(const std::string& text, const TokenizerConfig& config) {
    return Tokenizer(text, config).run();
}

}  // namespace kezo
