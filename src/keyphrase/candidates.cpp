// Terms and candidate phrases of one document.
#include "candidates.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "../core/thread_scratch.h"
#include "kezo/phrase_frequency_table.h"
#include "stem_keys.h"
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

// What building a text's candidates works on besides what it returns, kept by each thread from
// one text to the next. A text that needed more than kKeptItems gives the memory back.
struct Scratch {
    static constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    std::vector<std::uint32_t> term_of_stem;  // terms by stem (see build_candidates)
    std::vector<std::uint32_t> run;           // the terms of the span at hand

    void trim() {
        if (term_of_stem.capacity() > kKeptItems || run.capacity() > kKeptItems) *this = Scratch();
    }
};

}  // namespace

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

    // Terms: each distinct lower-cased form is stemmed once. A form is a stopword or not
    // wherever it stands, apart from supplement words capitalised as names: connector forms and
    // content forms get terms of their own.
    constexpr std::uint32_t kUnseen = kNoTerm - 1;
    std::vector<std::uint32_t>& term_of_form = c.form_terms;
    term_of_form.assign(c.words.forms.size() * 2, kUnseen);
    // Terms by stem: open addressing over term indices (+1, 0 free), at most half full.
    std::size_t stem_slots = 16;
    while (stem_slots < c.words.forms.size() * 4) stem_slots <<= 1;
    Scratch& scratch = thread_scratch<Scratch>();
    std::vector<std::uint32_t>& term_of_stem = scratch.term_of_stem;
    term_of_stem.assign(stem_slots, 0);
    c.terms.reserve(c.words.forms.size());  // a term for each form at most
    const auto find_or_add_term = [&](std::string_view stem, bool connector) {
        const std::size_t mask = stem_slots - 1;
        // The hash of the word in stem keys: a connector's lacks the mark that keys it apart,
        // so it may share a slot's hash with a stem, never its comparison.
        const std::uint64_t hash = PhraseFrequencyTable::word_hash(stem_key_word(stem, connector));
        std::size_t at = static_cast<std::size_t>(hash ^ (hash >> 32)) & mask;
        for (;; at = (at + 1) & mask) {
            const std::uint32_t slot = term_of_stem[at];
            if (slot == 0) break;
            if (c.terms[slot - 1].stem == stem) return slot - 1;
        }
        const auto term = static_cast<std::uint32_t>(c.terms.size());
        Term& t = c.terms.emplace_back();
        t.stem = stem;
        t.key_hash = hash;
        t.connector = connector;
        term_of_stem[at] = term + 1;
        return term;
    };
    TextStems stems(options.language, c.words);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view lower = c.words.lower(w[i]);
        if (w[i].stop) {
            // Whether a function word connects is asked once a form: kNoTerm when it does not.
            if (!options.allow_connectors) continue;
            std::uint32_t& term = term_of_form[std::size_t{w[i].form} * 2 + 1];
            // Connectors are keyed apart from stems, so they never merge with a content word.
            if (term == kUnseen)
                term = is_connector(options.language, lower)
                           ? find_or_add_term(std::string("\x01").append(lower), true)
                           : kNoTerm;
            continue;
        }
        std::uint32_t& term = term_of_form[std::size_t{w[i].form} * 2];
        if (term == kUnseen) term = find_or_add_term(stems.of(w[i].form, lower), false);
        ++c.content_words;
    }
    // A form seen only as a function word, or never as a connector, has no term there.
    std::replace(term_of_form.begin(), term_of_form.end(), kUnseen, kNoTerm);

    // Whether word k is a content ideograph in the segment of word i (k may be out of range).
    const auto continues_run = [&](std::size_t i, std::size_t k) {
        return k < n && w[k].ideograph && w[k].segment == w[i].segment && c.term_of(k) != kNoTerm;
    };

    // Phrases: spans inside one segment, from a content word to a content word. Each content
    // word starts at most max_words of them: room for all is made at once (a growing vector
    // of millions would hold the old and the new block together), untouched beyond their count.
    c.max_words = std::clamp<std::uint32_t>(options.max_words, 1, Phrase::kMaxWords);
    c.occurrences_kept = options.keep_occurrences;
    constexpr std::size_t kMostReservedPerWord = 8;  // the longest phrases callers ask for
    if (c.occurrences_kept)
        c.occurrences.reserve(std::size_t{c.content_words} *
                              std::min<std::size_t>(c.max_words, kMostReservedPerWord));
    // A short text has about as many phrases as spans; a long one repeats itself, and its
    // index grows as it must.
    constexpr std::size_t kMostPhrasesReserved = std::size_t{1} << 14;
    const std::size_t phrases = std::min<std::size_t>(
        std::size_t{c.content_words} * std::min<std::size_t>(c.max_words, kMostReservedPerWord),
        kMostPhrasesReserved);
    c.phrases.reserve(phrases);
    c.phrase_index.reserve(phrases);
    const auto terms_of = [&](std::uint32_t q) { return c.phrase_terms(q); };
    for_each_phrase_span(c, scratch.run, [&](const PhraseSpan& s) {
        std::uint32_t id = c.phrase_index.find(s.terms, s.size, s.hash, terms_of);
        if (id == PhraseIndex::kNone) {
            id = static_cast<std::uint32_t>(c.phrases.size());
            Phrase& p = c.phrases.emplace_back();
            p.size = static_cast<std::uint32_t>(s.size);
            p.connector = s.connectors;
            p.first_word = static_cast<std::uint32_t>(s.start);
            p.first_content = s.content_index;
            p.ideographic = s.ideographic;
            c.phrase_index.insert(id, s.hash, terms_of);
        }
        Phrase& phrase = c.phrases[id];
        ++phrase.count;
        if (s.ideographic && !phrase.whole_run)
            phrase.whole_run =
                !continues_run(s.start, s.start - 1) && !continues_run(s.start, s.start + s.size);
        if (c.occurrences_kept) {  // stored field by field: built whole, it went by the stack
            Occurrence& o = c.occurrences.emplace_back();
            o.phrase = id;
            o.start = static_cast<std::uint32_t>(s.start);
        }
    });
    scratch.trim();
    return c;
}

}  // namespace kezo::keyphrase
