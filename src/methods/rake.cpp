// RAKE over the keyphrase pipeline's words: maximal content-word runs, degree over frequency.
#include <algorithm>
#include <unordered_map>

#include "kezo/rake_method.h"
#include "method_words.h"

namespace kezo {

namespace {
constexpr std::uint32_t kNone = ~std::uint32_t{0};

// Candidate groups by packed key: open addressing with room for every key of a call made up
// front, the table of each thread reused from one call to the next (no allocation per group).
class PackedGroups {
  public:
    // Forgets the previous call's keys and makes room for `keys` of them.
    void reset(std::size_t keys) {
        std::size_t slots = 64;
        while (slots < keys * 2) slots <<= 1;
        if (slots_.size() < slots) slots_.resize(slots);
        mask_ = slots - 1;
        std::fill(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(slots), Slot{});
    }

    // The group of key, or next (now its group) when key is new.
    std::uint32_t find_or_add(std::uint64_t key, std::uint32_t next) {
        std::uint64_t h = key * 0x9E3779B97F4A7C15ull;
        for (std::size_t at = (h ^ (h >> 31)) & mask_;; at = (at + 1) & mask_) {
            Slot& slot = slots_[at];
            if (slot.group == kNone) {
                slot = {key, next};
                return next;
            }
            if (slot.key == key) return slot.group;
        }
    }

  private:
    struct Slot {
        std::uint64_t key = 0;
        std::uint32_t group = kNone;
    };
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

thread_local PackedGroups tls_packed_groups;
}  // namespace

std::vector<SpannedKeyword> extract_rake_keyphrases(const std::string& text,
                                                    const RakeConfig& config) {
    const keyphrase::Words words = methods::scan_method_words(text, config);
    const auto& ws = words.words;

    // The maximal runs of content words inside one segment.
    std::vector<methods::Occurrence> runs;
    for (std::size_t i = 0; i < ws.size();) {
        if (ws[i].stop) {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < ws.size() && !ws[j].stop && ws[j].segment == ws[i].segment) ++j;
        runs.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j - i)});
        i = j;
    }

    std::vector<double> degree(words.forms.size(), 0.0), frequency(words.forms.size(), 0.0);
    for (const methods::Occurrence& r : runs)
        for (std::uint32_t i = r.first; i < r.first + r.length; ++i) {
            degree[ws[i].form] += r.length;
            frequency[ws[i].form] += 1;
        }

    // Adjoining keywords: two runs with one or two stopwords between them, in one segment,
    // kept below when the whole sequence occurs at least twice.
    const std::size_t plain_runs = runs.size();
    if (config.adjoining)
        for (std::size_t k = 0; k + 1 < plain_runs; ++k) {
            const methods::Occurrence a = runs[k], b = runs[k + 1];
            const std::uint32_t gap = b.first - (a.first + a.length);
            if (gap >= 1 && gap <= 2 && ws[a.first].segment == ws[b.first].segment)
                runs.push_back({a.first, b.first + b.length - a.first});
        }

    // Candidates grouped by their words, in order of first occurrence: runs of up to three
    // words keyed by their packed forms, longer ones by run_key.
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    const bool packable = words.forms.size() < (1u << 21);
    PackedGroups& packed = tls_packed_groups;
    packed.reset(runs.size());
    std::unordered_map<std::string, std::uint32_t> keyed;
    std::vector<std::uint32_t> group_of(runs.size(), kNone), heads, counts;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const methods::Occurrence& run = runs[r];
        if (run.length < min_words || (config.max_words && run.length > config.max_words)) continue;
        const auto next = static_cast<std::uint32_t>(heads.size());
        std::uint32_t group;
        if (packable && run.length <= 3) {
            std::uint64_t key = 0;
            for (std::uint32_t i = run.first; i < run.first + run.length; ++i)
                key = (key << 21) | (ws[i].form + 1);
            group = packed.find_or_add(key, next);
        } else {
            group =
                keyed.emplace(methods::run_key(words, run.first, run.length), next).first->second;
        }
        if (group == next) {
            heads.push_back(static_cast<std::uint32_t>(r));
            counts.push_back(0);
        }
        ++counts[group];
        group_of[r] = group;
    }

    std::vector<double> score(heads.size(), 0.0);
    double best = 0;
    for (std::size_t g = 0; g < heads.size(); ++g) {
        const methods::Occurrence& r = runs[heads[g]];
        for (std::uint32_t i = r.first; i < r.first + r.length; ++i)
            if (!ws[i].stop) score[g] += degree[ws[i].form] / frequency[ws[i].form];
        if (heads[g] >= plain_runs && counts[g] < 2) score[g] = -1;  // a one-off adjoining
        best = std::max(best, score[g]);
    }
    std::vector<std::uint32_t> order(heads.size());
    for (std::uint32_t g = 0; g < order.size(); ++g) order[g] = g;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return score[a] > score[b]; });
    while (!order.empty() && score[order.back()] < 0) order.pop_back();
    if (config.top_k && order.size() > config.top_k) order.resize(config.top_k);

    // The occurrences of the groups returned, gathered in one pass.
    std::vector<std::uint32_t> slot(heads.size(), kNone);
    std::vector<std::vector<methods::Occurrence>> occurrences(order.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        slot[order[i]] = i;
        occurrences[i].reserve(counts[order[i]]);
    }
    for (std::size_t r = 0; r < runs.size(); ++r)
        if (group_of[r] != kNone && slot[group_of[r]] != kNone)
            occurrences[slot[group_of[r]]].push_back(runs[r]);
    std::vector<SpannedKeyword> out;
    out.reserve(order.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        out.push_back(methods::make_keyphrase(words, occurrences[i], score[order[i]] / best));
    return out;
}

}  // namespace kezo
