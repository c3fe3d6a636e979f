// RAKE over the keyphrase pipeline's words: maximal content-word runs, degree over frequency.
#include <algorithm>
#include <unordered_map>

#include "../core/flat_records.h"
#include "../core/thread_scratch.h"
#include "kezo/rake_method.h"
#include "method_words.h"
#include "stamped_table.h"

namespace kezo {

namespace {
constexpr std::uint32_t kNone = ~std::uint32_t{0};

// What a call works on, kept by each thread from one call to the next, so a call allocates
// only what it returns. A call that needed more than kKeptItems of any of them gives that
// memory back when it ends.
struct Scratch {
    static constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    // The longest top_k kept in order by insertion rather than sorted.
    static constexpr std::uint32_t kInsertedTop = 64;

    // A word's degree (the lengths of the runs holding it, summed) and frequency, in doubles
    // as the score divides them.
    struct Tally {
        double degree = 0, frequency = 0;
    };

    keyphrase::Words words;        // of the text
    methods::StampedTable packed;  // candidate groups by packed key
    std::vector<methods::Occurrence> runs;
    std::vector<Tally> tallies;                  // by form
    std::vector<std::uint32_t> group_of;         // by run: its group, kNone when left out
    std::vector<std::uint32_t> heads, counts;    // by group: its first run, its runs
    std::vector<double> scores;                  // by group
    std::vector<std::uint32_t> order;            // groups offered, then those returned, best first
    std::vector<std::uint32_t> top;              // the best top_k while they are picked
    std::vector<std::uint32_t> slot, free_from;  // by group, by keyphrase returned

