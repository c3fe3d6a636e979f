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

// The stems of the forms of one scanned text in lang, as stem_word gives them: the thread that
// scanned the text keeps each stem beside the form's entry (kept_form), in one language per
// entry, so a form it has stemmed before is looked up by its entry alone; a form not found kept
// is stemmed by stem_word. The thread's stems are found once, when this is made. Each thread
// holds a stem per kept form it is asked for, 32 bytes and the stem. Used on one thread only,
// the one that made it; lives no longer than words.
class TextStems {
  public:
    TextStems(Language lang, const Words& words);
    // The stem of form `form` of the words, spelt `lower` there: a view valid until the next
    // call on any TextStems of this thread.
    std::string_view of(std::uint32_t form, std::string_view lower);

  private:
    Language lang_;
    KeptForms kept_;
    void* stems_;        // the thread's stems
    std::string spare_;  // the stem of a form not kept
};

}  // namespace kezo::keyphrase
