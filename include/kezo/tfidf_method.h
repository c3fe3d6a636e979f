// TF-IDF keyphrases: the 1- to 3-word phrases of a text weighed by how often they occur in it
// and how rare they are across a corpus.
//
// Candidates are the keyphrase pipeline's (keyphrase.h): runs of words inside one clause with
// no stopword at either end (one "of" / "de" ... may join two content words), every inflected
// form counted together through its Snowball stem. A phrase occurring tf times in the text and
// held by df of the corpus's N documents scores tf * (ln((1 + N) / (1 + df)) + 1), the smoothed
// inverse document frequency. df is looked up by stem key (keyphrase_stem_key), the key
// keyphrase_document_frequency counts, so a table counted for the keyphrase pipeline serves
// here too. Without a corpus, the text's own sentences are the documents: a phrase found in
// every sentence of the text weighs least. Scores are divided by the best one.
//
// Thread-safe: any number of threads may call tfidf_keyphrases at once, with one configuration
// or many; the table is shared, immutable, and never copied per call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "kezo/flat_keyphrases.h"
#include "kezo/language.h"
#include "kezo/phrase_frequency_table.h"
#include "kezo/spanned_keyword.h"

namespace kezo {

using DocumentFrequency = std::unordered_map<std::string, std::uint32_t>;

struct TfidfMethodConfig {
    // Auto (or any value outside the enumeration): identify_best_language(text).
    Language language = Language::Auto;
    // Phrases returned at most; 0 keeps all.
    std::uint32_t top_k = 10;
    // Phrase lengths kept, in words (0 is read as 1).
    std::uint32_t min_words = 1;
    std::uint32_t max_words = 3;
    // Corpus statistics: documents holding each phrase by stem key (a PhraseFrequencyTable made
    // from a DocumentFrequency), and the documents counted. Used when document_frequency is set
    // and total_documents > 0; counts above total_documents are read as total_documents.
    std::shared_ptr<const PhraseFrequencyTable> document_frequency;
    std::uint32_t total_documents = 0;
    // Tenant whose stopwords apply during the call (stopwords::ScopedTenant); empty for none.
    std::string tenant_id;
    // Further stopwords for this call only, compared lower-cased.
    std::unordered_set<std::string> extra_stopwords;
};

// The phrases of text by tf-idf, best first, at most config.top_k. Keyword::text is the most
// frequent spelling, score the tf-idf weight divided by the best one (in (0, 1], the first is
// 1), count tf, first_position the word index of the first occurrence; spans are every
// occurrence in text order, never overlapping. Any bytes are accepted. Linear in the text.
std::vector<SpannedKeyword> tfidf_keyphrases(std::string_view text,
                                             const TfidfMethodConfig& config);

// The same keyphrases into out, cleared first and filled in the same order: a caller that
// keeps out from one call to the next allocates nothing for the results once it has grown.
void tfidf_keyphrases(std::string_view text, const TfidfMethodConfig& config, FlatKeyphrases& out);

}  // namespace kezo
