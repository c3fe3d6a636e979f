// Near-duplicate removal for the keyphrase selection.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "candidates.h"

namespace kezo::keyphrase {

// Takes phrases best first and decides which stay. A phrase is a near-duplicate of one taken
// before when its terms (connectors aside) lie inside that phrase's or are the same terms in
// another order; below a threshold of 1, also when a run of at least that share of its terms
// lies inside one (see KeyphraseConfig::near_duplicate_threshold). One exception: a phrase of
// two words or more that recurs (three times or more) inside taken phrases seen only once
// stands for them. It takes their place, and later one-off phrases that overlap one of its
// occurrences are left out ("turbine blades" over "turbine blades wear", "cracked turbine
// blades fail", "blades crack"). Each decision costs a few hash look-ups per part of the
// phrase; marking a recurring phrase's words visits the occurrence list once.
//
// A taken phrase is only listed under the runs of its terms that a phrase offered after it can
// ask for (at a threshold of 1: a later phrase with those terms, one connector aside), and under
// its sorted terms only when another phrase has them: on a long text nearly every run is asked
// for before, and the lists stay a fraction of the phrases.
class NearDuplicateFilter {
  public:
    // threshold: at most 1; at 1 only whole containment and reordering count. order: the phrases
    // that will be offered, in the order they will be; not owned, it must outlive the filter.
    NearDuplicateFilter(const Candidates& c, double threshold,
                        const std::vector<std::uint32_t>& order);

    // Offers phrase p, the next of the order; returns false when it is left out. Phrases it
    // replaces are marked dropped.
    bool offer(std::uint32_t p);

    // The first (at most) limit phrases that stayed, in the order they were taken.
    std::vector<std::uint32_t> kept(std::size_t limit) const;

  private:
    static constexpr std::uint32_t kCoreCount = 3;
    static constexpr std::uint32_t kEnd = UINT32_MAX;

    // Slots listed under one hash: a list threaded through links_, newest first.
    struct Link {
        std::uint32_t slot;
        std::uint32_t next;
    };
    // Hash -> first link: open addressing, at most three quarters full (a long text lists
    // millions of runs, where a node map costs 40 bytes each).
    class Lists {
      public:
        // The first link under hash; kEnd when there is none.
        std::uint32_t first(std::uint64_t hash) const;
        // The first link under hash, to be set: kEnd when hash is new.
        std::uint32_t& first_to_set(std::uint64_t hash);

      private:
        std::size_t slot_of(std::uint64_t hash) const;
        std::vector<std::uint64_t> hashes_;
        std::vector<std::uint32_t> firsts_;  // kEnd: a free slot
        std::size_t used_ = 0;
    };

    bool alive(std::size_t slot) const { return !dropped_[slot]; }
    // The live slots under hash in lists for which holds(slot) is true, until visit returns true.
    template <class Holds, class Visit>
    void visit_live(const Lists& lists, std::uint64_t hash, Holds holds, Visit visit) const;
    void list_under(Lists& lists, std::uint64_t hash, std::uint32_t slot);
    // The content terms of the phrase taken in slot, into scratch_.
    const std::vector<std::uint32_t>& taken_terms(std::size_t slot) const;
    bool holds_run(std::size_t slot, const std::uint32_t* run, std::size_t n) const;
    bool shares_run(const std::vector<std::uint32_t>& terms) const;
    // Whether a phrase still to be offered has the content terms run[0..n).
    bool asked_later(const std::uint32_t* run, std::size_t n) const;
    // Whether another offered phrase may have the terms of phrase p in another order.
    bool reordering_exists(std::uint32_t p) const;
    void add(std::uint32_t p, const std::vector<std::uint32_t>& terms);
    void mark_core(std::uint32_t p);

    const Candidates& c_;
    const double threshold_;
    std::vector<bool> to_offer_;             // by phrase: in the order and not offered yet
    std::vector<std::uint32_t> connectors_;  // the connector terms of the document
    // Sorted: the order-free hashes that two offered phrases of two terms or more share.
    std::vector<std::uint64_t> bags_;
    mutable std::vector<std::uint32_t> variant_;
    std::vector<std::uint32_t> taken_;
    std::vector<bool> dropped_;
    std::size_t kept_count_ = 0;
    // Hash of every contiguous run of each taken phrase's terms -> the slots holding it; and
    // hash of each taken phrase's sorted terms -> its slots. A few bytes a run, as a long text
    // has millions; a slot found under a hash is checked against its terms, so two runs sharing
    // a hash never mix.
    Lists parts_, sorted_;
    std::vector<Link> links_;
    mutable std::vector<std::uint32_t> scratch_;
    // Words covered by an occurrence of a recurring phrase taken (see above); empty until one is.
    std::vector<bool> core_words_;
    // The occurrences of the phrases that can be recurring ones, by phrase and then start;
    // built on first need.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> recurring_starts_;
};

}  // namespace kezo::keyphrase
