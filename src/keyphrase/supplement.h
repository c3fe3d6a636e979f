// Supplementary stopwords of the keyphrase pipeline: function words and generic words that the
// built-in tables lack ("à", "été", "não", "más", "however", "using"), from the supplementary
// lists of the stopword subsystem (src/stopwords/supplement_lists.h). The built-in tables stay
// as they are; only this pipeline treats these words as stopwords.
#pragma once

#include <string_view>

#include "kezo/language.h"

namespace kezo::keyphrase {

// True when word (lower-cased) is a supplementary stopword of lang. Lock-free after the first
// call, which builds the hash sets once per process; thread-safe.
bool is_supplement_stopword(Language lang, std::string_view word);

// True for the built-in Chinese stopwords that are mostly parts of words in text written without
// blanks ("人" of 人权, "中" of 中国, "大" of 大学), unless the active tenant lists the word: the
// pipeline does not end phrases at them. Thread-safe; a lookup in a short static list.
bool is_word_part(Language lang, std::string_view word);

}  // namespace kezo::keyphrase
