// Counts or indices by a 64-bit key a method packs from a few form indices (a run of words, a
// pair of neighbours): open addressing with room for every key of a call made up front, each
// thread's table reused from one call to the next, so a call allocates nothing per key. A slot
// belongs to the call whose stamp it carries, so a new call clears nothing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kezo::methods {

class StampedTable {
  public:
    // Forgets the previous call's keys and makes room for about `keys` of them (more grow the
    // table). Linear in the room only when it grows.
    void reset(std::size_t keys) {
        std::size_t slots = 64;
        while (slots < keys * 2) slots <<= 1;
        if (slots_.size() < slots || ++stamp_ == 0) {
            slots_.assign(std::max(slots, slots_.size()), Slot{});
            stamp_ = 1;
        }
        mask_ = slots - 1;
        size_ = 0;
    }

    // The value of key, set to fresh when key is new to this call. A reference that holds
    // until the next key is added.
    std::uint32_t& find_or_add(std::uint64_t key, std::uint32_t fresh) {
        for (std::size_t at = spread(key);; at = (at + 1) & mask_) {
            Slot& slot = slots_[at];
            if (slot.stamp != stamp_) {
                if (++size_ * 2 > mask_ + 1) {
                    grow();
                    --size_;
                    return find_or_add(key, fresh);
                }
                slot.key = key;
                slot.value = fresh;
                slot.stamp = stamp_;
                return slot.value;
            }
            if (slot.key == key) return slot.value;
        }
    }

    // The value of key, or fallback when this call has not added it.
    std::uint32_t find(std::uint64_t key, std::uint32_t fallback) const {
        for (std::size_t at = spread(key);; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.stamp != stamp_) return fallback;
            if (slot.key == key) return slot.value;
        }
    }

    std::size_t capacity() const { return slots_.capacity(); }

  private:
    // Twice the slots in use, this call's keys placed again.
    [[gnu::noinline]] void grow() {
        const std::size_t used = mask_ + 1;
        std::vector<Slot> old(std::max(slots_.size(), 2 * used));
        old.swap(slots_);
        mask_ = 2 * used - 1;
        for (std::size_t k = 0; k < used; ++k) {
            if (old[k].stamp != stamp_) continue;
            std::size_t at = spread(old[k].key);
            while (slots_[at].stamp == stamp_) at = (at + 1) & mask_;
            slots_[at] = old[k];
        }
    }

    struct Slot {
        std::uint64_t key = 0;
        std::uint32_t value = 0;
        std::uint32_t stamp = 0;  // the call the slot is taken in; 0 for none
    };

    std::size_t spread(std::uint64_t key) const {
        const std::uint64_t h = key * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h ^ (h >> 31)) & mask_;
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;  // slots in use, less one (a power of two, less one)
    std::size_t size_ = 0;  // keys of this call
    std::uint32_t stamp_ = 0;
};

}  // namespace kezo::methods
