// Phrase scoring.
//
// A word matters when it recurs, appears early and keeps company with other words that matter.
// Those three signals meet in one random walk over the co-occurrence graph of the terms (stems):
// at each step the walker either follows an edge (weighted by how often the two terms occur
// within `window` content words of each other in one sentence) or jumps to a term with a
// probability proportional to its occurrences, each weighted by how early it comes. The
// stationary weight of a term, scaled so that the average term weighs 1, is its weight.
//
// A phrase scores the sum of its terms' weights, divided by words^length_penalty so that long
// phrases do not win by length alone, times count^frequency_weight (a phrase that recurs as a
// whole is a name for something) and a bonus for a first occurrence early in the text.
#include "scoring.h"

#include <algorithm>
#include <cmath>

namespace kezo::keyphrase {
namespace {

struct Edge {
    std::uint32_t to;
    double weight;
};

// Stationary distribution of the walk; sums to 1.
std::vector<double> term_weights(const Candidates& c, const ScoringParams& params) {
    const std::size_t count = c.terms.size();
    std::vector<double> jump(count, 0.0);
    double total = 0.0;
    for (std::size_t t = 0; t < count; ++t) {
        jump[t] = c.terms[t].connector ? 0.0 : c.terms[t].early;
        total += jump[t];
    }
    if (total <= 0.0) return jump;
    for (double& j : jump) j /= total;

    // Co-occurrence edges between content words at most `window` content words apart, in
    // one sentence. Collected as pairs, then merged per node.
    std::vector<std::vector<Edge>> edges(count);
    const std::size_t window = std::max<std::uint32_t>(params.window, 1);
    std::vector<std::size_t> recent;  // word indices of the last content words of this sentence
    for (std::size_t i = 0; i < c.words.size(); ++i) {
        const std::uint32_t t = c.word_term[i];
        if (t == kNoTerm || c.terms[t].connector) continue;
        if (!recent.empty() && c.words[recent.back()].sentence != c.words[i].sentence)
            recent.clear();
        for (std::size_t r : recent) {
            const std::uint32_t u = c.word_term[r];
            if (u == t) continue;
            edges[t].push_back({u, 1.0});
            edges[u].push_back({t, 1.0});
        }
        recent.push_back(i);
        if (recent.size() > window) recent.erase(recent.begin());
    }
    std::vector<double> out_weight(count, 0.0);
    for (std::size_t t = 0; t < count; ++t) {
        auto& list = edges[t];
        std::sort(list.begin(), list.end(), [](const Edge& a, const Edge& b) { return a.to < b.to; });
        std::size_t merged = 0;
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (merged > 0 && list[merged - 1].to == list[k].to)
                list[merged - 1].weight += list[k].weight;
            else
                list[merged++] = list[k];
        }
        list.resize(merged);
        for (const Edge& e : list) out_weight[t] += e.weight;
    }

    const double d = std::clamp(params.damping, 0.0, 1.0);
    std::vector<double> rank = jump, next(count);
    for (int iteration = 0; iteration < 60; ++iteration) {
        double dangling = 0.0;
        for (std::size_t t = 0; t < count; ++t)
            if (out_weight[t] == 0.0) dangling += rank[t];
        for (std::size_t t = 0; t < count; ++t) next[t] = ((1.0 - d) + d * dangling) * jump[t];
        for (std::size_t t = 0; t < count; ++t) {
            if (out_weight[t] == 0.0) continue;
            const double share = d * rank[t] / out_weight[t];
            for (const Edge& e : edges[t]) next[e.to] += share * e.weight;
        }
        double change = 0.0;
        for (std::size_t t = 0; t < count; ++t) change += std::fabs(next[t] - rank[t]);
        rank.swap(next);
        if (change < 1e-9) break;
    }
    return rank;
}

}  // namespace

std::string phrase_stem_key(const Candidates& c, const Phrase& phrase) {
    std::string key;
    for (std::uint32_t t : phrase.terms) {
        if (!key.empty()) key.push_back(' ');
        const std::string& stem = c.terms[t].stem;
        key.append(c.terms[t].connector ? stem.substr(1) : stem);
    }
    return key;
}

std::vector<double> score_phrases(const Candidates& c, const ScoringParams& params) {
    const std::vector<double> rank = term_weights(c, params);
    std::size_t content_terms = 0;
    for (const Term& t : c.terms) content_terms += t.connector ? 0 : 1;
    const double scale = static_cast<double>(content_terms);
    const double words = std::max<double>(c.content_words, 1.0);
    const bool corpus = params.document_frequency != nullptr && params.total_documents > 0;

    std::vector<double> scores(c.phrases.size(), 0.0);
    for (std::size_t p = 0; p < c.phrases.size(); ++p) {
        const Phrase& phrase = c.phrases[p];
        double sum = 0.0;
        for (std::uint32_t t : phrase.terms)
            if (!c.terms[t].connector) sum += rank[t] * scale;
        double score = sum / std::pow(static_cast<double>(phrase.content_words),
                                      params.length_penalty);
        score *= std::pow(static_cast<double>(phrase.count), params.frequency_weight);
        score *= 1.0 + params.first_position_weight * (1.0 - phrase.first_content / words);
        if (corpus) {
            const auto found = params.document_frequency->find(phrase_stem_key(c, phrase));
            const double df = found == params.document_frequency->end() ? 0.0 : found->second;
            score *= std::log((params.total_documents + 1.0) / (df + 1.0)) + 1.0;
        }
        scores[p] = std::isfinite(score) && score > 0.0 ? score : 0.0;
    }
    return scores;
}

}  // namespace kezo::keyphrase
