// YAKE-style scoring: single terms get a feature score from their occurrences among the
// candidates (lower is more characteristic); phrases combine the scores of their words.
#include <algorithm>
#include <cmath>

#include "candidates.h"
#include "kezo/extract.h"

namespace kezo {
namespace {

bool has_ascii_capital(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// Positions of every id as slices of one array (ascending within each slice).
struct Positions {
    std::vector<std::uint32_t> start;  // id -> offset of its slice; start[id + 1] ends it
    std::vector<std::uint32_t> list;

    Positions(const std::vector<std::uint32_t>& sequence, const std::vector<std::uint32_t>& count)
        : start(count.size() + 1, 0), list(sequence.size()) {
        for (std::size_t id = 0; id < count.size(); ++id) start[id + 1] = start[id] + count[id];
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (std::size_t p = 0; p < sequence.size(); ++p)
            list[fill[sequence[p]]++] = static_cast<std::uint32_t>(p);
    }
    const std::uint32_t* begin(std::size_t id) const { return list.data() + start[id]; }
    std::size_t size(std::size_t id) const { return start[id + 1] - start[id]; }
};

// P: ln(median + 3). D: population standard deviation over mean, plus 1 (1 when the mean is 0).
void position_features(const std::uint32_t* pos, std::size_t n, double& position,
                       double& dispersion) {
    if (n == 0) {
        position = std::log(3.0);
        dispersion = 1.0;
        return;
    }
    const double median =
        n % 2 ? pos[n / 2] : (static_cast<double>(pos[n / 2 - 1]) + pos[n / 2]) / 2.0;
    position = std::log(median + 3.0);
    double sum = 0.0;
    for (std::size_t k = 0; k < n; ++k) sum += pos[k];
    const double mean = sum / n;
    double squares = 0.0;
    for (std::size_t k = 0; k < n; ++k) squares += (pos[k] - mean) * (pos[k] - mean);
    const double sigma = n > 1 ? std::sqrt(squares / n) : 0.0;
    dispersion = mean > 0 ? sigma / mean + 1.0 : 1.0;
}

}  // namespace

std::vector<Keyword> yake_extract(const std::vector<Token>& tokens, Language lang,
                                  const YAKEConfig& config) {
    if (tokens.empty()) return {};
    const std::vector<bool> marks = internal::mark_content_tokens(tokens, lang);
    return internal::yake_rank(internal::map_candidates(tokens, marks, config.min_n, config.max_n),
                               config);
}

std::vector<Keyword> internal::yake_rank(const CandidateIds& ids, const YAKEConfig& config) {
    const std::size_t distinct = ids.distinct();
    if (distinct == 0) return {};
    const std::vector<std::uint32_t>& seq = ids.sequence;
    const std::size_t length = seq.size();

    std::vector<bool> single(distinct);
    for (std::size_t id = 0; id < distinct; ++id)
        single[id] = ids.text[id]->find(' ') == std::string::npos;
    const double mean_tf = static_cast<double>(length) / static_cast<double>(distinct);
    const Positions positions(seq, ids.count);

    // Relatedness of each single term from its neighbours within `window` entries, counted per
    // neighbour in a scratch array that is reset through the list of touched ids. The distance
    // loop stops at the sequence length, whatever the window.
    const std::size_t reach = std::min<std::size_t>(config.window, length);
    std::vector<std::uint32_t> neighbour_count(distinct, 0);
    std::vector<std::uint32_t> touched;
    std::vector<double> term_score(distinct, 0.0);
    for (std::size_t t = 0; t < distinct; ++t) {
        if (!single[t]) continue;
        const std::uint32_t* pos = positions.begin(t);
        const std::size_t n = positions.size(t);
        auto note = [&](std::uint32_t u) {
            if (!single[u]) return;
            if (neighbour_count[u]++ == 0) touched.push_back(u);
        };
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t p = pos[k];
            for (std::size_t d = 1; d <= reach; ++d) {
                if (p + d < length) note(seq[p + d]);
                if (p >= d) note(seq[p - d]);
            }
        }
        double relatedness = 1.0;
        for (std::uint32_t u : touched) {
            const double c = neighbour_count[u];
            relatedness += 1.0 / (c * std::log(c + 1.0));
            neighbour_count[u] = 0;
        }
        touched.clear();

        const double tf = ids.count[t];
        const double frequency = mean_tf > 0 ? tf / mean_tf : 0.0;
        double position = 0.0, dispersion = 0.0;
        position_features(pos, n, position, dispersion);
        // Every occurrence of one id has the same text, so upper / tf is 0 or 1.
        const double casing = has_ascii_capital(*ids.text[t]) ? 2.0 : 1.0;
        term_score[t] = (frequency * position) / (dispersion * relatedness * casing);
    }

    std::vector<double> scores(distinct);
    std::string word;  // reused lookup key for the words of a phrase
    for (std::size_t c = 0; c < distinct; ++c) {
        if (single[c]) {
            scores[c] = 1.0 / (1.0 + term_score[c]);
            continue;
        }
        // Aggregate of the scores of the phrase's words that are single-term candidates. The
        // geometric mean is taken through logarithms so long phrases neither underflow to 0
        // nor overflow to infinity; term scores are always positive.
        const std::string& text = *ids.text[c];
        double sum = 0.0, log_sum = 0.0;
        std::size_t included = 0;
        for (std::size_t from = 0; from <= text.size();) {
            std::size_t to = text.find(' ', from);
            if (to == std::string::npos) to = text.size();
            word.assign(text, from, to - from);
            const auto found = ids.index.find(word);
            if (found != ids.index.end() && single[found->second]) {
                const double s = term_score[found->second];
                sum += s;
                log_sum += std::log(s);
                ++included;
            }
            from = to + 1;
        }
        double aggregate = 0.0;
        if (included > 0)
            aggregate = config.product_mode ? std::exp(log_sum / static_cast<double>(included))
                                            : sum / static_cast<double>(included);
        scores[c] = mean_tf > 0 ? 1.0 / (aggregate * (ids.count[c] / mean_tf + 1.0) + 1.0)
                                : 1.0 / (aggregate + 1.0);
    }

    return internal::ranked_keywords(ids, scores, config.top_k, true);
}

}  // namespace kezo
