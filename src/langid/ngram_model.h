// The letter n-gram model of language identification (internal to the subsystem): for each
// class, a supported language or an unsupported one it must be told from, the weight of the
// letter n-grams and words of the Latin, Cyrillic and Arabic scripts. Trained by
// scripts/train_language_model.py into model/ngrams.bin, which the build links in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kezo/language.h"

namespace kezo::langid {

// Orders 1..kMaxOrder are letter n-grams; order 0 stands for whole words.
inline constexpr std::size_t kMaxOrder = 4;
inline constexpr std::size_t kOrders = kMaxOrder + 1;
inline constexpr std::size_t kMaxClasses = 256;
// Letter indices: 0 is no letter, kBoundary the edge of a word, kUnknownLetter a letter the
// model never saw; the model's letters follow.
inline constexpr std::uint16_t kBoundary = 1;
inline constexpr std::uint16_t kUnknownLetter = 2;
inline constexpr unsigned kLetterBits = 10;
inline constexpr std::uint64_t kWordFlag = std::uint64_t{1} << 63;
// A feature's weight in a class is log P(feature | class) - log P(unseen feature | class), in
// multiples of kWeightStep, one byte each.
inline constexpr double kWeightStep = 1.0 / 16;
// The orders the unsupported classes keep: a text's score on them alone, against every class,
// tells whether a supported language fits it (scripts/train_language_model.py).
constexpr bool is_rejection_order(std::size_t order) noexcept {
    return order == 0 || order == kMaxOrder;
}

// The classes that know a feature, as `count` pairs of bytes (class index, weight).
struct FeatureWeights {
    std::size_t count = 0;
    const std::uint8_t* pairs = nullptr;
};

class NgramModel {
  public:
    // The model linked into the library, parsed on first use (thread-safe) and never freed.
    static const NgramModel& get();

    std::size_t class_count() const noexcept { return languages_.size(); }
    // The supported classes come first, in the model's order.
    std::size_t supported_count() const noexcept { return supported_; }
    // Auto for a class of unsupported text.
    Language language(std::size_t class_index) const noexcept { return languages_[class_index]; }
    // Log-probability of a feature of the order the class never saw.
    double unseen(std::size_t class_index, std::size_t order) const noexcept {
        return unseen_[class_index * kOrders + order];
    }
    // Index of a folded letter; kUnknownLetter when the model has none for it.
    std::uint16_t letter_index(std::uint32_t cp) const noexcept;
    // The weights of a feature key; all zero for a feature no class knows. Lock-free: one probe
    // sequence in an open-addressing table.
    FeatureWeights find(std::uint64_t key) const noexcept;

  private:
    NgramModel(const unsigned char* data, std::size_t size);

    std::vector<Language> languages_;
    std::size_t supported_ = 0;
    std::vector<double> unseen_;               // class_count x kOrders
    std::vector<std::uint16_t> low_letters_;   // index by code point below kLowLetters
    std::vector<std::uint32_t> high_letters_;  // sorted code points from kLowLetters up
    std::vector<std::uint16_t> high_indices_;  // their indices
    // A slot holds the low half of the key's mixed hash (never 0; 0 marks an empty slot) and
    // where the feature's row starts in rows_: its count, then that many pairs.
    struct Slot {
        std::uint32_t check = 0;
        std::uint32_t row = 0;
    };
    std::vector<Slot> slots_;
    std::vector<std::uint8_t> rows_;
    unsigned shift_ = 64;

    static constexpr std::uint32_t kLowLetters = 0x800;
};

}  // namespace kezo::langid
