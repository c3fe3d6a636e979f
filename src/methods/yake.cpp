// YAKE over the keyphrase pipeline's words: five statistics per word, n-gram candidates inside
// clauses, de-duplication by edit-distance similarity.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "kezo/yake_method.h"
#include "method_words.h"

namespace kezo {

namespace {

using keyphrase::Word;

std::uint64_t pair_key(std::uint32_t left, std::uint32_t right) {
    return (static_cast<std::uint64_t>(left) << 32) | right;
}

// Whether 1 - Levenshtein distance / longer length, over bytes, exceeds threshold. The distance
// is at least the difference in length, and the smallest entry of a row of the distance table
// never shrinks, so most pairs are settled without the whole table: the same answer, sooner.
bool similar(const std::string& a, const std::string& b, double threshold,
             std::vector<std::uint32_t>& row) {
    if (a.empty() && b.empty()) return 1.0 > threshold;
    const double longer = static_cast<double>(std::max(a.size(), b.size()));
    const auto close = [&](std::size_t distance) {
        return 1.0 - static_cast<double>(distance) / longer > threshold;
    };
    const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (!close(gap)) return false;
    row.resize(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<std::uint32_t>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::uint32_t diagonal = row[0];
        row[0] = static_cast<std::uint32_t>(i);
        std::uint32_t least = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::uint32_t up = row[j];
            row[j] = std::min({up + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
            least = std::min(least, row[j]);
        }
        if (!close(least)) return false;
    }
    return close(row[b.size()]);
}

// Per-word statistics and the scores S(w) of content words.
struct TermStats {
    std::vector<double> score;                                  // S(w); 0 for stopwords
    std::vector<std::uint32_t> tf;                              // occurrences
    std::unordered_map<std::uint64_t, std::uint32_t> adjacent;  // (left, right) neighbours
};

TermStats term_stats(const keyphrase::Words& words, std::uint32_t window) {
    const auto& ws = words.words;
    const std::size_t terms = words.forms.size();
    TermStats st;
    st.tf.assign(terms, 0);
    std::vector<std::uint32_t> tf_upper(terms, 0), tf_acronym(terms, 0);
    std::vector<std::vector<std::uint32_t>> sentences(terms);
    std::vector<std::uint32_t> left_total(terms, 0), right_total(terms, 0);
    std::vector<std::uint32_t> left_distinct(terms, 0), right_distinct(terms, 0);
    std::unordered_map<std::uint64_t, std::uint32_t> near;  // within the window
    std::uint32_t sentence_count = 0;                       // sentences so far, word i's the last
    for (std::size_t i = 0; i < ws.size(); ++i) {
        const Word& w = ws[i];
        if (i == 0 || w.sentence_start) ++sentence_count;
        const std::uint32_t sentence = sentence_count - 1;
        ++st.tf[w.form];
        if (w.all_caps)
            ++tf_acronym[w.form];
        else if (w.capitalised && !w.sentence_start)
            ++tf_upper[w.form];
        auto& s = sentences[w.form];
        if (s.empty() || s.back() != sentence) s.push_back(sentence);
        for (std::size_t d = 1; d <= window && d <= i; ++d) {
            const Word& l = ws[i - d];
            if (l.segment != w.segment) break;
            if (++near[pair_key(l.form, w.form)] == 1) {
                ++left_distinct[w.form];
                ++right_distinct[l.form];
            }
            ++left_total[w.form];
            ++right_total[l.form];
            if (d == 1) ++st.adjacent[pair_key(l.form, w.form)];
        }
    }

    double sum = 0, sum_sq = 0, count = 0, max_tf = 0;
    // A form is a content word when any occurrence is (a supplement stopword written as a
    // name is one).
    std::vector<char> stop(terms, 1);
    for (const Word& w : ws)
        if (!w.stop) stop[w.form] = 0;
    for (std::size_t t = 0; t < terms; ++t) {
        if (stop[t] || st.tf[t] == 0) continue;
        sum += st.tf[t];
        sum_sq += static_cast<double>(st.tf[t]) * st.tf[t];
        count += 1;
        max_tf = std::max<double>(max_tf, st.tf[t]);
    }
    const double mean = count ? sum / count : 0;
    const double sd = count ? std::sqrt(std::max(0.0, sum_sq / count - mean * mean)) : 0;
    st.score.assign(terms, 0.0);
    for (std::size_t t = 0; t < terms; ++t) {
        if (stop[t] || st.tf[t] == 0) continue;
        const double tf = st.tf[t];
        const double casing = std::max(tf_upper[t], tf_acronym[t]) / (1.0 + std::log(tf));
        const auto& s = sentences[t];
        const std::size_t mid = s.size() / 2;
        const double median = s.size() % 2 ? s[mid] : (s[mid - 1] + s[mid]) / 2.0;
        const double position = std::log(std::log(3.0 + median));
        const double frequency = tf / (mean + sd);
        const double wl = left_total[t] ? double(left_distinct[t]) / left_total[t] : 0.0;
        const double wr = right_total[t] ? double(right_distinct[t]) / right_total[t] : 0.0;
        const double relatedness = 1.0 + (wl + wr) * tf / max_tf;
        const double spread = double(s.size()) / sentence_count;
        st.score[t] =
            relatedness * position / (casing + frequency / relatedness + spread / relatedness);
    }
    return st;
}

}  // namespace

std::vector<SpannedKeyword> extract_yake_keyphrases(const std::string& text,
                                                    const YakeConfig& config) {
    const keyphrase::Words words = methods::scan_method_words(text, config);
    const auto& ws = words.words;
    const std::uint32_t window = std::max<std::uint32_t>(config.window, 1);
    const TermStats st = term_stats(words, window);

    // Candidates: runs inside a segment neither starting nor ending with a stopword.
    const std::uint32_t max_words = std::max<std::uint32_t>(config.max_words, 1);
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    std::unordered_map<std::string, std::uint32_t> index;
    std::vector<std::vector<methods::Occurrence>> groups;
    for (std::size_t i = 0; i < ws.size(); ++i) {
        if (ws[i].stop) continue;
        for (std::uint32_t n = 1; n <= max_words && i + n <= ws.size(); ++n) {
            const Word& last = ws[i + n - 1];
            if (last.segment != ws[i].segment) break;
            if (last.stop || n < min_words) continue;
            const auto first = static_cast<std::uint32_t>(i);
            const auto at = index.emplace(methods::run_key(words, first, n),
                                          static_cast<std::uint32_t>(groups.size()));
            if (at.second) groups.emplace_back();
            groups[at.first->second].push_back({first, n});
        }
    }

    std::vector<double> score(groups.size());
    const auto chance = [&](std::uint32_t left, std::uint32_t right) {
        const auto it = st.adjacent.find(pair_key(left, right));
        return it == st.adjacent.end() ? 0.0 : double(it->second);
    };
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const methods::Occurrence& o = groups[g].front();
        double product = 1, sum = 0;
        for (std::uint32_t i = o.first; i < o.first + o.length; ++i) {
            const Word& w = ws[i];
            if (!w.stop) {
                product *= st.score[w.form];
                sum += st.score[w.form];
                continue;
            }
            const std::uint32_t prev = ws[i - 1].form, next = ws[i + 1].form;
            const double p =
                chance(prev, w.form) / st.tf[prev] * chance(w.form, next) / st.tf[next];
            product *= 2.0 - p;
            sum -= 1.0 - p;
        }
        const double tf = static_cast<double>(groups[g].size());
        score[g] = product / (tf * std::max(1.0 + sum, 1e-9));
    }

    std::vector<std::uint32_t> order(groups.size());
    for (std::uint32_t g = 0; g < order.size(); ++g) order[g] = g;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return score[a] < score[b]; });

    std::vector<SpannedKeyword> out;
    std::vector<std::uint32_t> row;
    for (const std::uint32_t g : order) {
        if (config.top_k && out.size() >= config.top_k) break;
        SpannedKeyword k = methods::make_keyphrase(words, groups[g], 1.0 / (1.0 + score[g]));
        const bool repeat =
            config.dedup_threshold < 1.0 &&
            std::any_of(out.begin(), out.end(), [&](const SpannedKeyword& kept) {
                return similar(k.keyword.text, kept.keyword.text, config.dedup_threshold, row);
            });
        if (!repeat) out.push_back(std::move(k));
    }
    return out;
}

}  // namespace kezo
