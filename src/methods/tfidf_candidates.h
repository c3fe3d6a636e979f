// The two halves of a TF-IDF call, for routes that build a text's candidates once and weigh
// them later (a corpus that is counted and then extracted).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../keyphrase/candidates.h"
#include "kezo/spanned_keyword.h"
#include "kezo/tfidf_method.h"

namespace kezo::methods {

// The candidates tfidf_keyphrases weighs in text: config's language (Auto: identified from
// text), longest phrase and per-call stopwords, under the tenant in scope on this thread. text
// must outlive the result. Linear in the text.
keyphrase::Candidates tfidf_candidates(std::string_view text, const TfidfMethodConfig& config);

// The keyphrases tfidf_keyphrases returns for candidates c. With df_by_phrase (documents
// holding each phrase of c, by phrase index) and config.total_documents > 0, phrases are
// weighed by those counts; else as config says. Thread-safe; linear in the phrases of c.
std::vector<SpannedKeyword> tfidf_of_candidates(const keyphrase::Candidates& c,
                                                const TfidfMethodConfig& config,
                                                const std::vector<std::uint32_t>* df_by_phrase);

}  // namespace kezo::methods
