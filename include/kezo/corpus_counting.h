// Document frequencies of a corpus counted on several threads: the statistics of the methods
// that weigh a phrase by how rare it is across documents.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kezo/keyphrase.h"
#include "kezo/phrase_frequency_table.h"

namespace kezo {

struct CorpusCountOptions {
    // Threads to count on; 0 and 1 count on the calling thread only.
    unsigned threads = 1;
    // true: phrases of several words are the noun phrases extract_keyphrases forms where a
    // part-of-speech model is found (tagger.h); false: every stopword-bounded run, as the
    // published-algorithm methods form them. Tagging costs about twice the rest of the count.
    bool noun_phrases = true;
};

// In how many of texts each candidate phrase occurs, keyed by stem key: the table
// keyphrase_document_frequency gives, counted by options.threads threads that each take texts
// as they finish the previous ones into a table of their own, added up at the end. The result
// does not depend on the number of threads. texts are read only, from every thread at once;
// they and config must not change during the call. Thread-safe. Linear in the total length of
// the texts plus the distinct phrases of each thread; the tables of all threads are held at
// once before they are added up.
std::unordered_map<std::string, std::uint32_t> count_document_frequency(
    const std::vector<std::string_view>& texts, const KeyphraseConfig& config,
    const CorpusCountOptions& options);

// The same counts as the lookup table the TF-IDF method reads (TfidfMethodConfig::
// document_frequency): the first thread's table with the other threads' keys added to it, no
// map of strings made on the way. Same contract and cost as count_document_frequency, less the
// map.
PhraseFrequencyTable count_phrase_frequencies(const std::vector<std::string_view>& texts,
                                              const KeyphraseConfig& config,
                                              const CorpusCountOptions& options);

}  // namespace kezo
