// What the scorer knows about each candidate phrase: shape, recurrence, position, structure,
// case and the function words around it.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "candidates.h"

namespace kezo::keyphrase {

// One value per feature; the scorer weighs them (scoring.cpp), the fitting tool in bench/
// prints them. L is the log of the document's number of content words, clamped to 10..5000:
// the interactions with L let short texts judge phrases by their shape and long texts by their
// recurrence.
enum Feature : std::size_t {
    kBias,
    kLength,      // L
    kOneWord,     // the phrase has one content word
    kThreeWords,  // three content words
    kFourWords,   // four or more (two is the reference)
    kOneWordByL,
    kThreeWordsByL,
    kFourWordsByL,
    kConnector,  // holds an inner "of" / "de" ...
    kWordChars,  // log mean characters per content word
    kWordCharsByL,
    kLogCount,  // log occurrences
    kLogCountByL,
    kOnce,  // occurs once
    kOneWordByLogCount,
    kLogFirst,  // log(1 + content words before the first occurrence)
    kLogFirstByL,
    kFirstShare,  // the same as a share of the document
    kInTitle,     // first occurs in the first sentence (the title, where there is one)
    kInTitleByL,
    kMaximal,  // share of occurrences bounded by non-content words on both sides
    kMaximalByL,
    kRecurringUnit,  // log(count / count of its commonest one-word extension): a phrase that
                     // recurs while its neighbours change is a unit of its own
    kCapitalised,    // a word capitalised where case tells names
    kCapitalisedByL,
    kOneWordByCapitalised,
    kAllCaps,           // a word written in capitals only (an acronym)
    kAfterOpener,       // share of occurrences right after a determiner or preposition
    kBeforeAuxiliary,   // share right before an auxiliary verb (the phrase is a subject)
    kBeforeDeterminer,  // share right before a determiner (the phrase ends with a verb)
    kLastIng,           // English: the last word ends in -ing
    kLastEd,            // English: the last word ends in -ed
    kFirstEd,           // English: the first word ends in -ed
    kAdverb,            // a word ends in -ly (English) / -ment (French) / -mente
    kFeatureCount,
};

using FeatureRow = std::array<double, kFeatureCount>;

// Features of every phrase of c, in the order of c.phrases. Linear in the number of occurrences.
std::vector<FeatureRow> phrase_features(const Candidates& c, Language lang);

// The same rows handed to use(phrase index, row) one at a time, in the order of c.phrases,
// without holding them all: the row is valid during the call only.
void for_each_phrase_features(const Candidates& c, Language lang,
                              const std::function<void(std::size_t, const FeatureRow&)>& use);

// Names of the features, for the fitting tool.
extern const char* const kFeatureNames[kFeatureCount];

}  // namespace kezo::keyphrase
