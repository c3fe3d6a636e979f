// TextRank: PageRank over the undirected co-occurrence graph of the content words; candidates
// score the sum of their words' ranks once per occurrence.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "candidates.h"
#include "kezo/extract.h"

namespace kezo {
namespace {

// Neighbour lists of the word graph, ascending and free of duplicates, stored as slices of one
// array. Two distinct words are joined when they occur within `window` content words.
struct Graph {
    std::vector<std::uint32_t> start;  // node -> offset of its slice; start[node + 1] ends it
    std::vector<std::uint32_t> adjacent;

    std::size_t degree(std::size_t node) const { return start[node + 1] - start[node]; }
};

Graph build_graph(const std::vector<std::uint32_t>& words, std::size_t nodes, unsigned window) {
    // Occurrences of every node, so each node's neighbours are gathered in one pass.
    std::vector<std::uint32_t> occ_start(nodes + 1, 0);
    for (std::uint32_t w : words) ++occ_start[w + 1];
    for (std::size_t n = 0; n < nodes; ++n) occ_start[n + 1] += occ_start[n];
    std::vector<std::uint32_t> occurrences(words.size());
    std::vector<std::uint32_t> fill(occ_start.begin(), occ_start.end() - 1);
    for (std::size_t i = 0; i < words.size(); ++i)
        occurrences[fill[words[i]]++] = static_cast<std::uint32_t>(i);

    Graph graph;
    graph.start.assign(nodes + 1, 0);
    const std::size_t length = words.size();
    const std::size_t reach = std::min<std::size_t>(window, length);
    // seen[b] == a + 1 once b has been listed as a neighbour of a.
    std::vector<std::uint32_t> seen(nodes, 0);
    for (std::size_t a = 0; a < nodes; ++a) {
        const std::size_t first = graph.adjacent.size();
        auto link = [&](std::uint32_t b) {
            if (b != a && seen[b] != a + 1) {
                seen[b] = static_cast<std::uint32_t>(a + 1);
                graph.adjacent.push_back(b);
            }
        };
        for (std::size_t k = occ_start[a]; k < occ_start[a + 1]; ++k) {
            const std::size_t i = occurrences[k];
            for (std::size_t d = 1; d <= reach; ++d) {
                if (i + d < length) link(words[i + d]);
                if (i >= d) link(words[i - d]);
            }
        }
        std::sort(graph.adjacent.begin() + first, graph.adjacent.end());
        graph.start[a + 1] = static_cast<std::uint32_t>(graph.adjacent.size());
    }
    return graph;
}

std::vector<double> page_rank(const Graph& graph, std::size_t nodes, const TextRankConfig& c) {
    const double n = static_cast<double>(nodes);
    std::vector<double> rank(nodes, 1.0 / n), next(nodes);
    const double d = c.damping;
    for (std::uint32_t iteration = 0; iteration < c.max_iter; ++iteration) {
        // Dangling nodes spread their rank over every node; their share is added once.
        double dangling = 0.0;
        std::fill(next.begin(), next.end(), (1.0 - d) / n);
        for (std::size_t j = 0; j < nodes; ++j) {
            const double share = d * rank[j];
            const std::size_t degree = graph.degree(j);
            if (degree == 0) {
                dangling += share / n;
                continue;
            }
            const double each = share / static_cast<double>(degree);
            for (std::size_t k = graph.start[j]; k < graph.start[j + 1]; ++k)
                next[graph.adjacent[k]] += each;
        }
        double change = 0.0;
        for (std::size_t j = 0; j < nodes; ++j) {
            next[j] += dangling;
            change += std::fabs(next[j] - rank[j]);
        }
        rank.swap(next);
        // A change of exactly 0 is a fixed point and NaN ranks stay NaN: further rounds would
        // repeat them unchanged, so stopping there keeps the result without spinning to max_iter.
        if (change < c.tol || change == 0.0 || std::isnan(change)) break;
    }
    return rank;
}

}  // namespace

std::vector<Keyword> textrank_extract(const std::vector<Token>& tokens, Language lang,
                                      const TextRankConfig& config) {
    if (tokens.empty()) return {};
    const std::vector<bool> marks = internal::mark_content_tokens(tokens, lang);
    // Without a content word there is nothing to rank: skip building the candidates.
    if (std::find(marks.begin(), marks.end(), true) == marks.end()) return {};
    return internal::textrank_rank(
        tokens, marks, internal::map_candidates(tokens, marks, config.min_n, config.max_n), config);
}

std::vector<Keyword> internal::textrank_rank(const std::vector<Token>& tokens,
                                             const std::vector<bool>& marks,
                                             const CandidateIds& ids,
                                             const TextRankConfig& config) {
    // Vocabulary in order of first occurrence; keys view the token texts, which outlive the call.
    std::unordered_map<std::string_view, std::uint32_t> vocabulary;
    std::vector<std::uint32_t> words;
    std::vector<std::uint32_t> node_of_token(tokens.size());
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (!marks[k]) continue;
        const auto next = static_cast<std::uint32_t>(vocabulary.size());
        node_of_token[k] = vocabulary.try_emplace(tokens[k].text, next).first->second;
        words.push_back(node_of_token[k]);
    }
    if (words.empty()) return {};
    const std::size_t nodes = vocabulary.size();
    const Graph graph = build_graph(words, nodes, config.window);
    const std::vector<double> rank = page_rank(graph, nodes, config);

    // Every occurrence of a candidate adds the sum of the ranks of the tokens it spans. The
    // words are taken by position, not by splitting the text at blanks, so ideograph phrases
    // (joined without blanks) score from their characters like any other phrase.
    std::vector<double> scores(ids.distinct(), 0.0);
    std::size_t occurrence = 0;
    internal::for_each_candidate_span(
        marks, ids.min_n, ids.max_n, [](std::size_t, std::size_t) {},
        [&](std::size_t start, std::size_t n) {
            double sum = 0.0;
            for (std::size_t k = start; k < start + n; ++k) sum += rank[node_of_token[k]];
            scores[ids.sequence[occurrence++]] += sum;
        });

    return internal::ranked_keywords(ids, scores, config.top_k, false);
}

}  // namespace kezo
