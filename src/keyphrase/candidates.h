// Candidate phrases of one document, grouped by the stems of their words.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "kezo/language.h"
#include "phrase_index.h"
#include "words.h"

namespace kezo::keyphrase {

inline constexpr std::uint32_t kNoTerm = UINT32_MAX;

// A term is a stem: every inflected form of a word maps to the same term.
struct Term {
    std::string stem;  // connectors: "\x01" and the word, apart from every stem
    // PhraseFrequencyTable::word_hash of the word the term is in stem keys (stem_key_word):
    // made once with the term, it places the term by stem and hashes the keys of its phrases.
    std::uint64_t key_hash = 0;
    bool connector = false;  // may join two content words inside a phrase
};

// A group of phrase occurrences with the same sequence of terms: those of the words of its
// first occurrence (Candidates::phrase_terms). 16 bytes: a long text holds millions.
struct Phrase {
    static constexpr std::uint32_t kMaxWords = (1u << 29) - 1;

    std::uint32_t count = 0;          // occurrences
    std::uint32_t first_word = 0;     // word index of the first word of its first occurrence
    std::uint32_t first_content = 0;  // the same, counted in content words
    std::uint32_t size : 29;          // words, connectors included
    std::uint32_t connector : 1;      // one of the words is a connector
    std::uint32_t ideographic : 1;    // every word is one ideograph: shown without blanks
    std::uint32_t whole_run : 1;      // some occurrence spans a whole run of content ideographs

    Phrase() : size(0), connector(0), ideographic(0), whole_run(0) {}

    // Words that are not connectors.
    std::uint32_t content_words() const { return size - connector; }
};

static_assert(sizeof(Phrase) <= 16, "a long text holds millions of phrases");

// The term of a word given the terms by form (see Candidates::form_terms).
inline std::uint32_t term_of_word(const Word& w, const std::uint32_t* form_terms) {
    return form_terms[std::size_t{w.form} * 2 + (w.stop ? 1 : 0)];
}

// The terms of a run of words, one per word, read as they are visited: a view, valid while the
// candidates it came from live unchanged. Used like a const vector that has no data().
class PhraseTerms {
  public:
    class iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::uint32_t;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::uint32_t;

        iterator(const Word* at, const std::uint32_t* form_terms)
            : at_(at), form_terms_(form_terms) {}
        std::uint32_t operator*() const { return term_of_word(*at_, form_terms_); }
        iterator& operator++() {
            ++at_;
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            ++at_;
            return before;
        }
        bool operator==(const iterator& other) const { return at_ == other.at_; }
        bool operator!=(const iterator& other) const { return at_ != other.at_; }

      private:
        const Word* at_;
        const std::uint32_t* form_terms_;
    };

    PhraseTerms(const Word* first, std::size_t size, const std::uint32_t* form_terms)
        : first_(first), size_(size), form_terms_(form_terms) {}

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    iterator begin() const { return iterator(first_, form_terms_); }
    iterator end() const { return iterator(first_ + size_, form_terms_); }
    std::uint32_t operator[](std::size_t k) const { return term_of_word(first_[k], form_terms_); }

  private:
    const Word* first_;
    std::size_t size_;
    const std::uint32_t* form_terms_;
};

// Text without blanks gives no word boundaries, so an ideograph phrase is only offered when it
// recurs or spans a whole run between function characters and punctuation: a one-off slice of
// a longer run is as likely to cut words apart as to find one.
inline bool is_offered(const Phrase& p) {
    return !p.ideographic || p.count >= 2 || p.whole_run;
}

struct Occurrence {
    std::uint32_t phrase;
    std::uint32_t start;  // word index
};

struct CandidateOptions {
    Language language = Language::English;
    std::uint32_t max_words = 4;
    bool allow_connectors = true;
    // False leaves Candidates::occurrences empty: a long document has several per word, and
    // for_each_occurrence finds them again from the words when they are needed.
    bool keep_occurrences = true;
};

// One span of words that is a phrase: words [start, start + size) with terms[0..size).
struct PhraseSpan {
    std::size_t start;
    const std::uint32_t* terms;
    std::size_t size;
    std::uint64_t hash;           // term_run_hash of the terms
    std::uint32_t content_index;  // content words before start
    std::uint32_t connectors;     // 0 or 1
    bool ideographic;             // every word an ideograph
};

struct Candidates {
    std::string_view text;  // the text the words were read from (not owned)
    Words words;
    // Terms by form: [2 * form] the term of a content word of that form, [2 * form + 1] that
    // of a function word of that form (a connector's; kNoTerm for any other function word).
    std::vector<std::uint32_t> form_terms;
    std::vector<Term> terms;
    std::vector<Phrase> phrases;
    // In text order of their start, then length; empty unless options.keep_occurrences.
    std::vector<Occurrence> occurrences;
    PhraseIndex phrase_index;  // terms -> phrase
    std::uint32_t content_words = 0;
    std::uint32_t max_words = 4;  // the longest phrase, in words
    bool occurrences_kept = true;

