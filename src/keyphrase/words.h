// The words of a text as the keyphrase pipeline sees them, and where phrases may not run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "kezo/language.h"

namespace kezo::keyphrase {

// One word: where it is written and what the scanner found out about it. 12 bytes, no heap
// (a long text holds millions): its lower-cased form lives once per distinct form in
// Words::forms, its spelling in the text. Its sentence is the count of sentence starts before
// it (the first word starts one).
struct Word {
    static constexpr std::uint64_t kMaxBegin = (std::uint64_t{1} << 39) - 1;
    static constexpr std::uint32_t kMaxBytes = (1u << 12) - 1;  // longer words are dropped

    std::uint32_t begin_low;       // first byte in the text: its low 32 bits
    std::uint32_t begin_high : 7;  // and the bits above
    std::uint32_t bytes : 12;  // bytes in the text up to its last letter, soft hyphens inside kept
    // The segment number modulo 8: phrases never span two segments. The number grows by at most
    // one from a word to the next, so words compared while walking a segment, or a phrase and
    // the words beside it, are in the same segment exactly when these bits agree.
    std::uint32_t segment : 3;
    std::uint32_t stop : 1;            // function word: never starts or ends a phrase
    std::uint32_t sentence_start : 1;  // first word of a sentence, title or paragraph
    std::uint32_t first_sentence : 1;  // in the text's first sentence (its title, if it has one)
    std::uint32_t line_start : 1;      // first word of a line
    std::uint32_t capitalised : 1;     // first letter upper-case
    std::uint32_t all_caps : 1;        // two letters or more, all upper-case (an acronym)
    std::uint32_t inner_capital : 1;   // a capital after the first letter ("États-Unis")
    std::uint32_t shows_case : 1;      // capitalised tells a name: not sentence-initial, not in
                                       // a line written in title case
    std::uint32_t ideograph : 1;       // one character of a script written without blanks
    std::uint32_t has_letter : 1;      // false for numbers (only kept with keep_numbers)
    std::uint32_t form;                // index of its lower-cased form in Words::forms

    Word()
        : begin_low(0),
          begin_high(0),
          bytes(0),
          segment(0),
          stop(0),
          sentence_start(0),
          first_sentence(0),
          line_start(0),
          capitalised(0),
          all_caps(0),
          inner_capital(0),
          shows_case(0),
          ideograph(0),
          has_letter(0),
          form(0) {}

    std::uint64_t begin() const { return std::uint64_t{begin_high} << 32 | begin_low; }
    // at most kMaxBegin
    void set_begin(std::uint64_t at) {
        begin_low = static_cast<std::uint32_t>(at);
        begin_high = static_cast<std::uint32_t>(at >> 32);
    }
    std::uint64_t end() const { return begin() + bytes; }
};
static_assert(sizeof(Word) == 12, "a Word is three 32-bit words");

// Whether form ends with `end` after a byte or more of its own ("detects" with "s", "권리를" with
// "를").
inline bool ends_after(std::string_view form, std::string_view end) {
    return form.size() > end.size() && form.compare(form.size() - end.size(), end.size(), end) == 0;
}

// Values of Words::nominal.
inline constexpr char kNotNominal = 0, kNominal = 1, kLeadingNominal = 2, kNoCandidate = 3,
                      kName = 4, kNameArticle = 5, kGenitive = 6, kNounAnd = 7;

// Inlines a step the scan takes for every word, or every word new to its text. GCC inlines these
// steps by itself; clang, which builds the release wheels, left them as calls, and the scan took
// about 4 % longer.
#if defined(__clang__)
#define KEZO_EVERY_WORD [[gnu::always_inline]]
#else
#define KEZO_EVERY_WORD
#endif

// The distinct lower-cased forms of a text in order of first use, their bytes one after
// another: a form costs its bytes and an offset, not a string of its own (a text holds about one
// form a word of two). Views of the forms stay valid until a form is added or the list cleared.
class FormList {
  public:
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::uint64_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_.data() + begin, ends_[i] - begin);
    }
    // Amortised constant time a byte.
    KEZO_EVERY_WORD void push_back(std::string_view form) {
        bytes_.append(form);
        ends_.push_back(bytes_.size());
    }
    // Empties the list; its room stays.
    void clear() {
        bytes_.clear();
        ends_.clear();
    }
    // Room for `forms` forms of `bytes` bytes in all.
    void reserve(std::size_t forms, std::size_t bytes) {
        ends_.reserve(forms);
        bytes_.reserve(bytes);
    }
    // The heap bytes the list holds.
    std::size_t held_bytes() const {
        return bytes_.capacity() + ends_.capacity() * sizeof(std::uint64_t);
    }
    // How many forms the list has room for before it grows.
    std::size_t capacity() const { return ends_.capacity(); }

  private:
    std::string bytes_;
    std::vector<std::uint64_t> ends_;  // form i ends at ends_[i] and starts where i - 1 ends
};

