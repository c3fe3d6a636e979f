// The tagger's model file (internal to the subsystem; scripts/tagger_train.cpp writes it).
// Little-endian:
//   0  "KZPT"                      magic
//   4  u16 version                 kFormatVersion
//   6  u16 tag count               kUposCount
//   8  char[8] language code       NUL-padded ("en", "pt", ...)
//  16  u8 bucket bits              rows = 2^bits, kMinBits..kMaxBits
//  17  u8[3] zero
//  20  u32 feature signature       kFeatureSignature: the feature set the weights belong to
//  24  u64 checksum                FNV-1a 64 of the weight bytes
//  32  i16 weights[rows][tags]     row of a feature key = key >> (64 - bits)
// The file is exactly 32 + rows * tags * 2 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "word_features.h"

namespace kezo::tagger {

inline constexpr char kMagic[4] = {'K', 'Z', 'P', 'T'};
inline constexpr std::uint16_t kFormatVersion = 1;
inline constexpr std::size_t kHeaderSize = 32;
inline constexpr unsigned kMinBits = 8;
inline constexpr unsigned kMaxBits = 22;
inline constexpr std::uint32_t kFeatureSignature =
    0x4B540000u | static_cast<std::uint32_t>(kStaticFeatures << 8 | kTagFeatures);

inline std::uint64_t checksum(std::string_view bytes) noexcept {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

}  // namespace kezo::tagger
