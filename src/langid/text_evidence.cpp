// The scan behind language identification: splits the words of the Latin, Cyrillic and Arabic
// scripts, looks up each word's letter n-grams and the word itself in the n-gram model as it
// goes (no allocation), and counts letters by script.
#include "text_evidence.h"

#include <cstdint>

#include "code_points.h"
#include "kezo/unicode.h"

namespace kezo::langid {
namespace {

// The word being read: its last letters (as model indices) and the hash of all of them.
class WordScan {
  public:
    WordScan(const NgramModel& model, TextEvidence& evidence) : model_(model), out_(evidence) {}

    // Adds a letter of script `script` (folded; `capital` when it was not lower case) to the
    // word, or starts a new word when the word so far is of another script.
    void add(std::uint32_t cp, Script script, bool capital) {
        if (length_ > 0 && script != script_) finish();
        if (length_ == 0) {
            script_ = script;
            halves_ = capital && !sentence_start_ ? 1 : 2;
            sentence_start_ = false;
            start();
        }
        push(model_.letter_index(cp));
    }

    // The next word begins a sentence (or a line).
    void end_sentence() { sentence_start_ = true; }

    // Ends the word: the n-grams that end at its trailing edge, and the word itself.
    void finish() {
        if (length_ == 0) return;
        push(kBoundary);
        add_feature(hash_ | kWordFlag, 0);
        length_ = 0;
    }

  private:
    void start() {
        hash_ = 14695981039346656037ull;
        window_[0] = window_[1] = window_[2] = window_[3] = 0;
        mix(kBoundary);
        window_[0] = kBoundary;
    }

    void mix(std::uint16_t index) { hash_ = (hash_ ^ index) * 1099511628211ull; }

    // Appends a letter or the trailing edge and counts the n-grams ending there. The unigram
    // of the trailing edge says nothing and is skipped.
    void push(std::uint16_t index) {
        window_[3] = window_[2];
        window_[2] = window_[1];
        window_[1] = window_[0];
        window_[0] = index;
        mix(index);
        ++length_;
        std::uint64_t key = 0;
        for (std::size_t n = 1; n <= kMaxOrder && window_[n - 1] != 0; ++n) {
            key = key << kLetterBits | window_[n - 1];
            if (n > 1 || index != kBoundary) add_feature(key, n);
        }
    }

    void add_feature(std::uint64_t key, std::size_t order) {
        out_.features[order] += halves_;
        const FeatureWeights found = model_.find(key);
        const std::uint8_t* pair = found.pairs;
        for (std::size_t i = 0; i < found.count; ++i, pair += 2)
            out_.weight[pair[0]] += halves_ * pair[1];
        if (is_rejection_order(order)) {
            pair = found.pairs;
            for (std::size_t i = 0; i < found.count; ++i, pair += 2)
                out_.rejection_weight[pair[0]] += halves_ * pair[1];
        }
    }

    const NgramModel& model_;
    TextEvidence& out_;
    std::uint64_t hash_ = 0;
    std::uint16_t window_[4] = {};  // newest first; 0 before the word's leading edge
    std::size_t length_ = 0;        // letters so far; 0 between words
    Script script_ = Script::None;
    std::uint32_t halves_ = 2;  // what each feature of the word counts, in halves
    bool sentence_start_ = true;
};

}  // namespace

TextEvidence gather_text_evidence(std::string_view text) {
    TextEvidence evidence;
    WordScan word(NgramModel::get(), evidence);
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size) {
        const auto byte = static_cast<unsigned char>(data[pos]);
        if (byte < 0x80) {
            const unsigned char lower = byte | 0x20;
            if (lower >= 'a' && lower <= 'z') {
                ++evidence.modelled_letters;
                word.add(lower, Script::Latin, byte != lower);
            } else {
                word.finish();
                if (byte == '.' || byte == '!' || byte == '?' || byte == '\n') word.end_sentence();
            }
            ++pos;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(data, pos, size, &cp);
        if (n == 0) {
            word.finish();
            ++pos;
            continue;
        }
        pos += n;
        cp = undo_lookalike(cp);
        const Script script = script_of(cp);
        switch (script) {
            case Script::Mark:  // part of the letter before it
                break;
            case Script::Latin: {
                ++evidence.modelled_letters;
                const std::uint32_t folded = fold_latin(cp);
                word.add(folded, script, folded != cp);
                break;
            }
            case Script::Cyrillic: {
                ++evidence.modelled_letters;
                const std::uint32_t folded = fold_cyrillic(cp);
                word.add(folded, script, folded != cp);
                break;
            }
            case Script::Arabic:
                ++evidence.modelled_letters;
                word.add(cp, script, false);
                break;
            default:
                word.finish();
                if (script == Script::Han) ++evidence.han;
                if (script == Script::Kana) ++evidence.kana;
                if (script == Script::Hangul) ++evidence.hangul;
                if (script == Script::Other) ++evidence.other_letters;
                break;
        }
    }
    word.finish();
    return evidence;
}

}  // namespace kezo::langid