    void trim() {
        if (words.words.capacity() > kKeptItems || words.forms.capacity() > kKeptItems ||
            runs.capacity() > kKeptItems || tallies.capacity() > kKeptItems ||
            packed.capacity() > 2 * kKeptItems)
            *this = Scratch();
    }
};

// The keyphrases of text into out, with s as working memory.
void rake_into(std::string_view text, const RakeConfig& config, Scratch& s, FlatKeyphrases& out) {
    methods::scan_method_words(text, methods::scan_request(config), s.words);
    const keyphrase::Words& words = s.words;
    const auto& ws = words.words;

    // Candidates grouped by their words, in order of first occurrence: runs of up to three
    // words keyed by their packed forms, longer ones by run_key.
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    const std::uint32_t max_words = config.max_words ? config.max_words : kNone;
    const bool packable = words.forms.size() < (1u << 21);
    auto& runs = s.runs;
    auto& group_of = s.group_of;
    auto& heads = s.heads;
    auto& counts = s.counts;
    runs.clear();
    group_of.clear();
    heads.clear();
    counts.clear();
    // Room for every run: one a word at most, and as many adjoining ones again.
    s.packed.reset(config.adjoining ? 2 * ws.size() : ws.size());
    std::unordered_map<std::string, std::uint32_t> keyed;
    const auto add_run = [&](std::uint32_t first, std::uint32_t length) {
        const auto r = static_cast<std::uint32_t>(runs.size());
        // Stored field by field: a pair built on the stack and copied is read back whole
        // just after its halves were stored, which stalls.
        methods::Occurrence& run = runs.emplace_back();
        run.first = first;
        run.length = length;
        std::uint32_t group = kNone;
        if (length >= min_words && length <= max_words) {
            const auto next = static_cast<std::uint32_t>(heads.size());
            if (packable && length <= 3) {
                std::uint64_t key = 0;
                for (std::uint32_t i = first; i < first + length; ++i)
                    key = (key << 21) | (ws[i].form + 1);
                group = s.packed.find_or_add(key, next);
            } else {
                group = keyed.emplace(methods::run_key(words, first, length), next).first->second;
            }
            if (group == next) {
                heads.push_back(r);
                counts.push_back(0);
            }
            ++counts[group];
        }
        group_of.push_back(group);
    };

    // The maximal runs of content words inside one segment, each word's degree and frequency
    // counted and the run grouped as it is found.
    auto& tallies = s.tallies;
    tallies.assign(words.forms.size(), Scratch::Tally{});
    for (std::size_t i = 0; i < ws.size();) {
        if (ws[i].stop) {
            ++i;
            continue;
        }
        const auto segment = ws[i].segment;
        std::size_t j = i + 1;
        while (j < ws.size() && !ws[j].stop && ws[j].segment == segment) ++j;
        const auto length = static_cast<std::uint32_t>(j - i);
        add_run(static_cast<std::uint32_t>(i), length);
        for (; i < j; ++i) {
            Scratch::Tally& t = tallies[ws[i].form];
            t.degree += length;
            t.frequency += 1;
        }
    }

    // Adjoining keywords: two runs with one or two stopwords between them, in one segment,
    // kept below when the whole sequence occurs at least twice.
    const std::size_t plain_runs = runs.size();
    if (config.adjoining)
        for (std::size_t k = 0; k + 1 < plain_runs; ++k) {
            const methods::Occurrence a = runs[k], b = runs[k + 1];
            const std::uint32_t gap = b.first - (a.first + a.length);
            if (gap >= 1 && gap <= 2 && ws[a.first].segment == ws[b.first].segment)
                add_run(a.first, b.first + b.length - a.first);
        }

    // Scores; one-off adjoining candidates are not offered.
    auto& scores = s.scores;
    auto& order = s.order;
    scores.assign(heads.size(), 0.0);
    order.clear();
    double best = 0;
    for (std::uint32_t g = 0; g < heads.size(); ++g) {
        const methods::Occurrence& r = runs[heads[g]];
        double score = 0;
        for (std::uint32_t i = r.first; i < r.first + r.length; ++i)
            if (!ws[i].stop) score += tallies[ws[i].form].degree / tallies[ws[i].form].frequency;
        if (heads[g] >= plain_runs && counts[g] < 2) continue;
        scores[g] = score;
        best = std::max(best, score);
        order.push_back(g);
    }

    // Best first, ties in order of first occurrence. A short top_k is kept in order as the
    // groups come (a group ranks after the equal scores met before it); only a long one is
    // sorted, and all groups when top_k is 0.
    const std::uint32_t top_k = config.top_k;
    if (top_k && order.size() > top_k && top_k <= Scratch::kInsertedTop) {
        auto& top = s.top;
        top.clear();
        for (const std::uint32_t g : order) {
            if (top.size() == top_k) {
                if (!(scores[g] > scores[top.back()])) continue;
                top.pop_back();
            }
            top.push_back(g);
            for (std::size_t at = top.size() - 1; at > 0 && scores[top[at - 1]] < scores[g]; --at)
                std::swap(top[at - 1], top[at]);
        }
        order.swap(top);
    } else {
        const auto better = [&](std::uint32_t a, std::uint32_t b) {
            return scores[a] > scores[b] || (scores[a] == scores[b] && a < b);
        };
        if (top_k && order.size() > top_k) {
            const auto kept = order.begin() + static_cast<std::ptrdiff_t>(top_k);
            std::partial_sort(order.begin(), kept, order.end(), better);
            order.erase(kept, order.end());
        } else {
            std::sort(order.begin(), order.end(), better);
        }
    }

    // The keyphrases returned, their spans gathered in one pass over the runs: every
    // occurrence counts, spans skip those overlapping the one before.
    out.clear();
    std::vector<FlatKeyphrases::Entry>& entries = out.entries();
    entries.resize(order.size());
    std::string& phrases = out.text_buffer();
    auto& slot = s.slot;
    auto& free_from = s.free_from;
    slot.assign(heads.size(), kNone);
    free_from.assign(order.size(), 0);
    std::size_t span_room = 0;
    for (const std::uint32_t g : order) span_room += counts[g];
    std::size_t next_span = out.reserve_spans(span_room);
    for (std::uint32_t k = 0; k < order.size(); ++k) {
        const std::uint32_t g = order[k];
        slot[g] = k;
        const methods::Occurrence& head = runs[heads[g]];
        FlatKeyphrases::Entry& entry = entries[k];
        entry.text_begin = phrases.size();
        for (std::uint32_t i = head.first; i < head.first + head.length; ++i)
            methods::append_phrase_word(words, i, phrases, entry.text_begin);
        entry.text_size = phrases.size() - entry.text_begin;
        entry.score = scores[g] / best;
        entry.count = counts[g];
        entry.first_position = head.first;
        entry.spans_begin = next_span;
        next_span += counts[g];
    }
    ByteSpan* const spans = out.span_buffer();
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (group_of[r] == kNone) continue;
        const std::uint32_t k = slot[group_of[r]];
        if (k == kNone || runs[r].first < free_from[k]) continue;
        const methods::Occurrence& o = runs[r];
        FlatKeyphrases::Entry& entry = entries[k];
        spans[entry.spans_begin + entry.spans_size++] = {ws[o.first].begin(),
                                                         ws[o.first + o.length - 1].end()};
        free_from[k] = o.first + o.length;
    }
}

}  // namespace

void extract_rake_keyphrases(std::string_view text, const RakeConfig& config, FlatKeyphrases& out) {
    Scratch& s = thread_scratch<Scratch>();
    rake_into(text, config, s, out);
    s.trim();
}

std::vector<SpannedKeyword> extract_rake_keyphrases(std::string_view text,
                                                    const RakeConfig& config) {
    return records_of([&](FlatKeyphrases& out) { extract_rake_keyphrases(text, config, out); });
}

}  // namespace kezo