    // The phrase whose terms are terms[0..n), or kNoTerm. Costs a hash and a probe or two.
    std::uint32_t find_phrase(const std::uint32_t* terms, std::size_t n) const {
        const std::uint32_t id = phrase_index.find(
            terms, n, term_run_hash(terms, n), [&](std::uint32_t q) { return phrase_terms(q); });
        return id == PhraseIndex::kNone ? kNoTerm : id;
    }

    // The term of word i: kNoTerm for a function word that is no connector. Kept per form, not
    // per word: a long text has millions of words and thousands of forms.
    std::uint32_t term_of(std::size_t i) const {
        return term_of_word(words.words[i], form_terms.data());
    }

    // The terms of phrase p, connectors included: those of the words of its first occurrence.
    PhraseTerms phrase_terms(const Phrase& p) const {
        return PhraseTerms(words.words.data() + p.first_word, p.size, form_terms.data());
    }
    PhraseTerms phrase_terms(std::uint32_t p) const { return phrase_terms(phrases[p]); }
};

// Calls on_span(const PhraseSpan&) for every span of c's words that build_candidates makes a
// phrase of, in text order of start, then length. Needs c's words and terms only, so it runs
// while the phrases are being built as well as after. run is scratch space. Where first_terms is
// not null, only the spans whose first term is flagged there (one flag per term) are walked.
template <class OnSpan>
void for_each_phrase_span(const Candidates& c, std::vector<std::uint32_t>& run, OnSpan on_span,
                          const std::vector<bool>* first_terms = nullptr) {
    const std::vector<Word>& w = c.words.words;
    const std::size_t n = w.size();
    const std::size_t max_words = std::clamp<std::uint32_t>(c.max_words, 1, Phrase::kMaxWords);
    std::uint32_t content_before = 0;  // content words before word i
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t first = c.term_of(i);
        if (first == kNoTerm || c.terms[first].connector) continue;
        // A word that is no part of a noun phrase is a phrase of its own only.
        const bool alone = !c.words.in_phrases(i);
        const std::uint32_t content_index = content_before++;
        if (!c.words.is_candidate(i) || (first_terms != nullptr && !(*first_terms)[first]))
            continue;
        run.clear();
        std::uint64_t hash = kTermRunSeed;
        bool letters = false;
        bool ideographic = true;
        std::uint32_t connectors = 0;
        for (std::size_t j = i; j < n && j - i < max_words && w[j].segment == w[i].segment; ++j) {
            const std::uint32_t term = c.term_of(j);
            if (term == kNoTerm ||
                (j > i && (alone || (!c.terms[term].connector && !c.words.in_phrases(j)) ||
                           (c.words.is_name_article(j) && !w[j - 1].capitalised))))
                break;
            run.push_back(term);
            hash = add_term(hash, term);
            ideographic = ideographic && w[j].ideograph;
            if (c.terms[term].connector) {
                if (connectors++ > 0) break;
                continue;
            }
            letters = letters || w[j].has_letter;
            // A phrase needs a word with letters; a single ideograph is rarely a key by itself.
            if (!letters || (ideographic && j == i)) continue;
            // Cut before its noun; a name's article or a genitive is no phrase by itself.
            if (j > i ? !c.words.ends_phrases(j) : !c.words.stands_alone(j)) continue;
            on_span(PhraseSpan{i, run.data(), run.size(), term_run_hash(hash), content_index,
                               connectors, ideographic});
        }
    }
}

// Calls visit(const Occurrence&) for every occurrence of c's phrases in text order of start,
// then length: from c.occurrences when they were kept, else found again from the words (a hash
// and a probe or two per occurrence). Where first_terms is not null, only the occurrences whose
// first term is flagged there (one flag per term) are visited, and only their starts walked.
template <class Visit>
void for_each_occurrence(const Candidates& c, Visit visit,
                         const std::vector<bool>* first_terms = nullptr) {
    if (c.occurrences_kept) {
        for (const Occurrence& o : c.occurrences)
            if (first_terms == nullptr || (*first_terms)[c.term_of(o.start)]) visit(o);
        return;
    }
    std::vector<std::uint32_t> run;
    const auto terms_of = [&](std::uint32_t q) { return c.phrase_terms(q); };
    for_each_phrase_span(
        c, run,
        [&](const PhraseSpan& s) {
            const std::uint32_t id = c.phrase_index.find(s.terms, s.size, s.hash, terms_of);
            visit(Occurrence{id, static_cast<std::uint32_t>(s.start)});
        },
        first_terms);
}

// Builds terms and phrases from scanned words: every span of at most max_words words inside one
// segment that starts and ends with a content word, has at least one word with letters, and
// holds only content words and, when allowed, one connector between two content words. Where
// words.nominal is set, a span of several words holds only words flagged there (noun phrases)
// and ends in none flagged as leading its noun, as a name's article or as a genitive, the last
// two no phrase of their own either; an unflagged word is a phrase of its own only, and a function
// word (kNoCandidate) no phrase at all. c.text views text, which must outlive the candidates.
Candidates build_candidates(std::string_view text, Words words, const CandidateOptions& options);

// Whether a lower-cased function word may join two content words in lang ("of", "de", "da"...).
bool is_connector(Language lang, std::string_view lower);

}  // namespace kezo::keyphrase
