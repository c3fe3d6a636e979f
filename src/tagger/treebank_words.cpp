// Rejoining and splitting words at apostrophes for tagging.
#include "treebank_words.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace kezo::tagger {
namespace {

bool is_apostrophe(std::string_view t) {
    return t == "'" || t == "\xE2\x80\x99";
}

std::string lower_ascii(std::string_view t) {
    std::string out(t);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

// English clitics written after an apostrophe: "it's", "I'm", "we'll", "they've", "you're", "he'd".
bool is_english_clitic(std::string_view after) {
    constexpr std::array<std::string_view, 6> kClitics = {"s", "m", "ll", "ve", "re", "d"};
    const std::string lower = lower_ascii(after);
    return std::find(kClitics.begin(), kClitics.end(), lower) != kClitics.end();
}

// Whether an apostrophe before after belongs to it rather than opening a quotation: Hausa
// writes some consonants with one ("'yan"), Dutch its short forms ("'t", "'s", "'n", "'80").
bool begins_word(Language lang, std::string_view after) {
    if (lang == Language::Hausa) return true;
    if (lang != Language::Dutch) return false;
    const std::string lower = lower_ascii(after);
    return lower == "t" || lower == "s" || lower == "n" ||
           std::all_of(after.begin(), after.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

}  // namespace

std::vector<WordSpan> treebank_words(std::string_view text, const std::vector<Token>& tokens,
                                     Language lang) {
    const auto span_of = [&](std::size_t k) {
        return WordSpan{tokens[k].offset,
                        static_cast<std::uint32_t>(tokens[k].offset + tokens[k].text.size())};
    };
    const auto piece = [&](const WordSpan& s) { return text.substr(s.start, s.end - s.start); };
    const bool elides = lang == Language::French || lang == Language::Italian;
    std::vector<WordSpan> out;
    out.reserve(tokens.size());
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const WordSpan here = span_of(k);
        if (!is_apostrophe(piece(here))) {
            out.push_back(here);
            continue;
        }
        // A word touching the apostrophe on the left, and one on the right.
        const bool left = !out.empty() && out.back().end == here.start && tokens[k - 1].is_word;
        const bool right =
            k + 1 < tokens.size() && tokens[k + 1].offset == here.end && tokens[k + 1].is_word;
        const WordSpan next = right ? span_of(k + 1) : WordSpan{};
        if (lang == Language::English && left && right) {
            WordSpan& before = out.back();
            const std::string_view after = piece(next);
            if (is_english_clitic(after)) {  // "it" + "'s"
                out.push_back({here.start, next.end});
                ++k;
                continue;
            }
            const std::string_view word = piece(before);
            if (lower_ascii(after) == "t" && word.size() >= 2 &&
                (word.back() == 'n' || word.back() == 'N')) {  // "do" + "n't", "ca" + "n't"
                --before.end;
                out.push_back({before.end, next.end});
                ++k;
                continue;
            }
        }
        if (elides && left) {
            // "l'" + "homme", "dell'" + "arte", "po'"; "aujourd'hui" stays whole.
            if (!(right && lower_ascii(piece(out.back())) == "aujourd")) {
                out.back().end = here.end;
                continue;
            }
        }
        if (left && right) {  // "zo'n", "O'Neill", "sa'ànnan"
            out.back().end = next.end;
            ++k;
        } else if (right && begins_word(lang, piece(next))) {  // Hausa "'yan", Dutch "'t"
            out.push_back({here.start, next.end});
            ++k;
        } else {
            out.push_back(here);
        }
    }
    return out;
}

}  // namespace kezo::tagger
