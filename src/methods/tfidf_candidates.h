// The two halves of a TF-IDF call, for routes that build a text's candidates once and weigh
// them later (a corpus that is counted and then extracted).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../keyphrase/candidates.h"
#include "kezo/flat_keyphrases.h"
#include "kezo/tfidf_method.h"

namespace kezo::methods {

// The candidates tfidf_keyphrases weighs in text: config's language (Auto: identified from
// text), longest phrase and per-call stopwords, under the tenant in scope on this thread. text
// must outlive the result. Linear in the text.
keyphrase::Candidates tfidf_candidates(std::string_view text, const TfidfMethodConfig& config);

// The documents holding each phrase of a text, read where the count of a corpus that holds the
// text keeps them (so every phrase is held by one document at least): phrase p is key
// key_of_phrase[p] of the table that counted it, which is key index_of_key[that] of the corpus
// (the same when index_of_key is null), held by documents[corpus key] documents. Only the
// phrases weighed are read, most of a text's phrases never.
struct PhraseDocuments {
    const std::uint32_t* key_of_phrase = nullptr;
    const std::uint32_t* index_of_key = nullptr;
    const std::uint32_t* documents = nullptr;

    std::uint32_t of(std::uint32_t p) const {
        const std::uint32_t key = key_of_phrase[p];
        return documents[index_of_key == nullptr ? key : index_of_key[key]];
    }
};

// The keyphrases tfidf_keyphrases returns for candidates c, in place of what out held. With
// documents (the documents holding each phrase of c) and config.total_documents > 0, phrases
// are weighed by those counts, and where c keeps its occurrences its terms are never read
// (they may have been let go); else as config says. Thread-safe for different outs; linear in
// the phrases of c.
void tfidf_of_candidates(const keyphrase::Candidates& c, const TfidfMethodConfig& config,
                         const PhraseDocuments* documents, FlatKeyphrases& out);

}  // namespace kezo::methods
