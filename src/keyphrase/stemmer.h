// Snowball stemming for the keyphrase pipeline, through libstemmer.
#pragma once

#include <string>
#include <string_view>

#include "kezo/language.h"
#include "words.h"

namespace kezo::keyphrase {

// True when lang has a Snowball stemmer (English, Spanish, French, German, Italian, Portuguese,
// Dutch, Russian, Arabic, Indonesian; Auto counts as English).
bool has_stemmer(Language lang);

// The stem of a lower-cased UTF-8 word, or the word itself for a language without a stemmer.
// Thread-safe: every thread creates its own stemmer for a language on first use (the library's
// stemmer objects must not be shared) and frees it when the thread ends. Linear in the word;
// each thread keeps the stems of up to 32,768 words of up to 32 bytes per language and looks
// them up (a hash) rather than stemming them again.
std::string stem_word(Language lang, std::string_view word);

// stem_word(lang, word) for a word scanned as a form kept as `kept` (kept_form): each thread
// keeps the stem beside the form's entry, in one language per entry, so a form it has stemmed
// is looked up by its entry alone; a word not found kept is stem_word. Thread-safe. Each thread
// holds a stem per kept form it is asked for, 32 bytes and the stem.
std::string stem_kept_word(Language lang, std::string_view word, const KeptForm& kept);

}  // namespace kezo::keyphrase
