// Which words a candidate phrase of several words may hold, told by the part-of-speech tagger of
// the document's language: a name is a run of nouns, proper nouns, adjectives and numbers, so a
// verb bounds such a phrase ("solar panels | need | regular maintenance") and is a candidate of
// one word only, and a function word the stopword lists lack ("quickly", "everything") is no
// candidate at all.
#pragma once

#include <string_view>
#include <vector>

#include "kezo/language.h"
#include "words.h"

namespace kezo::keyphrase {

// One flag per word of words (read from text), as Words::nominal holds them, decided per form
// by the tag most of its occurrences get:
// - kNominal for a word a noun phrase may hold, kNotNominal for one it may not (a verb);
// - kNoCandidate for a function word (adverb, pronoun, determiner, adposition, conjunction,
//   particle, interjection, auxiliary; in Korean a verb or adjective too, one word with its
//   endings), unless the form is written as a name or a term at one occurrence at least (a
//   capital that tells a name, capitals only, a hyphen);
// - kName for a proper noun (in German any noun) the text never writes in lower case;
// - in English, kLeadingNominal for an adjective, which a noun phrase holds only before its noun;
// - in Korean, kNounAnd for a noun with the particle "and", which the treebank tags as a
//   conjunction ("존엄성과").
// In English a participle or gerund before a noun ("distributed systems") counts as nominal there,
// unless it follows a noun as that noun's verb ("the company announced new products"), and a word
// agreeing with the noun before it as a listed verb does ("the approach detects faults",
// english_verbs.h) is a verb. Empty, and so no bound, when lang has no tagger model in the tagger
// directory (none is set by default), when its model cannot be loaded, or for Chinese and
// Japanese, whose models tag words the scan does not make (it reads single ideographs). Words are
// tagged sentence by sentence (at most 256 words at a time), once per call; the cost is linear in
// the words, the memory a byte a word and 20 bytes a distinct form.
// Thread-safe: reads its arguments only; the model is shared.
std::vector<char> noun_phrase_words(std::string_view text, const Words& words, Language lang);

// Where words.nominal is set: an article or a family name's particle that is a stopword (the,
// le, los, die, van, de ...), written with a capital inside a sentence (where case tells a name,
// not at a line start) after another word of its segment, is part of the name of one word that
// follows it: a capitalised content word that is the segment's last or comes before a word in
// lower case, not a connector ("Marine Le Pen", "selon Le Monde", "in The Hague", "Los
// Ángeles"). It stops no more there and is flagged kNameArticle; elsewhere the form stops as
// before. lang says which words connect. A stopword the scan lifts only where its capital tells
// a name ("New" of "New York") is lifted where a sentence starts with it too, before the word it
// names with elsewhere in the text. Linear in the words (n log n in the names lifted); nothing
// when nominal is empty.
void join_names(Words& words, Language lang);

}  // namespace kezo::keyphrase
