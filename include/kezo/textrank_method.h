// TextRank keyphrases: the words of a text ranked by a random walk over their co-occurrence
// graph, the best third of them marked as keywords, and runs of adjacent keywords joined into
// phrases.
//
// The graph has one vertex per content word (every inflected form counted as one word through
// its Snowball stem; stopwords, numbers and one-letter words are not vertices) and an undirected
// edge between two vertices whose words occur within `window` content words of each other in
// one sentence, weighted by how often they do. Vertex scores are the fixed point of weighted
// PageRank: S(v) = (1 - d) + d * sum over neighbours u of w(u, v) / W(u) * S(u), W(u) being the
// total weight at u. The best keyword_share of the vertices are the keywords; every maximal run
// of adjacent keywords inside one clause is a candidate phrase, scored by the sum of its word
// scores times the number of places where it stands as such a whole run, and scores are
// divided by the best one. The count keeps long texts, where a third of the words form many
// runs, from putting a one-off run of central words above the terms the text keeps using.
//
// Words, sentences, clauses, stopwords (built-in, custom, tenant and per-call) and stems are the
// keyphrase pipeline's (keyphrase.h), so both methods see the same words.
//
// Thread-safe: any number of threads may call textrank_keyphrases at once; it keeps no reference
// to its arguments and returns its result by value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "kezo/flat_keyphrases.h"
#include "kezo/language.h"
#include "kezo/spanned_keyword.h"

namespace kezo {

struct TextRankMethodConfig {
    // Auto (or any value outside the enumeration): identify_best_language(text).
    Language language = Language::Auto;
    // Phrases returned at most; 0 keeps all.
    std::uint32_t top_k = 10;
    // Phrase lengths kept, in words (0 is read as 1); a run of keywords longer than max_words
    // is not offered.
    std::uint32_t min_words = 1;
    std::uint32_t max_words = 3;
    // Two content words of one sentence are linked when at most window - 1 content words lie
    // between them; 0 and 1 are read as 2 (neighbours only).
    std::uint32_t window = 2;
    // Damping factor d of the ranking, in (0, 1); values outside are clamped into [0.01, 0.99].
    double damping = 0.85;
    // The ranking stops once no score moves by more than tol, or after max_iter rounds.
    std::uint32_t max_iter = 100;
    double tol = 1e-4;
    // Share of the vertices marked as keywords (at least one); clamped into (0, 1].
    double keyword_share = 1.0 / 3.0;
    // Tenant whose stopwords apply during the call (stopwords::ScopedTenant); empty for none.
    std::string tenant_id;
    // Further stopwords for this call only, compared lower-cased.
    std::unordered_set<std::string> extra_stopwords;
};

// The TextRank phrases of text, best first, at most config.top_k. Keyword::text is the most
// frequent spelling (as the keyphrase pipeline spells it), score the phrase score divided by the
// best one (in (0, 1], the first is 1), count the occurrences of the phrase's stems in a row,
// first_position the word index of the first one; spans are every such occurrence in text
// order, never overlapping. Any bytes are accepted. Time: linear in the text for the words and
// the graph (window edges per word), plus max_iter rounds over the edges.
std::vector<SpannedKeyword> textrank_keyphrases(std::string_view text,
                                                const TextRankMethodConfig& config);

// The same keyphrases into out, cleared first and filled in the same order: a caller that
// keeps out from one call to the next allocates nothing for the results once it has grown.
void textrank_keyphrases(std::string_view text, const TextRankMethodConfig& config,
                         FlatKeyphrases& out);

}  // namespace kezo
