// Near-duplicate removal.
#include "near_duplicates.h"

#include <algorithm>
#include <cmath>

namespace kezo::keyphrase {
namespace {

std::vector<std::uint32_t> content_terms(const Candidates& c, const Phrase& p) {
    std::vector<std::uint32_t> terms;
    for (std::uint32_t t : p.terms)
        if (!c.terms[t].connector) terms.push_back(t);
    return terms;
}

std::string sorted_key(std::vector<std::uint32_t> terms) {
    std::sort(terms.begin(), terms.end());
    return phrase_key(terms.data(), terms.size());
}

}  // namespace

bool NearDuplicateFilter::offer(std::uint32_t p) {
    const Phrase& phrase = c_.phrases[p];
    const std::vector<std::uint32_t> terms = content_terms(c_, phrase);
    const std::size_t n = terms.size();

    std::vector<std::size_t> holders;  // live taken phrases this one lies inside
    if (auto found = parts_.find(phrase_key(terms.data(), n)); found != parts_.end())
        for (std::size_t slot : found->second)
            if (alive(slot)) holders.push_back(slot);
    bool same_terms = false;
    if (auto found = sorted_.find(sorted_key(terms)); found != sorted_.end())
        same_terms = std::any_of(found->second.begin(), found->second.end(),
                                 [&](std::size_t slot) { return alive(slot); });
    if (same_terms) return false;
    if (!holders.empty()) {
        const bool core = n >= 2 && phrase.count >= kCoreCount &&
                          std::all_of(holders.begin(), holders.end(), [&](std::size_t slot) {
                              return c_.phrases[taken_[slot]].count == 1;
                          });
        if (!core) return false;
        for (std::size_t slot : holders) dropped_[slot] = true;
        kept_count_ -= holders.size();  // distinct slots: add lists a slot once per part
    }
    if (threshold_ < 1.0 && shares_run(terms)) return false;
    if (phrase.count == 1 && !core_words_.empty()) {
        // A one-off phrase overlapping an occurrence of a recurring phrase already taken.
        for (std::size_t k = 0; k < phrase.terms.size(); ++k)
            if (core_words_[phrase.first_word + k]) return false;
    }
    add(p, terms);
    return true;
}

// True when a run of terms shorter than all of them, and at least threshold_ of them, lies
// inside a live taken phrase. Every run of a taken phrase is a key of parts_.
bool NearDuplicateFilter::shares_run(const std::vector<std::uint32_t>& terms) const {
    const std::size_t n = terms.size();
    const double least = std::max(1.0, std::ceil(threshold_ * static_cast<double>(n) - 1e-9));
    for (std::size_t length = n - 1; length > 0 && static_cast<double>(length) >= least; --length)
        for (std::size_t from = 0; from + length <= n; ++from) {
            const auto found = parts_.find(phrase_key(terms.data() + from, length));
            if (found == parts_.end()) continue;
            for (std::size_t slot : found->second)
                if (alive(slot)) return true;
        }
    return false;
}

void NearDuplicateFilter::add(std::uint32_t p, const std::vector<std::uint32_t>& terms) {
    const std::size_t slot = taken_.size();
    taken_.push_back(p);
    dropped_.push_back(false);
    ++kept_count_;
    const std::size_t n = terms.size();
    // A phrase that repeats a term ("ederlet 九 ederlet") holds some parts twice; its slot is
    // listed once under each, so the holders of a part are distinct slots.
    for (std::size_t from = 0; from < n; ++from)
        for (std::size_t to = from + 1; to <= n; ++to) {
            std::vector<std::size_t>& slots = parts_[phrase_key(terms.data() + from, to - from)];
            if (slots.empty() || slots.back() != slot) slots.push_back(slot);
        }
    sorted_[sorted_key(terms)].push_back(slot);
    if (n >= 2 && c_.phrases[p].count >= kCoreCount) mark_core(p);
}

void NearDuplicateFilter::mark_core(std::uint32_t p) {
    if (core_words_.empty()) {
        core_words_.assign(c_.words.words.size(), false);
        starts_.resize(c_.phrases.size());
        for (const Occurrence& o : c_.occurrences) starts_[o.phrase].push_back(o.start);
    }
    const std::size_t size = c_.phrases[p].terms.size();
    for (std::uint32_t start : starts_[p])
        for (std::size_t k = 0; k < size; ++k) core_words_[start + k] = true;
}

std::vector<std::uint32_t> NearDuplicateFilter::kept() const {
    std::vector<std::uint32_t> out;
    out.reserve(kept_count_);
    for (std::size_t slot = 0; slot < taken_.size(); ++slot)
        if (alive(slot)) out.push_back(taken_[slot]);
    return out;
}

}  // namespace kezo::keyphrase
