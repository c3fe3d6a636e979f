// What the published-algorithm methods share with the keyphrase pipeline: the language of a
// call, and the candidate phrases of a text under the call's stopwords.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "../keyphrase/candidates.h"
#include "../keyphrase/selection.h"
#include "kezo/language.h"
#include "kezo/spanned_keyword.h"

namespace kezo::methods {

// requested when it names a language, else identify_best_language(text).
Language resolve_language(std::string_view text, Language requested);

// The candidates of text in lang: phrases of at most max_words words, one connector between
// content words when allow_connectors. Stop tests use the tenant in scope on this thread and
// extra_stopwords (compared lower-cased). text must outlive the result.
keyphrase::Candidates method_candidates(std::string_view text, Language lang,
                                        std::uint32_t max_words, bool allow_connectors,
                                        const std::unordered_set<std::string>& extra_stopwords);

// Divides every score by the largest among the offered phrases (all when offered is null), so
// the best is 1; the others keep their order. Scores of 0 or below stay as they are.
void scale_to_best(std::vector<double>& scores, const std::vector<char>* offered);

}  // namespace kezo::methods
