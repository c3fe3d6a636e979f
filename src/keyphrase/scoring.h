// Scores of candidate phrases from the document alone (and a corpus table when one is given).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "candidates.h"

namespace kezo::keyphrase {

struct ScoringParams {
    std::uint32_t window = 3;
    double damping = 0.85;
    double length_penalty = 0.5;
    double frequency_weight = 1.0;
    double first_position_weight = 1.0;
    const std::unordered_map<std::string, std::uint32_t>* document_frequency = nullptr;
    std::uint32_t total_documents = 0;
};

// Word weights from a graph walk, then one score per phrase of c (same order as c.phrases).
// Every score is finite and positive.
std::vector<double> score_phrases(const Candidates& c, const ScoringParams& params);

// The stem key of a phrase: its terms' stems joined by one blank (connectors as written).
std::string phrase_stem_key(const Candidates& c, const Phrase& phrase);

}  // namespace kezo::keyphrase
