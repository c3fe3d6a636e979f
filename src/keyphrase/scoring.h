// Scores of candidate phrases from the document alone (and a corpus table when one is given).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "candidates.h"

namespace kezo::keyphrase {

struct ScoringParams {
    Language language = Language::English;
    // Stem key -> documents; used when total_documents > 0.
    const std::unordered_map<std::string, std::uint32_t>* document_frequency = nullptr;
    std::uint32_t total_documents = 0;
};

// One score per phrase of c (same order as c.phrases): the estimated chance, between 0 and 1,
// that a reader would pick the phrase as a key of this document. Always finite.
std::vector<double> score_phrases(const Candidates& c, const ScoringParams& params);

// The stem key of a phrase: its terms' stems joined by one blank (connectors as written).
std::string phrase_stem_key(const Candidates& c, const Phrase& phrase);

// The same key written into *key (its old content replaced): a caller looking up many phrases
// reuses one buffer instead of allocating a key per phrase.
void phrase_stem_key(const Candidates& c, const Phrase& phrase, std::string* key);

}  // namespace kezo::keyphrase
