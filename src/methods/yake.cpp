// YAKE over the keyphrase pipeline's words: five statistics per word, n-gram candidates inside
// clauses, de-duplication by edit-distance similarity.
#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "../core/flat_records.h"
#include "../core/thread_scratch.h"
#include "kezo/yake_method.h"
#include "method_words.h"
#include "stamped_table.h"

namespace kezo {

namespace {

using keyphrase::Word;

std::uint64_t pair_key(std::uint32_t left, std::uint32_t right) {
    return (static_cast<std::uint64_t>(left) << 32) | right;
}

// Whether 1 - Levenshtein distance / longer length, over bytes, exceeds threshold. The distance
// is at least the difference in length, and the smallest entry of a row of the distance table
// never shrinks, so most pairs are settled without the whole table: the same answer, sooner.
bool similar(std::string_view a, std::string_view b, double threshold,
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

// What a call works on, kept by each thread from one call to the next, so that a call
// allocates only what it returns. A call that needed more than kKeptItems of any of them gives
// that memory back when it ends.
struct Scratch {
    static constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    keyphrase::Words words;  // of the text
    // By form: occurrences, capitalised ones (not at a sentence start), acronyms, the last
    // sentence seen, distinct sentences and where their list starts in sentences.
    std::vector<std::uint32_t> tf, tf_upper, tf_acronym, last_sentence, distinct, sentences_begin;
    std::vector<std::uint32_t> sentences;  // each form's distinct sentences, in order
    std::vector<std::uint32_t> left_total, right_total, left_distinct, right_distinct;
    std::vector<char> stop;          // by form: no occurrence is a content word
    std::vector<double> score;       // S(w) by form; 0 for stopwords
    methods::StampedTable near;      // (left, right) pairs within the window: occurrences
    methods::StampedTable adjacent;  // (left, right) neighbours: occurrences
    methods::StampedTable packed;    // candidate groups by packed forms
    // Candidates: each occurrence's group, then each group's occurrences in text order.
    struct Found {
        std::uint32_t group, first, length;
    };
    std::vector<Found> found;
    std::vector<std::uint32_t> group_begin;        // by group, into occurrences
    std::vector<methods::Occurrence> occurrences;  // grouped
    std::vector<double> candidate_score;           // by group
    std::vector<std::uint32_t> order, row;

    void trim() {
        if (words.words.capacity() > kKeptItems || words.forms.capacity() > kKeptItems ||
            sentences.capacity() > kKeptItems || found.capacity() > kKeptItems ||
            near.capacity() > 2 * kKeptItems || packed.capacity() > 2 * kKeptItems)
            *this = Scratch();
    }
};

// The scores S(w) of content words into s.score, and each form's occurrences into s.tf;
// s.adjacent holds the neighbour counts.
void term_stats(const keyphrase::Words& words, std::uint32_t window, Scratch& s) {
    const auto& ws = words.words;
    const std::size_t terms = words.forms.size();
    s.tf.assign(terms, 0);
    s.tf_upper.assign(terms, 0);
    s.tf_acronym.assign(terms, 0);
    s.last_sentence.assign(terms, UINT32_MAX);
    s.distinct.assign(terms, 0);
    s.left_total.assign(terms, 0);
    s.right_total.assign(terms, 0);
    s.left_distinct.assign(terms, 0);
    s.right_distinct.assign(terms, 0);
    s.near.reset(ws.size() * std::min<std::uint32_t>(window, 2));  // grows for a wide window
    s.adjacent.reset(ws.size());
    std::uint32_t sentence_count = 0;  // sentences so far, word i's the last
    for (std::size_t i = 0; i < ws.size(); ++i) {
        const Word& w = ws[i];
        if (i == 0 || w.sentence_start) ++sentence_count;
        const std::uint32_t sentence = sentence_count - 1;
        ++s.tf[w.form];
        if (w.all_caps)
            ++s.tf_acronym[w.form];
        else if (w.capitalised && !w.sentence_start)
            ++s.tf_upper[w.form];
        if (s.last_sentence[w.form] != sentence) {
            s.last_sentence[w.form] = sentence;
            ++s.distinct[w.form];
        }
        for (std::size_t d = 1; d <= window && d <= i; ++d) {
            const Word& l = ws[i - d];
            if (l.segment != w.segment) break;
            if (++s.near.find_or_add(pair_key(l.form, w.form), 0) == 1) {
                ++s.left_distinct[w.form];
                ++s.right_distinct[l.form];
            }
            ++s.left_total[w.form];
            ++s.right_total[l.form];
            if (d == 1) ++s.adjacent.find_or_add(pair_key(l.form, w.form), 0);
        }
    }
    // Each form's distinct sentences, in order: counted above, listed now.
    s.sentences_begin.resize(terms);
    std::uint32_t listed = 0;
    for (std::size_t t = 0; t < terms; ++t) {
        s.sentences_begin[t] = listed;
        listed += s.distinct[t];
    }
    s.sentences.resize(listed);
    s.last_sentence.assign(terms, UINT32_MAX);
    std::fill(s.distinct.begin(), s.distinct.end(), 0);
    for (std::uint32_t i = 0, sentence = 0; i < ws.size(); ++i) {
        const Word& w = ws[i];
        if (i > 0 && w.sentence_start) ++sentence;
        if (s.last_sentence[w.form] == sentence) continue;
        s.last_sentence[w.form] = sentence;
        s.sentences[s.sentences_begin[w.form] + s.distinct[w.form]++] = sentence;
    }

    double sum = 0, sum_sq = 0, count = 0, max_tf = 0;
    // A form is a content word when any occurrence is (a supplement stopword written as a
    // name is one).
    s.stop.assign(terms, 1);
    for (const Word& w : ws)
        if (!w.stop) s.stop[w.form] = 0;
    for (std::size_t t = 0; t < terms; ++t) {
        if (s.stop[t] || s.tf[t] == 0) continue;
        sum += s.tf[t];
        sum_sq += static_cast<double>(s.tf[t]) * s.tf[t];
        count += 1;
        max_tf = std::max<double>(max_tf, s.tf[t]);
    }
    const double mean = count ? sum / count : 0;
    const double sd = count ? std::sqrt(std::max(0.0, sum_sq / count - mean * mean)) : 0;
    s.score.assign(terms, 0.0);
    for (std::size_t t = 0; t < terms; ++t) {
        if (s.stop[t] || s.tf[t] == 0) continue;
        const double tf = s.tf[t];
        const double casing = std::max(s.tf_upper[t], s.tf_acronym[t]) / (1.0 + std::log(tf));
        const std::uint32_t* const held = s.sentences.data() + s.sentences_begin[t];
        const std::size_t size = s.distinct[t];
        const std::size_t mid = size / 2;
        const double median = size % 2 ? held[mid] : (held[mid - 1] + held[mid]) / 2.0;
        const double position = std::log(std::log(3.0 + median));
        const double frequency = tf / (mean + sd);
        const double wl = s.left_total[t] ? double(s.left_distinct[t]) / s.left_total[t] : 0.0;
        const double wr = s.right_total[t] ? double(s.right_distinct[t]) / s.right_total[t] : 0.0;
        const double relatedness = 1.0 + (wl + wr) * tf / max_tf;
        const double spread = double(size) / sentence_count;
        s.score[t] =
            relatedness * position / (casing + frequency / relatedness + spread / relatedness);
    }
}

void yake_into(std::string_view text, const YakeConfig& config, Scratch& s, FlatKeyphrases& out) {
    methods::scan_method_words(text, methods::scan_request(config), s.words);
    const keyphrase::Words& words = s.words;
    const auto& ws = words.words;
    const std::uint32_t window = std::max<std::uint32_t>(config.window, 1);
    term_stats(words, window, s);

    // Candidates: runs inside a segment neither starting nor ending with a stopword, grouped by
    // their forms in order of first occurrence: runs of up to three words keyed by their packed
    // forms, longer ones by run_key.
    const std::uint32_t max_words = std::max<std::uint32_t>(config.max_words, 1);
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    const bool packable = words.forms.size() < (1u << 21);
    std::unordered_map<std::string, std::uint32_t> keyed;
    auto& found = s.found;
    found.clear();
    s.packed.reset(ws.size() * std::min<std::uint32_t>(max_words, 3));
    std::uint32_t groups = 0;
    for (std::size_t i = 0; i < ws.size(); ++i) {
        if (ws[i].stop) continue;
        std::uint64_t key = 0;
        for (std::uint32_t n = 1; n <= max_words && i + n <= ws.size(); ++n) {
            const Word& last = ws[i + n - 1];
            if (last.segment != ws[i].segment) break;
            key = (key << 21) | (last.form + 1);
            if (last.stop || n < min_words) continue;
            const auto first = static_cast<std::uint32_t>(i);
            const std::uint32_t group =
                packable && n <= 3
                    ? s.packed.find_or_add(key, groups)
                    : keyed.emplace(methods::run_key(words, first, n), groups).first->second;
            if (group == groups) ++groups;
            found.push_back({group, first, n});
        }
    }
    // Each group's occurrences in text order, as they were found.
    auto& begin = s.group_begin;
    begin.assign(groups + 1, 0);
    for (const Scratch::Found& f : found) ++begin[f.group + 1];
    for (std::uint32_t g = 0; g < groups; ++g) begin[g + 1] += begin[g];
    auto& occurrences = s.occurrences;
    occurrences.resize(found.size());
    for (const Scratch::Found& f : found) {
        methods::Occurrence& o = occurrences[begin[f.group]++];
        o.first = f.first;
        o.length = f.length;
    }
    for (std::uint32_t g = groups; g > 0; --g) begin[g] = begin[g - 1];
    begin[0] = 0;

    auto& score = s.candidate_score;
    score.assign(groups, 0.0);
    const auto chance = [&](std::uint32_t left, std::uint32_t right) {
        return double(s.adjacent.find(pair_key(left, right), 0));
    };
    for (std::uint32_t g = 0; g < groups; ++g) {
        const methods::Occurrence& o = occurrences[begin[g]];
        double product = 1, sum = 0;
        for (std::uint32_t i = o.first; i < o.first + o.length; ++i) {
            const Word& w = ws[i];
            if (!w.stop) {
                product *= s.score[w.form];
                sum += s.score[w.form];
                continue;
            }
            const std::uint32_t prev = ws[i - 1].form, next = ws[i + 1].form;
            const double p = chance(prev, w.form) / s.tf[prev] * chance(w.form, next) / s.tf[next];
            product *= 2.0 - p;
            sum -= 1.0 - p;
        }
        const double tf = static_cast<double>(begin[g + 1] - begin[g]);
        score[g] = product / (tf * std::max(1.0 + sum, 1e-9));
    }

    auto& order = s.order;
    order.resize(groups);
    for (std::uint32_t g = 0; g < groups; ++g) order[g] = g;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return score[a] < score[b]; });

