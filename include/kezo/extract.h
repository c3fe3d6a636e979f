// Keyword extraction: candidate n-grams, the four scoring algorithms, the one-call front end and
// the weighted ensemble. Every function returns keywords sorted by score, highest first, cut to
// top_k (0 keeps all); keywords of equal score keep the order of their first occurrence.
// Stopword tests go through stopwords::is_stop, so tenant stopwords apply while a
// stopwords::ScopedTenant is alive on the calling thread. All functions are thread-safe.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "kezo/language.h"
#include "kezo/types.h"

namespace kezo {

namespace internal {

// Candidate phrases of tokens, one entry per occurrence: runs of content tokens (words that are
// not stopwords of lang) of min_n..max_n tokens, ordered by block, then length, then start.
// Words are joined by one blank, or by nothing when every token of the block starts with an
// ideograph. A run longer than max_n is cut into consecutive blocks of max_n tokens and no
// candidate crosses a cut; a min_n of 0 acts as 1. Auto is not detected here: the stopword
// tables read it as English.
// Cost: a run of r content tokens gives about r * m / 2 candidates of up to m tokens, m =
// min(r, max_n), so the output grows with the square of max_n on long runs (split ideographs).
std::vector<std::string> build_ngrams(const std::vector<Token>& tokens, Language lang,
                                      unsigned min_n, unsigned max_n);

}  // namespace internal

// Number of documents of docs whose candidates (internal::build_ngrams with the same arguments)
// contain each candidate text.
std::unordered_map<std::string, unsigned int> build_corpus_df(
    const std::vector<std::vector<Token>>& docs, Language lang, unsigned min_n, unsigned max_n);

// TF-IDF over the candidates of one document. With df null the inverse document frequency is
// taken within the document; with a table, config.total_documents is the corpus size.
// count = occurrences, first_position = index of the first occurrence in the candidate list.
std::vector<Keyword> tfidf_extract(const std::vector<Token>& tokens, Language lang,
                                   const TFIDFConfig& config,
                                   const std::unordered_map<std::string, unsigned int>* df);

// YAKE-style scoring from term frequency, position, dispersion, casing and relatedness of the
// single terms among the candidates; higher is better. count and first_position as TF-IDF.
// Cost: besides the candidates, O(n * min(window, n)) for n candidate occurrences.
std::vector<Keyword> yake_extract(const std::vector<Token>& tokens, Language lang,
                                  const YAKEConfig& config);

// PageRank over the co-occurrence graph of content words; a candidate scores the sum of the
// ranks of the tokens it spans (ideograph phrases included) per occurrence.
// count = occurrences, first_position = 0.
// Cost: besides the candidates, O(w * min(window, w)) for w content words.
std::vector<Keyword> textrank_extract(const std::vector<Token>& tokens, Language lang,
                                      const TextRankConfig& config);

// RAKE: phrases cut at stopwords and punctuation, words scored degree / frequency, phrases by
// the sum of their word scores per occurrence. count = times retained, first_position = 0.
std::vector<Keyword> rake_extract(const std::vector<Token>& tokens, Language lang,
                                  const RAKEConfig& config);

// One call from raw text: resolves Auto by detection, activates config.tenant_id for the call,
// tokenizes with config.tokenizer (lower-casing forced on) and runs config.algorithm with its
// fixed parameters. An algorithm outside the enumeration gives an empty list.
// max_n is used as given: see build_ngrams for its cost on long runs of content tokens.
std::vector<Keyword> extract_keywords(const std::string& text, const ExtractConfig& config);

// Runs TF-IDF, YAKE, TextRank and RAKE on one tokenization of text (config.tokenizer as given),
// rescales each list to 0..1 from its first and last scores, and sums the weighted results per
// keyword text; counts add up and first_position is the first non-zero one. max_n is used as
// given, with the cost told at build_ngrams.
std::vector<Keyword> extract_keywords_ensemble(const std::string& text,
                                               const EnsembleConfig& config);

}  // namespace kezo
