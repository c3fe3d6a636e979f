// A set of string views for exact-byte membership tests (internal to the stopwords subsystem).
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace kezo::stopwords::detail {

// Open addressing with linear probing over a power-of-two table kept at most half full: a lookup
// is one hash and usually one or two probes, with no division and no node chasing. The set
// holds views only; whoever inserts keeps the bytes alive and in place for the set's lifetime.
class WordSet {
  public:
    // Adds word unless an equal one is present. Strong guarantee: unchanged if it throws.
    void insert(std::string_view word) {
        if (contains(word)) return;
        if ((size_ + 1) * 2 > slots_.size()) grow();
        place(slots_, word, hash_of(word));
        ++size_;
    }

    bool contains(std::string_view word) const noexcept {
        if (size_ == 0) return false;
        const std::size_t hash = hash_of(word);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (slot.view.data() == nullptr) return false;
            if (slot.hash == hash && slot.view == word) return true;
        }
    }

  private:
    // An empty slot has a null data pointer; stored views never do (see place).
    struct Slot {
        std::string_view view;
        std::size_t hash = 0;
    };

    static std::size_t hash_of(std::string_view word) noexcept {
        return std::hash<std::string_view>{}(word);
    }

    static void place(std::vector<Slot>& slots, std::string_view word, std::size_t hash) {
        if (word.data() == nullptr) word = std::string_view("", 0);
        const std::size_t mask = slots.size() - 1;
        std::size_t i = hash & mask;
        while (slots[i].view.data() != nullptr) i = (i + 1) & mask;
        slots[i] = Slot{word, hash};
    }

    void grow() {
        std::vector<Slot> bigger(slots_.empty() ? 16 : slots_.size() * 2);
        for (const Slot& slot : slots_)
            if (slot.view.data() != nullptr) place(bigger, slot.view, slot.hash);
        slots_.swap(bigger);
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

}  // namespace kezo::stopwords::detail
