// The tagger's features (internal to the subsystem, shared with scripts/tagger_train.cpp so the
// trainer and the tagger see the same ones): per word, hashes of its lower-cased form, its
// first and last letters and its shape; per position, those of the word and its neighbours,
// its last letters with whether it is capitalised and whether it starts the sentence, and the
// tags already chosen for the two words before it. A feature is a 64-bit key whose top bits
// pick a row of the weight table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kezo::tagger {

inline constexpr std::size_t kAffixes = 5;
// Features of a position that do not depend on earlier tags, and those that do.
inline constexpr std::size_t kStaticFeatures = 25;
inline constexpr std::size_t kTagFeatures = 5;
// Tag index standing for "no word there" (before the sentence).
inline constexpr std::uint32_t kNoTag = 31;

struct WordKeys {
    std::uint64_t lower = 0;              // lower-cased form, digits folded to 0
    std::uint64_t prefix[kAffixes] = {};  // first 1..5 code points (the whole word if shorter)
    std::uint64_t suffix[kAffixes] = {};  // last 1..5 code points
    std::uint32_t shape = 0;              // case, digit, hyphen and length flags
};

// Keys of one word. Pure; no allocation; linear in its length.
WordKeys word_keys(std::string_view word) noexcept;

// Keys of the place before the first word and after the last one.
WordKeys boundary_keys(bool before) noexcept;

// The shape of boundary_keys(before).
constexpr std::uint32_t boundary_shape(bool before) noexcept {
    return before ? 0x3FF : 0x3FE;
}

inline std::uint64_t mix(std::uint64_t key) noexcept {
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDull;
    key ^= key >> 33;
    key *= 0xC4CEB9FE1A85EC53ull;
    return key ^ (key >> 33);
}

inline std::uint64_t feature(std::uint64_t kind, std::uint64_t value) noexcept {
    return mix(value ^ (kind * 0x9E3779B97F4A7C15ull));
}

// The kStaticFeatures keys of position i, given the keys of the words around it (prev2, prev,
// word, next, next2; boundary keys past the edges).
inline void static_features(const WordKeys& prev2, const WordKeys& prev, const WordKeys& w,
                            const WordKeys& next, const WordKeys& next2,
                            std::uint64_t* out) noexcept {
    std::size_t n = 0;
    out[n++] = feature(0, 0);
    out[n++] = feature(1, w.lower);
    for (std::size_t k = 0; k < kAffixes; ++k) out[n++] = feature(2 + k, w.suffix[k]);
    for (std::size_t k = 0; k < 3; ++k) out[n++] = feature(30 + k, w.prefix[k]);
    out[n++] = feature(9, w.shape);
    out[n++] = feature(10, prev.lower);
    out[n++] = feature(11, next.lower);
    out[n++] = feature(12, prev2.lower);
    out[n++] = feature(13, next2.lower);
    out[n++] = feature(14, prev.suffix[2]);
    out[n++] = feature(15, next.suffix[2]);
    out[n++] = feature(16, prev.shape * 1024 + w.shape);
    out[n++] = feature(17, next.shape * 1024 + w.shape);
    out[n++] = feature(18, prev.lower * 31 + w.lower);
    out[n++] = feature(19, w.lower * 31 + next.lower);
    out[n++] = feature(20, next.suffix[1]);
    out[n++] = feature(21, w.prefix[3]);
    // Capitalisation means little at the start of a sentence and much elsewhere (German nouns).
    const std::uint64_t initial = prev.shape == boundary_shape(true) ? 1 : 0;
    const std::uint64_t capital = (w.shape & 1u) * 2 + initial;
    out[n++] = feature(23, w.suffix[2] * 4 + capital);
    out[n++] = feature(24, w.suffix[3] * 4 + capital);
}

// The kTagFeatures keys of a position given the tags of the two words before it (and the
// keys of the word and the next one).
inline void tag_features(const WordKeys& w, const WordKeys& next, std::uint32_t prev_tag,
                         std::uint32_t prev2_tag, std::uint64_t* out) noexcept {
    out[0] = feature(40, prev_tag);
    out[1] = feature(41, prev2_tag * 32 + prev_tag);
    out[2] = feature(42, w.lower * 32 + prev_tag);
    out[3] = feature(43, w.suffix[2] * 32 + prev_tag);
    out[4] = feature(44, next.lower * 32 + prev_tag);
}

}  // namespace kezo::tagger
