// Parses the n-gram model the build links in (model/ngrams.bin, see the trainer's write()):
// classes with their unseen-feature log-probabilities, the letters, then every feature key with
// the classes that know it and their weights.
#include "ngram_model.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

// The model file, assembled into the library as read-only bytes. KEZO_LANGID_MODEL_PATH is set
// by the build (an absolute path).
asm(".section .rodata\n"
    ".balign 8\n"
    ".global kezo_langid_model_begin\n"
    "kezo_langid_model_begin:\n"
    ".incbin \"" KEZO_LANGID_MODEL_PATH
    "\"\n"
    ".global kezo_langid_model_end\n"
    "kezo_langid_model_end:\n"
    ".previous\n");
extern "C" const unsigned char kezo_langid_model_begin[];
extern "C" const unsigned char kezo_langid_model_end[];

namespace kezo::langid {
namespace {

// A well-mixed 64-bit hash of a feature key: its top bits pick the slot, its low half (never 0)
// checks the key. Two keys that agree in both are taken as one, a chance of about one in 2^50
// per lookup, far below the model's own error.
std::uint64_t mix(std::uint64_t key) {
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDull;
    key ^= key >> 33;
    key *= 0xC4CEB9FE1A85EC53ull;
    return key ^ (key >> 33);
}

std::uint32_t check_of(std::uint64_t mixed) {
    return static_cast<std::uint32_t>(mixed) | 1u;
}

class Reader {
  public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T take() {
        if (size_ - pos_ < sizeof(T)) throw std::runtime_error("language model is truncated");
        T value;
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::string take_string(std::size_t length) {
        if (size_ - pos_ < length) throw std::runtime_error("language model is truncated");
        std::string value(reinterpret_cast<const char*>(data_ + pos_), length);
        pos_ += length;
        return value;
    }

  private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

NgramModel::NgramModel(const unsigned char* data, std::size_t size) {
    Reader in(data, size);
    if (in.take_string(4) != "KZLM") throw std::runtime_error("not a language model");
    const auto classes = in.take<std::uint16_t>();
    const auto letters = in.take<std::uint16_t>();
    if (in.take<std::uint8_t>() != kMaxOrder || classes > kMaxClasses)
        throw std::runtime_error("language model of another layout");
    for (std::size_t c = 0; c < classes; ++c) {
        const std::string code = in.take_string(in.take<std::uint8_t>());
        languages_.push_back(code.empty() ? Language::Auto : language_from_code(code));
        if (!code.empty()) {
            if (languages_.back() == Language::Auto || supported_ != c)
                throw std::runtime_error("language model with misplaced classes");
            ++supported_;
        }
        for (std::size_t order = 0; order < kOrders; ++order) unseen_.push_back(in.take<float>());
    }
    low_letters_.assign(kLowLetters, kUnknownLetter);
    std::vector<std::pair<std::uint32_t, std::uint16_t>> high;
    for (std::uint16_t i = 0; i < letters; ++i) {
        const auto cp = in.take<std::uint32_t>();
        const auto index = static_cast<std::uint16_t>(kUnknownLetter + 1 + i);
        if (cp < kLowLetters)
            low_letters_[cp] = index;
        else
            high.emplace_back(cp, index);
    }
    std::sort(high.begin(), high.end());
    for (const auto& [cp, index] : high) {
        high_letters_.push_back(cp);
        high_indices_.push_back(index);
    }

    const auto features = in.take<std::uint32_t>();
    unsigned bits = 1;
    while ((std::size_t{1} << bits) < 2 * static_cast<std::size_t>(features)) ++bits;
    shift_ = 64 - bits;
    slots_.assign(std::size_t{1} << bits, Slot{});
    for (std::uint32_t f = 0; f < features; ++f) {
        const auto key = in.take<std::uint64_t>();
        const auto row = static_cast<std::uint32_t>(rows_.size());
        const auto count = in.take<std::uint8_t>();
        rows_.push_back(count);
        for (std::size_t i = 0; i < 2 * std::size_t{count}; ++i)
            rows_.push_back(in.take<std::uint8_t>());
        const std::uint64_t mixed = mix(key);
        std::size_t slot = mixed >> shift_;
        while (slots_[slot].check != 0) slot = (slot + 1) & (slots_.size() - 1);
        slots_[slot] = {check_of(mixed), row};
    }
}

const NgramModel& NgramModel::get() {
    static const NgramModel* const model =
        new NgramModel(kezo_langid_model_begin,
                       static_cast<std::size_t>(kezo_langid_model_end - kezo_langid_model_begin));
    return *model;
}

std::uint16_t NgramModel::letter_index(std::uint32_t cp) const noexcept {
    if (cp < kLowLetters) return low_letters_[cp];
    const auto found = std::lower_bound(high_letters_.begin(), high_letters_.end(), cp);
    if (found == high_letters_.end() || *found != cp) return kUnknownLetter;
    return high_indices_[static_cast<std::size_t>(found - high_letters_.begin())];
}

FeatureWeights NgramModel::find(std::uint64_t key) const noexcept {
    const std::uint64_t mixed = mix(key);
    const std::uint32_t check = check_of(mixed);
    for (std::size_t slot = mixed >> shift_;; slot = (slot + 1) & (slots_.size() - 1)) {
        const Slot& found = slots_[slot];
        if (found.check == check) {
            const std::uint8_t* row = rows_.data() + found.row;
            return {row[0], row + 1};
        }
        if (found.check == 0) return {};
    }
}

}  // namespace kezo::langid