    // The best candidates, each left out when it repeats one kept before it.
    out.clear();
    std::string& phrases = out.text_buffer();
    std::vector<FlatKeyphrases::Entry>& entries = out.entries();
    for (const std::uint32_t g : order) {
        if (config.top_k && entries.size() >= config.top_k) break;
        const methods::Occurrence& head = occurrences[begin[g]];
        const std::size_t text_begin = phrases.size();
        for (std::uint32_t i = head.first; i < head.first + head.length; ++i)
            methods::append_phrase_word(words, i, phrases, text_begin);
        const std::string_view phrase(phrases.data() + text_begin, phrases.size() - text_begin);
        const bool repeat =
            config.dedup_threshold < 1.0 &&
            std::any_of(entries.begin(), entries.end(), [&](const FlatKeyphrases::Entry& kept) {
                const std::string_view other(phrases.data() + kept.text_begin, kept.text_size);
                return similar(phrase, other, config.dedup_threshold, s.row);
            });
        if (repeat) {
            phrases.resize(text_begin);
            continue;
        }
        FlatKeyphrases::Entry& entry = entries.emplace_back();
        entry.text_begin = text_begin;
        entry.text_size = phrases.size() - text_begin;
        entry.score = 1.0 / (1.0 + score[g]);
        entry.count = begin[g + 1] - begin[g];
        entry.first_position = head.first;
        entry.spans_begin = out.reserve_spans(entry.count);
        ByteSpan* const spans = out.span_buffer() + entry.spans_begin;
        std::uint32_t free_from = 0;
        for (std::uint32_t k = begin[g]; k < begin[g + 1]; ++k) {
            const methods::Occurrence& o = occurrences[k];
            if (o.first < free_from) continue;
            spans[entry.spans_size++] = {ws[o.first].begin(), ws[o.first + o.length - 1].end()};
            free_from = o.first + o.length;
        }
    }
}

}  // namespace

void extract_yake_keyphrases(std::string_view text, const YakeConfig& config, FlatKeyphrases& out) {
    Scratch& s = thread_scratch<Scratch>();
    yake_into(text, config, s, out);
    s.trim();
}

std::vector<SpannedKeyword> extract_yake_keyphrases(std::string_view text,
                                                    const YakeConfig& config) {
    return records_of([&](FlatKeyphrases& out) { extract_yake_keyphrases(text, config, out); });
}

}  // namespace kezo