// The words of a text in order, and their distinct lower-cased forms.
struct Words {
    std::vector<Word> words;
    // Lower-cased forms in order of first use: hyphens and inner apostrophes kept (as '-' and
    // '\''), soft hyphens and other invisible characters gone.
    FormList forms;
    // Per word, where the part-of-speech tagger has read the text (noun_phrases.h): kNotNominal
    // for a word that is no part of a noun phrase (a verb), which stands only as a phrase of its
    // own; kNoCandidate for a function word the stopword lists lack (an adverb, a pronoun, an
    // auxiliary), which is no candidate at all; kLeadingNominal for one that goes before the
    // noun of its phrase (an English adjective), which ends no phrase of several words; kName
    // for a proper noun (in German any noun), as kNominal, whose capital is kept even where a
    // sentence starts; kNameArticle for an article or other function word that is part of a name
    // ("Le" of "Marine Le Pen"), which starts and joins phrases but ends none, nor stands alone,
    // and follows only a capitalised word inside one; kGenitive for a Korean noun in the genitive
    // ("신앙의" of "신앙의 자유"), which starts and joins phrases but ends none, nor stands alone;
    // kNounAnd for a Korean noun with the particle "and" ("존엄성과") as the tagger reads it,
    // which ends no phrase of several words (korean_particles.h cuts the particle); kNominal for
    // any other. Empty when untagged.
    std::vector<char> nominal;
    // Which scan found these forms (kept_form): 0 for none.
    std::uint64_t scanned_by = 0;

    std::string_view lower(const Word& w) const { return forms[w.form]; }
    std::string_view lower(std::size_t i) const { return forms[words[i].form]; }
    // Whether a phrase of several words may hold word i as far as its part of speech goes.
    bool in_phrases(std::size_t i) const {
        return nominal.empty() || (nominal[i] != kNotNominal && nominal[i] != kNoCandidate);
    }
    // Whether word i may be a candidate at all, a phrase of its own at least.
    bool is_candidate(std::size_t i) const { return nominal.empty() || nominal[i] != kNoCandidate; }
    // Whether such a phrase may end at word i.
    bool ends_phrases(std::size_t i) const {
        return nominal.empty() || nominal[i] == kNominal || nominal[i] == kName;
    }
    // Whether word i, a candidate, may be a phrase of one word.
    bool stands_alone(std::size_t i) const {
        return nominal.empty() || (nominal[i] != kNameArticle && nominal[i] != kGenitive);
    }
    // Whether word i is a Korean noun in the genitive (kGenitive).
    bool is_genitive(std::size_t i) const { return !nominal.empty() && nominal[i] == kGenitive; }
    // Whether word i is the article or particle of a name (kNameArticle).
    bool is_name_article(std::size_t i) const {
        return !nominal.empty() && nominal[i] == kNameArticle;
    }
    // Whether word i is capitalised as a name, by its place (Word::shows_case) or, where a
    // sentence starts, by the tagger's reading of it as a proper noun (not in capitals only,
    // which a dateline or a heading writes).
    bool capital_tells_name(std::size_t i) const {
        const Word& w = words[i];
        return w.shows_case || (w.capitalised && !w.all_caps && w.sentence_start &&
                                !nominal.empty() && nominal[i] == kName);
    }
};

struct ScanOptions {
    Language language = Language::English;
    bool keep_numbers = false;
    // Further stopwords for this scan only, lower-cased (stopwords::normalize); null for none.
    // Not owned: it must outlive the scan.
    const std::unordered_set<std::string>* extra_stopwords = nullptr;
};

// Splits text into words. A segment ends at every sentence end, clause or other punctuation,
// line break closing a title or paragraph, and dropped token (a number unless keep_numbers, a
// word of one letter, a word longer than 64 characters or 4,095 bytes, a symbol). Letters joined by
// a hyphen stay one word; French and Italian elided articles (l', d', qu', dell' ...) and the
// English possessive 's become function words of their own. Stop marks come from stopwords::is_stop
// (so tenant and custom stopwords apply on this thread), options.extra_stopwords and the
// pipeline's supplement lists; a supplement word capitalised where case shows a name ("New
// York") is no stopword. Linear in the text; 12 bytes per word plus the distinct forms.
// Thread-safe; each thread keeps the forms it has scanned with what the built-in lists say of
// them (about 65,536 forms at most between texts; a larger text's forms until the next scan),
// so later texts look them up instead of asking the lists again.
Words scan_words(std::string_view text, const ScanOptions& options);

// The same into out, whose words and forms are replaced: a caller scanning one text after
// another keeps the memory of its vectors instead of allocating them again for every text.
void scan_words(std::string_view text, const ScanOptions& options, Words& out);

// Where the thread that scanned words keeps form `form` of them: an entry that stays the same
// from text to text until the thread's kept forms start over (generation counts the times they
// did; past about 65,536 forms), so what is found out about a form can be kept beside it
// (stem_kept_word). found is false on any other thread, and after the thread's next scan.
struct KeptForm {
    std::uint64_t generation = 0;
    std::uint32_t entry = 0;
    bool found = false;
};
KeptForm kept_form(const Words& words, std::uint32_t form);

// kept_form for the forms of one Words, the thread's kept forms found once instead of once a
// form. Lives no longer than words, on the thread that made it.
class KeptForms {
  public:
    explicit KeptForms(const Words& words);
    KeptForm of(std::uint32_t form) const;

  private:
    const Words& words_;
    const void* vocabulary_;  // the thread's kept forms; null when words were scanned elsewhere
};

// Appends to out a word as written: its bytes in text without soft hyphens, other invisible
// characters and malformed bytes. Linear in the word.
void append_surface(std::string_view text, const Word& w, std::string& out);

}  // namespace kezo::keyphrase
