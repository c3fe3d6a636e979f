// Korean writes a noun and its particles as one word ("권리를", "권리는", "권리의": the right,
// as object, as topic, of). The part-of-speech model reads such a word as the noun it holds, so
// the default method would count one noun as several forms and show its particle.
#pragma once

#include <string_view>

#include "words.h"

namespace kezo::keyphrase {

// Where words.nominal is set (a Korean text the tagger has read), each word flagged as part of a
// noun phrase is counted as its noun without its trailing particles. A particle of one syllable
// is cut only where the noun is attested without it, since nouns end in such syllables ("국가",
// "고양이", "민주주의"): the text writes the noun as a word of its own, or, for a noun of two
// syllables or more, with another particle ("권리를" beside "권리는"); the object and topic
// particles and "와" ("을", "는") from any noun of two syllables or more; any particle after a
// plural ("유권자들이"); a stopword from "이", "가" and the object and topic particles ("것이": the
// noun is a stopword then); "과" or "와" where the tagger read the word as a
// noun with "and" (kNounAnd). A longer particle ("에서", "으로부터") is cut wherever it follows
// a syllable.
// - After a genitive ("의", "과의"), the word keeps its bytes and is flagged kGenitive: it leads
//   the noun after it ("신앙의 자유") and is no phrase of its own. So is a word that may end in
//   the genitive before another word of its segment.
// - After any other particle, the word ends before it, and a segment ends after it: a subject
//   and its object are two phrases ("사람은 | 자유를").
// Words changed take the form of their noun, added to words.forms when the text never writes
// it alone, and words.scanned_by is cleared: those forms were not scanned. text is the one the
// words were read from. Linear in the words, a few hash lookups per distinct form. Stopwords are
// looked up under the tenant in scope on this thread.
void split_korean_particles(std::string_view text, Words& words);

}  // namespace kezo::keyphrase
