// Near-duplicate removal.
#include "near_duplicates.h"

#include <algorithm>
#include <cmath>

namespace kezo::keyphrase {
namespace {

std::vector<std::uint32_t> content_terms(const Candidates& c, const Phrase& p) {
    std::vector<std::uint32_t> terms;
    for (std::uint32_t t : p.terms())
        if (!c.terms[t].connector) terms.push_back(t);
    return terms;
}

std::vector<std::uint32_t> sorted(std::vector<std::uint32_t> terms) {
    std::sort(terms.begin(), terms.end());
    return terms;
}

// The same for every order of the same terms.
std::uint64_t bag_hash(const Candidates& c, const Phrase& p) {
    std::uint64_t h = 0;
    for (std::uint32_t t : p.terms()) {
        if (c.terms[t].connector) continue;
        std::uint64_t x = t + 0x9e3779b97f4a7c15ull;
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
        h += x ^ (x >> 31);
    }
    return h;
}

}  // namespace

NearDuplicateFilter::NearDuplicateFilter(const Candidates& c, double threshold,
                                         const std::vector<std::uint32_t>& order)
    : c_(c), threshold_(threshold), to_offer_(c.phrases.size(), false) {
    std::vector<std::uint64_t> bags;
    bags.reserve(order.size());  // untouched beyond the phrases of several words
    for (std::size_t k = 0; k < order.size(); ++k) {
        to_offer_[order[k]] = true;
        const Phrase& p = c.phrases[order[k]];
        if (p.content_words() >= 2) bags.push_back(bag_hash(c, p));
    }
    std::sort(bags.begin(), bags.end());
    // A hash no other phrase has cannot be a reordering: only shared ones are kept, in a vector
    // of their own so the full one is freed.
    std::size_t shared = 0;
    for (std::size_t k = 0; k < bags.size();) {
        std::size_t next = k + 1;
        while (next < bags.size() && bags[next] == bags[k]) ++next;
        if (next - k >= 2) bags[shared++] = bags[k];
        k = next;
    }
    bags_.assign(bags.begin(), bags.begin() + static_cast<std::ptrdiff_t>(shared));
    for (std::uint32_t t = 0; t < c.terms.size(); ++t)
        if (c.terms[t].connector) connectors_.push_back(t);
}

bool NearDuplicateFilter::asked_later(const std::uint32_t* run, std::size_t n) const {
    // Below a threshold of 1 any run of a later phrase is asked for.
    if (threshold_ < 1.0) return true;
    const auto later = [&](const std::uint32_t* terms, std::size_t size) {
        const std::uint32_t q = c_.find_phrase(terms, size);
        return q != kNoTerm && to_offer_[q];
    };
    if (later(run, n)) return true;
    // A phrase holds at most one connector, between two content words.
    for (std::size_t gap = 1; gap < n; ++gap)
        for (const std::uint32_t connector : connectors_) {
            variant_.assign(run, run + gap);
            variant_.push_back(connector);
            variant_.insert(variant_.end(), run + gap, run + n);
            if (later(variant_.data(), variant_.size())) return true;
        }
    return false;
}

bool NearDuplicateFilter::reordering_exists(std::uint32_t p) const {
    if (c_.phrases[p].content_words() < 2) return false;  // one term: no other phrase has it
    return std::binary_search(bags_.begin(), bags_.end(), bag_hash(c_, c_.phrases[p]));
}

std::size_t NearDuplicateFilter::Lists::slot_of(std::uint64_t hash) const {
    const std::size_t mask = firsts_.size() - 1;
    std::size_t at = hash & mask;
    while (firsts_[at] != kEnd && hashes_[at] != hash) at = (at + 1) & mask;
    return at;
}

std::uint32_t NearDuplicateFilter::Lists::first(std::uint64_t hash) const {
    return firsts_.empty() ? kEnd : firsts_[slot_of(hash)];
}

std::uint32_t& NearDuplicateFilter::Lists::first_to_set(std::uint64_t hash) {
    if ((used_ + 1) * 4 > firsts_.size() * 3) {
        std::vector<std::uint64_t> hashes(std::max<std::size_t>(firsts_.size() * 2, 64));
        std::vector<std::uint32_t> firsts(hashes.size(), kEnd);
        hashes.swap(hashes_);
        firsts.swap(firsts_);
        for (std::size_t k = 0; k < firsts.size(); ++k) {
            if (firsts[k] == kEnd) continue;
            const std::size_t at = slot_of(hashes[k]);
            hashes_[at] = hashes[k];
            firsts_[at] = firsts[k];
        }
    }
    const std::size_t at = slot_of(hash);
    if (firsts_[at] == kEnd) {
        hashes_[at] = hash;
        ++used_;
    }
    return firsts_[at];
}

template <class Holds, class Visit>
void NearDuplicateFilter::visit_live(const Lists& lists, std::uint64_t hash, Holds holds,
                                     Visit visit) const {
    for (std::uint32_t link = lists.first(hash); link != kEnd; link = links_[link].next) {
        const std::uint32_t slot = links_[link].slot;
        if (alive(slot) && holds(slot) && visit(slot)) return;
    }
}

void NearDuplicateFilter::list_under(Lists& lists, std::uint64_t hash, std::uint32_t slot) {
    std::uint32_t& first = lists.first_to_set(hash);
    // A phrase that repeats a term ("ederlet 九 ederlet") holds some runs twice; its slot is
    // listed once under each, so the holders of a run are distinct slots.
    if (first != kEnd && links_[first].slot == slot) return;
    links_.push_back({slot, first});
    first = static_cast<std::uint32_t>(links_.size() - 1);
}

const std::vector<std::uint32_t>& NearDuplicateFilter::taken_terms(std::size_t slot) const {
    scratch_.clear();
    for (std::uint32_t t : c_.phrases[taken_[slot]].terms())
        if (!c_.terms[t].connector) scratch_.push_back(t);
    return scratch_;
}

bool NearDuplicateFilter::holds_run(std::size_t slot, const std::uint32_t* run,
                                    std::size_t n) const {
    const std::vector<std::uint32_t>& terms = taken_terms(slot);
    return std::search(terms.begin(), terms.end(), run, run + n) != terms.end();
}

bool NearDuplicateFilter::offer(std::uint32_t p) {
    to_offer_[p] = false;
    const Phrase& phrase = c_.phrases[p];
    const std::vector<std::uint32_t> terms = content_terms(c_, phrase);
    const std::size_t n = terms.size();

    std::vector<std::uint32_t> holders;  // live taken phrases this one lies inside
    visit_live(
        parts_, term_run_hash(terms.data(), n),
        [&](std::uint32_t slot) { return holds_run(slot, terms.data(), n); },
        [&](std::uint32_t slot) {
            holders.push_back(slot);
            return false;
        });
    bool same_terms = false;
    const std::vector<std::uint32_t> order = sorted(terms);
    visit_live(
        sorted_, term_run_hash(order.data(), n),
        [&](std::uint32_t slot) { return sorted(taken_terms(slot)) == order; },
        [&](std::uint32_t) { return same_terms = true; });
    if (same_terms) return false;
    if (!holders.empty()) {
        const bool core = n >= 2 && phrase.count >= kCoreCount &&
                          std::all_of(holders.begin(), holders.end(), [&](std::uint32_t slot) {
                              return c_.phrases[taken_[slot]].count == 1;
                          });
        if (!core) return false;
        for (std::uint32_t slot : holders) dropped_[slot] = true;
        kept_count_ -= holders.size();  // distinct slots: a slot is listed once per hash
    }
    if (threshold_ < 1.0 && shares_run(terms)) return false;
    if (phrase.count == 1 && !core_words_.empty()) {
        // A one-off phrase overlapping an occurrence of a recurring phrase already taken.
        for (std::size_t k = 0; k < phrase.terms().size(); ++k)
            if (core_words_[phrase.first_word + k]) return false;
    }
    add(p, terms);
    return true;
}

// True when a run of terms shorter than all of them, and at least threshold_ of them, lies
// inside a live taken phrase. Every run of a taken phrase is listed in parts_.
bool NearDuplicateFilter::shares_run(const std::vector<std::uint32_t>& terms) const {
    const std::size_t n = terms.size();
    const double least = std::max(1.0, std::ceil(threshold_ * static_cast<double>(n) - 1e-9));
    bool found = false;
    for (std::size_t length = n - 1; length > 0 && static_cast<double>(length) >= least; --length)
        for (std::size_t from = 0; from + length <= n && !found; ++from) {
            const std::uint32_t* run = terms.data() + from;
            visit_live(
                parts_, term_run_hash(run, length),
                [&](std::uint32_t slot) { return holds_run(slot, run, length); },
                [&](std::uint32_t) { return found = true; });
        }
    return found;
}

void NearDuplicateFilter::add(std::uint32_t p, const std::vector<std::uint32_t>& terms) {
    const auto slot = static_cast<std::uint32_t>(taken_.size());
    taken_.push_back(p);
    dropped_.push_back(false);
    ++kept_count_;
    const std::size_t n = terms.size();
    for (std::size_t from = 0; from < n; ++from)
        for (std::size_t to = from + 1; to <= n; ++to)
            if (asked_later(terms.data() + from, to - from))
                list_under(parts_, term_run_hash(terms.data() + from, to - from), slot);
    if (reordering_exists(p)) {
        const std::vector<std::uint32_t> order = sorted(terms);
        list_under(sorted_, term_run_hash(order.data(), n), slot);
    }
    if (n >= 2 && c_.phrases[p].count >= kCoreCount) mark_core(p);
}

void NearDuplicateFilter::mark_core(std::uint32_t p) {
    if (core_words_.empty()) {
        core_words_.assign(c_.words.words.size(), false);
        // The occurrences of the phrases that can be recurring ones only.
        for_each_occurrence(c_, [&](const Occurrence& o) {
            const Phrase& phrase = c_.phrases[o.phrase];
            if (phrase.content_words() >= 2 && phrase.count >= kCoreCount)
                recurring_starts_.emplace_back(o.phrase, o.start);
        });
        std::sort(recurring_starts_.begin(), recurring_starts_.end());
    }
    const std::size_t size = c_.phrases[p].terms().size();
    auto at = std::lower_bound(recurring_starts_.begin(), recurring_starts_.end(),
                               std::make_pair(p, std::uint32_t{0}));
    for (; at != recurring_starts_.end() && at->first == p; ++at)
        for (std::size_t w = 0; w < size; ++w) core_words_[at->second + w] = true;
}

std::vector<std::uint32_t> NearDuplicateFilter::kept(std::size_t limit) const {
    std::vector<std::uint32_t> out;
    out.reserve(std::min(kept_count_, limit));
    for (std::size_t slot = 0; slot < taken_.size() && out.size() < limit; ++slot)
        if (alive(slot)) out.push_back(taken_[slot]);
    return out;
}

}  // namespace kezo::keyphrase
