// Shared machinery of the extractors: content-token marks, the candidate scan, the mapping of
// candidate texts to dense ids, and ranking by score.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kezo/language.h"
#include "kezo/types.h"

namespace kezo::internal {

// mark[k] is true when tokens[k] is a word and not a stopword of lang. Each word token is tested
// against the stopword lists exactly once; punctuation tokens are never looked up.
std::vector<bool> mark_content_tokens(const std::vector<Token>& tokens, Language lang);

// True when every token of [begin, end) starts with an ideograph, so the block's candidates are
// joined without blanks.
bool joins_without_blanks(const std::vector<Token>& tokens, std::size_t begin, std::size_t end);

// Walks the candidates in candidate-list order (block, then length, then start): calls
// on_block(begin, end) once per block of content tokens [begin, end), then on_span(start, n)
// for each of its candidates, the n tokens from index start.
//
// A run of content tokens longer than max_n is cut into consecutive blocks of max_n tokens: the
// scan resumes at the cut, so every content word still belongs to some block. Zero-length
// windows (min_n 0) emit nothing, since an empty string is no keyword. Every loop is bounded by
// the block or token count, so huge max_n values cost nothing extra.
template <class OnBlock, class OnSpan>
void for_each_candidate_span(const std::vector<bool>& marks, unsigned min_n, unsigned max_n,
                             OnBlock&& on_block, OnSpan&& on_span) {
    const std::size_t size = marks.size();
    if (max_n < min_n || max_n == 0 || size == 0) return;
    const std::size_t shortest = std::max(min_n, 1u);
    std::size_t i = 0;
    while (i < size) {
        if (!marks[i]) {
            ++i;
            continue;
        }
        const std::size_t limit = i + std::min<std::size_t>(max_n, size - i);
        std::size_t end = i;
        while (end < limit && marks[end]) ++end;
        on_block(i, end);
        const std::size_t longest = end - i;
        for (std::size_t n = shortest; n <= longest; ++n)
            for (std::size_t s = i; s + n <= end; ++s) on_span(s, n);
        // A block stopped by a non-content token steps over it; one cut at max_n resumes at the
        // cut, so the rest of the run forms the next block.
        i = (end < size && !marks[end]) ? end + 1 : end;
    }
}

// Calls emit(const std::string& text) for every candidate, in candidate-list order, with the
// words of a block joined by one blank, or by nothing when every token of the block starts with
// an ideograph. One buffer is reused for all texts.
template <class Emit>
void for_each_candidate(const std::vector<Token>& tokens, const std::vector<bool>& marks,
                        unsigned min_n, unsigned max_n, Emit&& emit) {
    std::string buffer;
    std::string_view separator;
    for_each_candidate_span(
        marks, min_n, max_n,
        [&](std::size_t begin, std::size_t end) {
            separator = joins_without_blanks(tokens, begin, end) ? "" : " ";
        },
        [&](std::size_t start, std::size_t n) {
            buffer.assign(tokens[start].text);
            for (std::size_t k = start + 1; k < start + n; ++k) {
                buffer.append(separator);
                buffer.append(tokens[k].text);
            }
            emit(static_cast<const std::string&>(buffer));
        });
}

// The candidates of one document as dense ids, numbered in order of first occurrence.
struct CandidateIds {
    unsigned min_n = 0, max_n = 0;         // the length bounds the candidates were built with
    std::vector<std::uint32_t> sequence;   // id of every candidate occurrence, in list order
    std::vector<std::uint32_t> first;      // id -> index of its first occurrence in the list
    std::vector<std::uint32_t> count;      // id -> number of occurrences
    std::vector<const std::string*> text;  // id -> text (a key of `index`)
    std::unordered_map<std::string, std::uint32_t> index;  // text -> id

    std::size_t distinct() const { return text.size(); }
};

// Maps the candidates of tokens (as for_each_candidate with these marks) to ids.
CandidateIds map_candidates(const std::vector<Token>& tokens, const std::vector<bool>& marks,
                            unsigned min_n, unsigned max_n);

// The scoring stage of each extractor, on a document already marked and mapped to candidate
// ids. The public functions build these inputs; the ensemble builds them once and shares them.
std::vector<Keyword> tfidf_rank(const CandidateIds& ids, const TFIDFConfig& config,
                                const std::unordered_map<std::string, unsigned int>* df);
std::vector<Keyword> yake_rank(const CandidateIds& ids, const YAKEConfig& config);
std::vector<Keyword> textrank_rank(const std::vector<Token>& tokens, const std::vector<bool>& marks,
                                   const CandidateIds& ids, const TextRankConfig& config);
std::vector<Keyword> rake_rank(const std::vector<Token>& tokens, const std::vector<bool>& marks,
                               const RAKEConfig& config);

// Indices into scores ordered by score, highest first, cut to top_k (0 keeps all). Equal scores
// keep ascending index order; NaN ranks below every number.
std::vector<std::uint32_t> rank_by_score(const std::vector<double>& scores, unsigned top_k);

// An algorithm configuration with its defaults except the n-gram range and top_k, which come from
// the one-call front end or the ensemble.
template <class AlgorithmConfig>
AlgorithmConfig with_range(const ExtractConfig& config, unsigned top_k) {
    AlgorithmConfig c;
    c.min_n = config.min_n;
    c.max_n = config.max_n;
    c.top_k = top_k;
    return c;
}

// RAKE's configuration from the same fields: phrase lengths 0 stand for RAKE's own 1 and 4.
inline RAKEConfig rake_from(const ExtractConfig& config, unsigned top_k, bool include_words) {
    RAKEConfig c;
    c.min_phrase_length = config.min_n == 0 ? 1 : config.min_n;
    c.max_phrase_length = config.max_n == 0 ? 4 : config.max_n;
    c.top_k = top_k;
    c.include_words = include_words;
    return c;
}

// The candidates of ids as keywords ranked by scores (indexed by id), cut to top_k. TextRank
// reports no first position, so with_first_position false leaves it 0.
std::vector<Keyword> ranked_keywords(const CandidateIds& ids, const std::vector<double>& scores,
                                     unsigned top_k, bool with_first_position);

}  // namespace kezo::internal
