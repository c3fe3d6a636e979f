// The words of a text as the keyphrase pipeline sees them, and where phrases may not run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kezo/language.h"

namespace kezo::keyphrase {

struct Word {
    std::string lower;       // lower-cased; hyphens and inner apostrophes kept, soft hyphens gone
    std::string surface;     // as written, soft hyphens removed
    std::uint32_t segment;   // phrases never span two segments
    std::uint32_t sentence;  // sentence number (a title or paragraph also ends one)
    bool stop = false;       // function word: never starts or ends a phrase
    bool sentence_start = false;  // first word of a sentence, title or paragraph
    bool line_start = false;      // first word of a line
    bool capitalised = false;     // first letter upper-case
    bool all_caps = false;        // two letters or more, all upper-case (an acronym)
    bool inner_capital = false;   // a capital after the first letter ("États-Unis", "McLaren")
    bool shows_case = false;      // capitalised tells a name: not sentence-initial, not in a
                                  // line written in title case
    bool ideograph = false;       // one character of a script written without blanks
    bool has_letter = false;      // false for numbers (only kept with keep_numbers)
};

struct ScanOptions {
    Language language = Language::English;
    bool keep_numbers = false;
};

// Splits text into words. A segment ends at every sentence end, clause or other punctuation,
// line break closing a title or paragraph, and dropped token (a number unless keep_numbers, a
// word of one letter, a word longer than 64 characters, a symbol). Letters joined by a hyphen
// stay one word; French and Italian elided articles (l', d', qu', dell' ...) and the English
// possessive 's become function words of their own. Stop marks come from stopwords::is_stop
// (so tenant and custom stopwords apply on this thread) and the pipeline's supplement lists; a
// supplement word capitalised where case shows a name ("New York") is no stopword.
std::vector<Word> scan_words(std::string_view text, const ScanOptions& options);

}  // namespace kezo::keyphrase
