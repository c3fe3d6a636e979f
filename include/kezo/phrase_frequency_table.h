// Documents holding each phrase of a corpus, by stem key (keyphrase_stem_key), laid out for
// lookups by the words of a phrase: an open-addressing table of key indices tagged with their
// hashes, beside the keys, their hashes and their counts by index, so a lookup costs a probe or
// two and no key is built, and whole tables are read in index order (merged, counted, listed).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kezo {

class PhraseFrequencyTable {
  public:
    // The hash of a stem key is made from its words (the parts between single blanks): start
    // from kSeed and add the word_hash of each word in order.
    static constexpr std::uint64_t kSeed = 0x243F6A8885A308D3ull;
    static std::uint64_t word_hash(std::string_view word);
    static std::uint64_t add_word(std::uint64_t key_hash, std::uint64_t word_hash) {
        const std::uint64_t h = (key_hash ^ word_hash) * 0x9E3779B97F4A7C15ull;
        return h ^ (h >> 31);
    }
    static std::uint64_t key_hash(std::string_view key);

    PhraseFrequencyTable() = default;
    // Every key of counts with its count. Linear in their size.
    explicit PhraseFrequencyTable(const std::unordered_map<std::string, std::uint32_t>& counts);

    // Adds documents to the count of key, whose hash is hash (key_hash(key), which the caller
    // has already made), entering the key when it is new; returns the key's index, which stays
    // the same as further keys come in. Amortised a probe or two and, for a new key, a copy of
    // it. Not thread-safe while anyone else uses the table.
    std::uint32_t add(std::uint64_t hash, std::string_view key, std::uint32_t documents) {
        return add(
            hash, documents, [&](std::string_view stored) { return stored == key; },
            [&](std::string& pool) { pool += key; });
    }
    // The same for the key whose hash is hash and for which same(stored key) holds; when there
    // is none, write_key(std::string& pool) appends the new key's bytes to pool, the table's
    // keys one after another, and nothing else: it is written there once.
    template <class Same, class WriteKey>
    std::uint32_t add(std::uint64_t hash, std::uint32_t documents, Same&& same,
                      WriteKey&& write_key) {
        if ((size() + 1) * 2 > slots_.size()) grow(size() + 1);
        const std::uint32_t tag = tag_of(hash);
        std::size_t at = hash & mask_;
        for (; slots_[at].key != 0; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.tag == tag && same(key(slot.key - 1))) {
                counts_[slot.key - 1] += documents;
                return slot.key - 1;
            }
        }
        if (offsets_.empty()) offsets_.push_back(0);
        write_key(keys_);
        return enter(at, hash, documents);
    }

    // Adds every key of other with its count, as add() would one by one in other's index order,
    // growing once at most: only when the keys of both would fill more than three quarters of
    // the slots. A corpus table merged from the threads' counts is then often left fuller than
    // add() leaves it, costing a lookup a probe or so more, against fresh memory (a page fault
    // per 4 KiB) and every key placed again. Where index_of is not null, it is set to the index
    // here of each key of other, by other's index. Linear in both tables; other is read in
    // order. Not thread-safe while anyone else uses this table.
    void add_all(const PhraseFrequencyTable& other, std::vector<std::uint32_t>* index_of);
    // Room for `keys` keys in all before add() has to grow the table: for a caller that knows
    // about how many are coming. Never shrinks. Linear in the table.
    void reserve(std::size_t keys) {
        if (keys * 2 > slots_.size()) grow(keys);
    }
    // Room beside the slots for `keys` keys of `key_bytes` bytes in all, so that keys added up
    // to that fill memory already there: for a table that others will be merged into, whose
    // lists would otherwise be copied to larger ones, onto fresh pages, while every thread
    // waits. Slots are not made. Never shrinks. Linear in the table.
    void reserve_entries(std::size_t keys, std::size_t key_bytes) {
        keys_.reserve(key_bytes);
        offsets_.reserve(keys + 1);
        hashes_.reserve(keys);
        counts_.reserve(keys);
    }
    // The count of every key by index (as add returned it): valid while the table lives
    // unchanged. Constant time.
    const std::vector<std::uint32_t>& counts_by_index() const { return counts_; }

    // Calls f(std::uint32_t index, std::uint64_t hash, std::string_view key, std::uint32_t
    // count) for every key, in index order.
    template <class F>
    void for_each(F&& f) const {
        for (std::uint32_t k = 0; k < counts_.size(); ++k) f(k, hashes_[k], key(k), counts_[k]);
    }

    // The count of key, 0 when absent.
    std::uint32_t find(std::string_view key) const {
        return find(key_hash(key), [&](std::string_view stored) { return stored == key; });
    }
    // The count of the key whose hash is hash and for which same(stored key) holds, 0 when
    // none: same compares the candidate key with the phrase looked up (called only on a hash
    // match, so about once per lookup that finds something).
    template <class Same>
    std::uint32_t find(std::uint64_t hash, Same&& same) const {
        if (slots_.empty()) return 0;
        const std::uint32_t tag = tag_of(hash);
        for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.key == 0) return 0;
            if (slot.tag == tag && same(key(slot.key - 1))) return counts_[slot.key - 1];
        }
    }

    std::size_t size() const { return counts_.size(); }

  private:
    // Half as large as a slot holding the whole hash and the count: the slots of a table
    // counting a corpus are read in random order, and more of them stay in cache.
    struct Slot {
        std::uint32_t tag = 0;  // the hash's high half (its low bits place the slot)
        std::uint32_t key = 0;  // index of the key + 1; 0 for a free slot
    };
    static std::uint32_t tag_of(std::uint64_t hash) {
        return static_cast<std::uint32_t>(hash >> 32);
    }

    std::string_view key(std::uint32_t index) const {
        return std::string_view(keys_).substr(offsets_[index],
                                              offsets_[index + 1] - offsets_[index]);
    }

    // Room for `keys` keys at most half full, every key placed again.
    void grow(std::size_t keys);
    // Enters the key last written into keys_, of hash and count documents, in the free slot at;
    // returns its index.
    std::uint32_t enter(std::size_t at, std::uint64_t hash, std::uint32_t documents);

    std::vector<Slot> slots_;  // a power of two, at most half full (three quarters after add_all)
    std::size_t mask_ = 0;
    std::string keys_;                    // every key, one after another
    std::vector<std::uint64_t> offsets_;  // key i is keys_[offsets_[i], offsets_[i + 1])
    std::vector<std::uint64_t> hashes_;   // by key index
    std::vector<std::uint32_t> counts_;   // by key index
};

}  // namespace kezo
