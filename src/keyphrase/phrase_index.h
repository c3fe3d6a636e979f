// The phrases of a document found by their terms: an open-addressing table of phrase ids.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kezo::keyphrase {

// Hash of a run of term ids, built one term at a time: start from kTermRunSeed, fold each term
// in with add_term, and finish with term_run_hash.
inline constexpr std::uint64_t kTermRunSeed = 0xcbf29ce484222325ull;
inline std::uint64_t add_term(std::uint64_t h, std::uint32_t term) {
    return (h ^ term) * 0x100000001b3ull;
}
inline std::uint64_t term_run_hash(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    return h ^ (h >> 33);
}
inline std::uint64_t term_run_hash(const std::uint32_t* terms, std::size_t n) {
    std::uint64_t h = kTermRunSeed;
    for (std::size_t k = 0; k < n; ++k) h = add_term(h, terms[k]);
    return term_run_hash(h);
}

// Phrase ids by their term sequences, 4 to 8 bytes a phrase (a long text has millions, where a
// map keyed by strings costs a hundred bytes each). The terms live in the phrases themselves:
// TermsOf is a callable id -> the id's terms (size, begin and end, as a vector has). Not safe
// for concurrent writers; find is safe alongside other finds.
class PhraseIndex {
  public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // The id whose terms are terms[0..n), hashed as term_run_hash; kNone when there is none.
    template <class TermsOf>
    std::uint32_t find(const std::uint32_t* terms, std::size_t n, std::uint64_t hash,
                       const TermsOf& terms_of) const {
        if (slots_.empty()) return kNone;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint32_t id = slots_[at];
            if (id == kNone) return kNone;
            const auto& t = terms_of(id);
            if (t.size() == n && std::equal(t.begin(), t.end(), terms)) return id;
        }
    }

    // Room for ids without growing (an empty index only): a text that knows about how many
    // phrases it can hold spares the rehashing of every phrase at each doubling.
    void reserve(std::size_t ids) {
        if (used_ != 0) return;
        std::size_t size = 64;
        while (size < ids * 2) size <<= 1;
        if (size > slots_.size()) slots_.assign(size, kNone);
    }

    // Adds id, absent so far, whose terms hash to hash. Amortised constant time.
    template <class TermsOf>
    void insert(std::uint32_t id, std::uint64_t hash, const TermsOf& terms_of) {
        if ((used_ + 1) * 2 > slots_.size()) grow(terms_of);
        place(id, hash);
        ++used_;
    }

  private:
    void place(std::uint32_t id, std::uint64_t hash) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        while (slots_[at] != kNone) at = (at + 1) & mask;
        slots_[at] = id;
    }

    template <class TermsOf>
    void grow(const TermsOf& terms_of) {
        std::vector<std::uint32_t> old(std::max<std::size_t>(slots_.size() * 2, 64), kNone);
        old.swap(slots_);
        for (const std::uint32_t id : old) {
            if (id == kNone) continue;
            std::uint64_t h = kTermRunSeed;
            for (const std::uint32_t term : terms_of(id)) h = add_term(h, term);
            place(id, term_run_hash(h));
        }
    }

    std::vector<std::uint32_t> slots_;
    std::size_t used_ = 0;
};

}  // namespace kezo::keyphrase
