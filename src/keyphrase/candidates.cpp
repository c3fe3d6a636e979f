// Terms and candidate phrases of one document.
#include "candidates.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "stemmer.h"

namespace kezo::keyphrase {
namespace {

// Function words that join two nouns into one name: "theory of games", "chef de gare",
// "base da força". A phrase holds at most one of them, never at an end.
constexpr std::array<std::string_view, 1> kEnglishConnectors = {"of"};
constexpr std::array<std::string_view, 4> kFrenchConnectors = {"de", "d'", "du", "des"};
constexpr std::array<std::string_view, 5> kPortugueseConnectors = {"de", "da", "do", "dos", "das"};
constexpr std::array<std::string_view, 2> kSpanishConnectors = {"de", "del"};
constexpr std::array<std::string_view, 9> kItalianConnectors = {
    "di", "d'", "del", "dell'", "della", "dello", "dei", "degli", "delle"};
constexpr std::array<std::string_view, 1> kDutchConnectors = {"van"};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

void append_id(std::string& key, std::uint32_t id) {
    char bytes[sizeof id];
    std::memcpy(bytes, &id, sizeof id);
    key.append(bytes, sizeof id);
}

}  // namespace

std::string phrase_key(const std::uint32_t* terms, std::size_t count) {
    std::string key;
    for (std::size_t k = 0; k < count; ++k) append_id(key, terms[k]);
    return key;
}

bool is_connector(Language lang, std::string_view lower) {
    switch (lang) {
        case Language::Auto:
        case Language::English:
            return contains(kEnglishConnectors, lower);
        case Language::French:
            return contains(kFrenchConnectors, lower);
        case Language::Portuguese:
            return contains(kPortugueseConnectors, lower);
        case Language::Spanish:
            return contains(kSpanishConnectors, lower);
        case Language::Italian:
            return contains(kItalianConnectors, lower);
        case Language::Dutch:
            return contains(kDutchConnectors, lower);
        default:
            return false;
    }
}

Candidates build_candidates(std::string_view text, Words words, const CandidateOptions& options) {
    Candidates c;
    c.text = text;
    c.words = std::move(words);
    const std::vector<Word>& w = c.words.words;
    const std::size_t n = w.size();
    c.word_term.assign(n, kNoTerm);
    c.content_index.assign(n, 0);

    // Terms: each distinct lower-cased form is stemmed once. A form is a stopword or not
    // wherever it stands, apart from supplement words capitalised as names: connector forms and
    // content forms get terms of their own.
    constexpr std::uint32_t kUnseen = kNoTerm - 1;
    std::vector<std::uint32_t> term_of_form(c.words.forms.size() * 2, kUnseen);
    std::unordered_map<std::string, std::uint32_t> term_of_stem;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& lower = c.words.lower(w[i]);
        const bool connector =
            w[i].stop && options.allow_connectors && is_connector(options.language, lower);
        if (w[i].stop && !connector) continue;
        std::uint32_t& term = term_of_form[std::size_t{w[i].form} * 2 + (connector ? 1 : 0)];
        if (term == kUnseen) {
            // Connectors are keyed apart from stems, so they never merge with a content word.
            std::string stem = connector ? "\x01" + lower : stem_word(options.language, lower);
            auto [at, added] = term_of_stem.try_emplace(std::move(stem),
                                                        static_cast<std::uint32_t>(c.terms.size()));
            if (added) {
                Term& t = c.terms.emplace_back();
                t.stem = at->first;
                t.connector = connector;
            }
            term = at->second;
        }
        c.word_term[i] = term;
        if (!connector) c.content_index[i] = c.content_words++;
    }

    // Whether word k is a content ideograph in the segment of word i (k may be out of range).
    const auto continues_run = [&](std::size_t i, std::size_t k) {
        return k < n && w[k].ideograph && w[k].segment == w[i].segment && c.word_term[k] != kNoTerm;
    };

    // Phrases: spans inside one segment, from a content word to a content word.
    std::string key;
    const std::size_t max_words = std::max<std::uint32_t>(options.max_words, 1);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t first = c.word_term[i];
        if (first == kNoTerm || c.terms[first].connector) continue;
        key.clear();
        bool letters = false;
        bool ideographic = true;
        std::uint32_t connectors = 0;
        for (std::size_t j = i; j < n && j - i < max_words && w[j].segment == w[i].segment; ++j) {
            const std::uint32_t term = c.word_term[j];
            if (term == kNoTerm) break;
            append_id(key, term);
            ideographic = ideographic && w[j].ideograph;
            if (c.terms[term].connector) {
                if (connectors++ > 0) break;
                continue;
            }
            letters = letters || w[j].has_letter;
            // A phrase needs a word with letters; a single ideograph is rarely a key by itself.
            if (!letters || (ideographic && j == i)) continue;
            auto [at, added] =
                c.phrase_index.try_emplace(key, static_cast<std::uint32_t>(c.phrases.size()));
            if (added) {
                Phrase& p = c.phrases.emplace_back();
                for (std::size_t k = i; k <= j; ++k) p.terms.push_back(c.word_term[k]);
                p.content_words = static_cast<std::uint32_t>(j - i + 1) - connectors;
                p.first_word = static_cast<std::uint32_t>(i);
                p.first_content = c.content_index[i];
                p.ideographic = ideographic;
            }
            Phrase& phrase = c.phrases[at->second];
            ++phrase.count;
            if (ideographic && !phrase.whole_run)
                phrase.whole_run = !continues_run(i, i - 1) && !continues_run(i, j + 1);
            c.occurrences.push_back({at->second, static_cast<std::uint32_t>(i)});
        }
    }
    return c;
}

}  // namespace kezo::keyphrase
