// The corpus table of the TF-IDF method.
#include "kezo/phrase_frequency_table.h"

#include <cstring>

namespace kezo {

std::uint64_t PhraseFrequencyTable::word_hash(std::string_view word) {
    constexpr std::uint64_t kMul = 0xFF51AFD7ED558CCDull;
    std::uint64_t h = word.size() * kMul;
    std::size_t i = 0;
    for (; i + 8 <= word.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, word.data() + i, 8);
        h = (h ^ chunk) * kMul;
        h ^= h >> 29;
    }
    // The last bytes as if copied into a zeroed word, read without a copy of variable length.
    const std::size_t rest = word.size() - i;
    std::uint64_t tail = 0;
    if (rest != 0 && word.size() >= 8) {
        std::memcpy(&tail, word.data() + word.size() - 8, 8);
        tail >>= 8 * (8 - rest);
    } else if (rest >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, word.data(), 4);
        std::memcpy(&high, word.data() + rest - 4, 4);
        tail = low | (std::uint64_t{high} >> (8 * (8 - rest))) << 32;
    } else {
        for (std::size_t k = 0; k < rest; ++k)
            tail |= std::uint64_t{static_cast<unsigned char>(word[k])} << (8 * k);
    }
    h = (h ^ tail) * kMul;
    return h ^ (h >> 32);
}

std::uint64_t PhraseFrequencyTable::key_hash(std::string_view key) {
    std::uint64_t hash = kSeed;
    for (std::size_t from = 0;;) {
        const std::size_t blank = key.find(' ', from);
        hash = add_word(hash, word_hash(key.substr(from, blank - from)));
        if (blank == std::string_view::npos) return hash;
        from = blank + 1;
    }
}

PhraseFrequencyTable::PhraseFrequencyTable(
    const std::unordered_map<std::string, std::uint32_t>& counts) {
    std::size_t slots = 16;
    while (slots < counts.size() * 2) slots <<= 1;
    slots_.resize(slots);
    mask_ = slots - 1;
    offsets_.reserve(counts.size() + 1);
    hashes_.reserve(counts.size());
    counts_.reserve(counts.size());
    offsets_.push_back(0);
    for (const auto& [text, count] : counts) {
        const std::uint64_t hash = key_hash(text);
        std::size_t at = hash & mask_;
        while (slots_[at].key != 0) at = (at + 1) & mask_;
        keys_ += text;
        enter(at, hash, count);
    }
}

std::uint32_t PhraseFrequencyTable::enter(std::size_t at, std::uint64_t hash,
                                          std::uint32_t documents) {
    const auto index = static_cast<std::uint32_t>(counts_.size());
    offsets_.push_back(keys_.size());
    hashes_.push_back(hash);
    counts_.push_back(documents);
    slots_[at] = {tag_of(hash), index + 1};
    return index;
}

void PhraseFrequencyTable::add_all(const PhraseFrequencyTable& other,
                                   std::vector<std::uint32_t>* index_of) {
    if (index_of != nullptr) index_of->assign(other.size(), 0);
    if (other.size() == 0) return;
    const std::size_t most = size() + other.size();
    if (most * 4 > slots_.size() * 3) grow(most);
    if (offsets_.empty()) offsets_.push_back(0);
    keys_.reserve(keys_.size() + other.keys_.size());
    offsets_.reserve(offsets_.size() + other.size());
    hashes_.reserve(hashes_.size() + other.size());
    counts_.reserve(counts_.size() + other.size());
    // other is read in order; the slot each of its keys probes here is anywhere, so the slot of
    // a key some way ahead is fetched meanwhile.
    constexpr std::uint32_t kAhead = 16;
    for (std::uint32_t k = 0; k < other.size(); ++k) {
        if (k + kAhead < other.size())
            __builtin_prefetch(&slots_[other.hashes_[k + kAhead] & mask_]);
        const std::uint64_t hash = other.hashes_[k];
        const std::uint32_t tag = tag_of(hash);
        const std::string_view key = other.key(k);
        std::size_t at = hash & mask_;
        std::uint32_t index = 0;
        for (;; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.key == 0) {
                keys_ += key;
                index = enter(at, hash, other.counts_[k]);
                break;
            }
            if (slot.tag == tag && this->key(slot.key - 1) == key) {
                index = slot.key - 1;
                counts_[index] += other.counts_[k];
                break;
            }
        }
        if (index_of != nullptr) (*index_of)[k] = index;
    }
}

void PhraseFrequencyTable::grow(std::size_t keys) {
    std::size_t slots = 16;
    while (slots < keys * 2) slots <<= 1;
    slots_.assign(slots, Slot());
    mask_ = slots - 1;
    for (std::uint32_t k = 0; k < hashes_.size(); ++k) {
        std::size_t at = hashes_[k] & mask_;
        while (slots_[at].key != 0) at = (at + 1) & mask_;
        slots_[at] = {tag_of(hashes_[k]), k + 1};
    }
}

}  // namespace kezo
