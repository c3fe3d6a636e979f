// Documents counted per stem key while a corpus is read: an open-addressing table of key hashes
// beside the keys, found by a phrase's terms, so a phrase already counted costs a probe and a
// compare and only a new key is written out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "scoring.h"
#include "stem_keys.h"

namespace kezo::keyphrase {

class PhraseCounts {
  public:
    // Adds one to the count of every phrase of c (each is a distinct key). Where key_of_phrase
    // is not null, it is set to the index of each phrase's key (as for_each_key gives them).
    void add_document(const Candidates& c, std::vector<std::uint32_t>* key_of_phrase = nullptr) {
        if (key_of_phrase != nullptr) key_of_phrase->clear();
        const std::vector<std::uint64_t> term_hashes = term_key_hashes(c);
        if ((keys_.size() + c.phrases.size()) * 2 > slots_.size())
            grow(keys_.size() + c.phrases.size());
        for (const Phrase& phrase : c.phrases) {
            const std::uint64_t hash = phrase_key_hash(c, term_hashes, phrase);
            std::size_t at = hash & mask_;
            while (slots_[at] != 0 && !(keys_[slots_[at] - 1].hash == hash &&
                                        is_stem_key_of(keys_[slots_[at] - 1].text, c, phrase)))
                at = (at + 1) & mask_;
            if (slots_[at] != 0) {
                ++keys_[slots_[at] - 1].documents;
            } else {
                keys_.push_back({hash, phrase_stem_key(c, phrase), 1});
                slots_[at] = static_cast<std::uint32_t>(keys_.size());
            }
            if (key_of_phrase != nullptr) key_of_phrase->push_back(slots_[at] - 1);
        }
    }

    // Calls f(std::uint64_t hash, std::string_view key, std::uint32_t documents) for every key
    // in index order; hash is PhraseFrequencyTable::key_hash(key).
    template <class F>
    void for_each_key(F&& f) const {
        for (const Key& key : keys_) f(key.hash, std::string_view(key.text), key.documents);
    }

    // Every count added into table (keys moved out: the counts are left empty).
    void move_into(std::unordered_map<std::string, std::uint32_t>& table) {
        table.reserve(table.size() + keys_.size());
        for (Key& key : keys_) table[std::move(key.text)] += key.documents;
        keys_.clear();
        slots_.clear();
    }

  private:
    struct Key {
        std::uint64_t hash;
        std::string text;
        std::uint32_t documents;
    };

    // Room for `keys` at most half full, every key placed again.
    void grow(std::size_t keys) {
        std::size_t size = 1024;
        while (size < keys * 2) size <<= 1;
        slots_.assign(size, 0);
        mask_ = size - 1;
        for (std::uint32_t k = 0; k < keys_.size(); ++k) {
            std::size_t at = keys_[k].hash & mask_;
            while (slots_[at] != 0) at = (at + 1) & mask_;
            slots_[at] = k + 1;
        }
    }

    std::vector<std::uint32_t> slots_;  // key index + 1; 0 for a free slot
    std::size_t mask_ = 0;
    std::vector<Key> keys_;
};

}  // namespace kezo::keyphrase
