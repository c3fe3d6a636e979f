// Candidate phrases that end in a verb or an auxiliary ("panels convert", "France passe"), found
// with the part-of-speech tagger of the document's language.
#pragma once

#include <vector>

#include "candidates.h"
#include "kezo/language.h"

namespace kezo::keyphrase {

// One flag per phrase of c: 0 for a phrase of two words or more whose last word is tagged VERB
// or AUX at most of its occurrences; 1 for every other. Empty when lang has no tagger model in the
// tagger directory (none is set by default), when its model cannot be loaded, or for Chinese and
// Japanese, whose models tag words the scan does not make. Words are tagged sentence by sentence
// (at most 256 words at a time), so the cost is linear in the words and the memory one bit a
// word. Thread-safe: reads c only; the model is shared.
std::vector<char> phrases_not_ending_in_verbs(const Candidates& c, Language lang);

}  // namespace kezo::keyphrase
