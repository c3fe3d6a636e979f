// TextRank: co-occurrence graph, weighted PageRank, keywords, runs of keywords as phrases.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "../core/flat_records.h"
#include "kezo/stopwords.h"
#include "kezo/textrank_method.h"
#include "method_text.h"

namespace kezo {
namespace {

using keyphrase::Candidates;
using keyphrase::kNoTerm;

// The graph in compressed rows: the neighbours of vertex v are targets[rows[v] .. rows[v+1]).
struct Graph {
    std::vector<std::uint32_t> rows;
    std::vector<std::uint32_t> targets;
    std::vector<double> weights;
};

// Vertex of each word (kNoTerm for stopwords and connectors) and the number of vertices.
std::uint32_t word_vertices(const Candidates& c, std::vector<std::uint32_t>* vertex_of_word) {
    std::vector<std::uint32_t> vertex_of_term(c.terms.size(), kNoTerm);
    std::uint32_t vertices = 0;
    vertex_of_word->assign(c.words.words.size(), kNoTerm);
    for (std::size_t i = 0; i < c.words.words.size(); ++i) {
        const std::uint32_t t = c.term_of(i);
        if (t == kNoTerm || c.terms[t].connector) continue;
        if (vertex_of_term[t] == kNoTerm) vertex_of_term[t] = vertices++;
        (*vertex_of_word)[i] = vertex_of_term[t];
    }
    return vertices;
}

Graph build_graph(const Candidates& c, const std::vector<std::uint32_t>& vertex_of_word,
                  std::uint32_t vertices, std::uint32_t window) {
    std::vector<std::uint64_t> pairs;   // (low << 32 | high), one per co-occurrence
    std::vector<std::uint32_t> recent;  // the content words before the current one
    const auto& words = c.words.words;
    std::uint32_t sentence = 0, last_sentence = 0;  // of word i and of the last vertex word
    for (std::uint32_t i = 0; i < words.size(); ++i) {
        if (i > 0 && words[i].sentence_start) ++sentence;
        const std::uint32_t v = vertex_of_word[i];
        if (v == kNoTerm) continue;
        if (!recent.empty() && last_sentence != sentence) recent.clear();
        for (std::uint32_t k = 0; k < recent.size(); ++k) {
            const std::uint32_t j = recent[k];
            const std::uint32_t u = vertex_of_word[j];
            if (u == v) continue;
            pairs.push_back(static_cast<std::uint64_t>(std::min(u, v)) << 32 | std::max(u, v));
        }
        recent.push_back(i);
        if (recent.size() > window - 1) recent.erase(recent.begin());
        last_sentence = sentence;
    }
    std::sort(pairs.begin(), pairs.end());
    // Both directions of each distinct pair, with its count.
    struct Edge {
        std::uint32_t from, to;
        double weight;
    };
    std::vector<Edge> edges;
    for (std::size_t k = 0; k < pairs.size();) {
        std::size_t end = k;
        while (end < pairs.size() && pairs[end] == pairs[k]) ++end;
        const auto u = static_cast<std::uint32_t>(pairs[k] >> 32);
        const auto v = static_cast<std::uint32_t>(pairs[k] & 0xFFFFFFFFu);
        const auto weight = static_cast<double>(end - k);
        edges.push_back({u, v, weight});
        edges.push_back({v, u, weight});
        k = end;
    }
    Graph g;
    g.rows.assign(vertices + 1, 0);
    for (const Edge& e : edges) ++g.rows[e.from + 1];
    std::partial_sum(g.rows.begin(), g.rows.end(), g.rows.begin());
    g.targets.resize(edges.size());
    g.weights.resize(edges.size());
    std::vector<std::uint32_t> fill(g.rows.begin(), g.rows.end() - 1);
    for (const Edge& e : edges) {
        g.targets[fill[e.from]] = e.to;
        g.weights[fill[e.from]++] = e.weight;
    }
    return g;
}

// Weighted PageRank by Jacobi rounds from scores of 1.
std::vector<double> rank(const Graph& g, std::uint32_t vertices, const TextRankMethodConfig& cf) {
    const double d = std::isfinite(cf.damping) ? std::clamp(cf.damping, 0.01, 0.99) : 0.85;
    const double tol = cf.tol > 0.0 ? cf.tol : 1e-4;
    std::vector<double> total(vertices, 0.0);
    for (std::uint32_t v = 0; v < vertices; ++v)
        for (std::uint32_t e = g.rows[v]; e < g.rows[v + 1]; ++e) total[v] += g.weights[e];
    std::vector<double> score(vertices, 1.0), next(vertices), share(vertices);
    for (std::uint32_t round = 0; round < std::max<std::uint32_t>(cf.max_iter, 1); ++round) {
        for (std::uint32_t v = 0; v < vertices; ++v)
            share[v] = total[v] > 0.0 ? score[v] / total[v] : 0.0;
        double moved = 0.0;
        for (std::uint32_t v = 0; v < vertices; ++v) {
            double sum = 0.0;
            for (std::uint32_t e = g.rows[v]; e < g.rows[v + 1]; ++e)
                sum += g.weights[e] * share[g.targets[e]];
            next[v] = (1.0 - d) + d * sum;
            moved = std::max(moved, std::abs(next[v] - score[v]));
        }
        score.swap(next);
        if (moved < tol) break;
    }
    return score;
}

}  // namespace

void textrank_keyphrases(std::string_view text, const TextRankMethodConfig& config,
                         FlatKeyphrases& out) {
    const Language lang = methods::resolve_language(text, config.language);
    const stopwords::ScopedTenant tenant(config.tenant_id);
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    const std::uint32_t max_words = std::max(config.max_words, min_words);
    const Candidates c =
        methods::method_candidates(text, lang, max_words, false, config.extra_stopwords);

    std::vector<std::uint32_t> vertex_of_word;
    const std::uint32_t vertices = word_vertices(c, &vertex_of_word);
    if (vertices == 0) {
        out.clear();
        return;
    }
    const Graph g =
        build_graph(c, vertex_of_word, vertices, std::max<std::uint32_t>(config.window, 2));
    const std::vector<double> score = rank(g, vertices, config);

    // The keywords: the best share of the vertices, earlier first on a tie.
    double share = std::isfinite(config.keyword_share) ? config.keyword_share : 1.0 / 3.0;
    share = std::clamp(share, 1e-9, 1.0);
    const auto wanted =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::ceil(share * vertices - 1e-9)));
    std::vector<std::uint32_t> order(vertices);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return score[a] > score[b]; });
    std::vector<char> keyword(vertices, 0);
    for (std::uint32_t k = 0; k < std::min(wanted, vertices); ++k) keyword[order[k]] = 1;

    const auto& words = c.words.words;
    const auto is_keyword = [&](std::int64_t i, std::uint32_t segment) {
        if (i < 0 || i >= static_cast<std::int64_t>(words.size())) return false;
        const std::uint32_t v = vertex_of_word[static_cast<std::size_t>(i)];
        return v != kNoTerm && keyword[v] && words[static_cast<std::size_t>(i)].segment == segment;
    };
    std::vector<char> offered(c.phrases.size(), 0);
    std::vector<std::uint32_t> runs(c.phrases.size(), 0);  // occurrences as a maximal run
    keyphrase::for_each_occurrence(c, [&](const keyphrase::Occurrence& o) {
        const keyphrase::Phrase& p = c.phrases[o.phrase];
        const auto length = static_cast<std::uint32_t>(p.size);
        if (length < min_words) return;
        const std::uint32_t segment = words[o.start].segment;
        bool run = true;
        for (std::uint32_t k = 0; k < length && run; ++k) run = is_keyword(o.start + k, segment);
        if (!run) return;
        if ((is_keyword(static_cast<std::int64_t>(o.start) - 1, segment) ||
             is_keyword(o.start + length, segment)))
            return;
        offered[o.phrase] = 1;
        ++runs[o.phrase];
    });
    std::vector<double> phrase_score(c.phrases.size(), 0.0);
    // Term -> vertex, through the words.
    std::vector<std::uint32_t> vertex_of_term(c.terms.size(), kNoTerm);
    for (std::size_t i = 0; i < words.size(); ++i)
        if (vertex_of_word[i] != kNoTerm) vertex_of_term[c.term_of(i)] = vertex_of_word[i];
    for (std::size_t p = 0; p < c.phrases.size(); ++p) {
        if (!offered[p]) continue;
        // The sum of the word scores (a phrase of keywords outranks each of its words) times
        // the times the phrase stands as a whole run: on a long text, where a third of the
        // words make many runs, a one-off run of central words would otherwise beat a term
        // the text keeps using.
        double sum = 0.0;
        for (std::uint32_t t : c.phrase_terms(p)) sum += score[vertex_of_term[t]];
        phrase_score[p] = sum * runs[p];
    }
    methods::scale_to_best(phrase_score, &offered);

    keyphrase::SelectionOptions selection;
    selection.top_k = config.top_k;
    selection.keep_near_duplicates = true;  // every maximal run is its own phrase
    selection.spans = true;
    selection.offered = &offered;
    keyphrase::select_keyphrases(c, phrase_score, selection, out);
}

std::vector<SpannedKeyword> textrank_keyphrases(std::string_view text,
                                                const TextRankMethodConfig& config) {
    return records_of([&](FlatKeyphrases& out) { textrank_keyphrases(text, config, out); });
}

}  // namespace kezo
