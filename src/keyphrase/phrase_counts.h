// Documents counted per stem key while a corpus is read: an open-addressing table of key hashes
// beside the keys, found by a phrase's terms, so a phrase already counted costs a probe and a
// compare and only a new key is written out.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kezo/phrase_frequency_table.h"
#include "scoring.h"
#include "stem_keys.h"

namespace kezo::keyphrase {

class PhraseCounts {
  public:
    // Adds one to the count of every phrase of c (each is a distinct key). Where key_of_phrase
    // is not null, it is set to the index in table() of each phrase's key.
    void add_document(const Candidates& c, std::vector<std::uint32_t>* key_of_phrase = nullptr) {
        if (expected_ != 0) {  // on the counting thread, whose memory the table becomes
            table_.reserve(expected_);
            if (merged_ > expected_) table_.reserve_entries(merged_, merged_ * kKeyBytes);
            expected_ = merged_ = 0;
        }
        if (key_of_phrase != nullptr) {
            key_of_phrase->clear();
            key_of_phrase->reserve(c.phrases.size());
        }
        for (const Phrase& phrase : c.phrases) {
            const std::uint32_t key = table_.add(
                phrase_key_hash(c, phrase), 1,
                [&](std::string_view stored) { return is_stem_key_of(stored, c, phrase); },
                [&](std::string& pool) { append_stem_key(c, phrase, pool); });
            if (key_of_phrase != nullptr) key_of_phrase->push_back(key);
        }
    }

    // Room for about `keys` distinct keys (PhraseFrequencyTable::reserve), made by the next
    // add_document: a table made about as large as it will be seldom grows, and each growth
    // places every key again in fresh memory. For the table the other threads' counts are
    // merged into, merged_keys (more than keys) makes room beside its slots for that many
    // (PhraseFrequencyTable::reserve_entries), filled as the counts come in rather than all
    // at once while the merge holds up every thread.
    void expect(std::size_t keys, std::size_t merged_keys = 0) {
        expected_ = keys;
        merged_ = merged_keys;
    }
    // Every count added into table (the counts are left empty).
    void move_into(std::unordered_map<std::string, std::uint32_t>& table) {
        table.reserve(table.size() + table_.size());
        table_.for_each([&](std::uint32_t, std::uint64_t, std::string_view key, std::uint32_t n) {
            table[std::string(key)] += n;
        });
        table_ = PhraseFrequencyTable();
    }

    // The counts as a table, moved out (the counts are left empty).
    PhraseFrequencyTable take_table() { return std::exchange(table_, PhraseFrequencyTable()); }

  private:
    static constexpr std::size_t kKeyBytes = 16;  // about a stem key's bytes, with room to spare
    PhraseFrequencyTable table_;
    std::size_t expected_ = 0, merged_ = 0;
};

// The distinct keys each of `threads` threads counting texts may expect at first: short texts
// hold about one per 16 bytes, long ones fewer; past a few megabytes of table the tables grow as
// they must.
inline std::size_t expected_keys(const std::vector<std::string_view>& texts, std::size_t threads) {
    constexpr std::size_t kBytesPerKey = 16, kMostKeys = std::size_t{1} << 18;
    std::size_t bytes = 0;
    for (const std::string_view text : texts) bytes += text.size();
    return std::min(bytes / kBytesPerKey / std::max<std::size_t>(threads, 1), kMostKeys);
}

// The counts of `threads` threads about to count texts, each expecting its share of the keys.
// Where merged (the others' tables are then merged into the first's), the first also makes room
// for the keys of the whole corpus, as many as one thread counting it all would expect.
inline std::vector<PhraseCounts> counts_for_threads(const std::vector<std::string_view>& texts,
                                                    std::size_t threads, bool merged) {
    std::vector<PhraseCounts> counts(std::max<std::size_t>(threads, 1));
    const std::size_t keys = expected_keys(texts, counts.size());
    for (PhraseCounts& c : counts) c.expect(keys);
    if (merged && counts.size() > 1) counts[0].expect(keys, expected_keys(texts, 1));
    return counts;
}

}  // namespace kezo::keyphrase
