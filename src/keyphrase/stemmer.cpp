// Per-thread Snowball stemmers.
#include "stemmer.h"

#include <libstemmer.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace kezo::keyphrase {
namespace {

// Snowball algorithm of each language value, nullptr where there is none.
const char* algorithm_of(Language lang) {
    switch (lang) {
        case Language::Auto:
        case Language::English:
            return "english";
        case Language::Spanish:
            return "spanish";
        case Language::French:
            return "french";
        case Language::German:
            return "german";
        case Language::Italian:
            return "italian";
        case Language::Portuguese:
            return "portuguese";
        case Language::Dutch:
            return "dutch";
        case Language::Russian:
            return "russian";
        case Language::Arabic:
            return "arabic";
        case Language::Indonesian:
            return "indonesian";
        default:
            return nullptr;
    }
}

struct StemmerDeleter {
    void operator()(sb_stemmer* stemmer) const { sb_stemmer_delete(stemmer); }
};

// This thread's stemmers, by language value; created on first use.
struct ThreadStemmers {
    std::array<std::unique_ptr<sb_stemmer, StemmerDeleter>, kLanguageCount + 1> stemmers;
    std::array<bool, kLanguageCount + 1> tried{};

    sb_stemmer* get(Language lang) {
        const auto value = static_cast<std::size_t>(lang);
        if (value > kLanguageCount) return nullptr;
        if (!tried[value]) {
            tried[value] = true;
            if (const char* algorithm = algorithm_of(lang))
                stemmers[value].reset(sb_stemmer_new(algorithm, "UTF_8"));
        }
        return stemmers[value].get();
    }
};

// Stems by word, per language and thread: open addressing over 64-bit word hashes, each slot
// pointing at the word and its stem, one after the other in a pool. A lookup costs a hash, a
// probe and a compare, no allocation. Bounded: once full it starts over, so a stream of
// distinct words costs at most kCachedStems entries of at most kLongestCachedWord bytes.
constexpr std::size_t kCachedStems = 1 << 15;
constexpr std::size_t kLongestCachedWord = 32;

class StemCache {
  public:
    // Whether a stem of word (whose hash is hash) is cached, and if so that stem in *stem,
    // valid until the next add.
    bool find(std::uint64_t hash, std::string_view word, std::string_view* stem) const {
        if (slots_.empty()) return false;
        for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.word_bytes == 0) return false;
            if (slot.hash == hash && word_of(slot) == word) {
                *stem = stem_of(slot);
                return true;
            }
        }
    }

    // Caches stem as the stem of word (not cached yet; 1 to kLongestCachedWord bytes).
    void add(std::uint64_t hash, std::string_view word, std::string_view stem) {
        if (entries_ >= kCachedStems) clear();
        if ((entries_ + 1) * 2 > slots_.size()) grow();
        std::size_t at = hash & mask_;
        while (slots_[at].word_bytes != 0) at = (at + 1) & mask_;
        Slot& slot = slots_[at];
        slot.hash = hash;
        slot.at = static_cast<std::uint32_t>(pool_.size());
        slot.word_bytes = static_cast<std::uint16_t>(word.size());
        slot.stem_bytes = static_cast<std::uint16_t>(stem.size());
        pool_.append(word);
        pool_.append(stem);
        ++entries_;
    }

  private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t at = 0;          // the word's first byte in pool_, its stem right after
        std::uint16_t word_bytes = 0;  // 0 for a free slot
        std::uint16_t stem_bytes = 0;
    };

    std::string_view word_of(const Slot& s) const {
        return std::string_view(pool_).substr(s.at, s.word_bytes);
    }
    std::string_view stem_of(const Slot& s) const {
        return std::string_view(pool_).substr(s.at + s.word_bytes, s.stem_bytes);
    }

    void clear() {
        slots_.assign(slots_.size(), Slot());
        pool_.clear();
        entries_ = 0;
    }

    // Twice the slots (1,024 at first), every entry placed again.
    void grow() {
        std::vector<Slot> old(slots_.empty() ? 1024 : slots_.size() * 2);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.word_bytes == 0) continue;
            std::size_t at = s.hash & mask_;
            while (slots_[at].word_bytes != 0) at = (at + 1) & mask_;
            slots_[at] = s;
        }
    }

    std::vector<Slot> slots_;  // a power of two, at most half full
    std::size_t mask_ = 0;
    std::string pool_;  // at most kCachedStems words and stems of kLongestCachedWord bytes each
    std::size_t entries_ = 0;
};
// A thread's stemmers with their caches: one thread-local object, reached once a call.
struct ThreadStems {
    ThreadStemmers stemmers;
    std::array<StemCache, kLanguageCount + 1> caches;
    // Stems by kept-form entry (stem_kept_word), of the generation of kept forms they are for.
    struct KeptStem {
        std::string stem;
        std::uint8_t language = 0;  // the language value of stem plus one; 0 for none yet
    };
    std::vector<KeptStem> kept;
    std::uint64_t kept_generation = 0;
};
thread_local ThreadStems tls_stems;

// n (at most 8) bytes at p, the first in the lowest bits on a little-endian machine.
std::uint64_t load_bytes(const char* p, std::size_t n) {
    std::uint64_t v = 0;
    std::memcpy(&v, p, n);
    return v;
}

// A hash of a word of at most kLongestCachedWord bytes: its length and its bytes read eight at
// a time (the last eight overlapping the ones before), each load folded in by a multiply.
std::uint64_t word_hash(std::string_view word) {
    const char* p = word.data();
    const std::size_t n = word.size();
    std::uint64_t h = n * 0x9E3779B97F4A7C15ull;
    const auto fold = [&h](std::uint64_t chunk) {
        h = (h ^ chunk) * 0xC2B2AE3D27D4EB4Full;
        h ^= h >> 29;
    };
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 < n; i += 8) fold(load_bytes(p + i, 8));
        fold(load_bytes(p + n - 8, 8));
    } else if (n >= 4) {
        fold(load_bytes(p, 4) | load_bytes(p + n - 4, 4) << 32);
    } else if (n > 0) {
        fold(static_cast<unsigned char>(p[0]) |
             std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8 |
             std::uint64_t{static_cast<unsigned char>(p[n - 1])} << 16);
    }
    return h ^ (h >> 32);
}

}  // namespace

bool has_stemmer(Language lang) {
    return algorithm_of(lang) != nullptr;
}

std::string stem_word(Language lang, std::string_view word) {
    ThreadStems& stems = tls_stems;
    sb_stemmer* stemmer = stems.stemmers.get(lang);
    if (stemmer == nullptr || word.empty() || word.size() > INT_MAX) return std::string(word);
    // Texts repeat their vocabulary, and one document after another repeats a language's:
    // stems already computed on this thread are looked up instead of stemmed again.
    StemCache& cache = stems.caches[static_cast<std::size_t>(lang)];
    const bool cached = word.size() <= kLongestCachedWord;
    const std::uint64_t hash = cached ? word_hash(word) : 0;
    std::string_view cached_stem;
    if (cached && cache.find(hash, word, &cached_stem)) return std::string(cached_stem);
    const sb_symbol* stem = sb_stemmer_stem(
        stemmer, reinterpret_cast<const sb_symbol*>(word.data()), static_cast<int>(word.size()));
    if (stem == nullptr) return std::string(word);  // out of memory inside the library
    std::string out(reinterpret_cast<const char*>(stem),
                    static_cast<std::size_t>(sb_stemmer_length(stemmer)));
    // A slot holds a stem of up to 16 bits of length; a longer one (none of a kept word's is) is
    // not kept.
    if (cached && out.size() <= 0xFFFF) cache.add(hash, word, out);
    return out;
}

TextStems::TextStems(Language lang, const Words& words)
    : lang_(lang), kept_(words), stems_(&tls_stems) {}

std::string_view TextStems::of(std::uint32_t form, std::string_view lower) {
    const auto value = static_cast<std::uint32_t>(lang_);
    const KeptForm kept = kept_.of(form);
    if (!kept.found || value >= 0xFF) return spare_ = stem_word(lang_, lower);
    ThreadStems& stems = *static_cast<ThreadStems*>(stems_);
    if (stems.kept_generation != kept.generation) {
        // The forms started over: their stems go too, and the room one huge text took.
        if (stems.kept.capacity() > kCachedStems * 2)
            std::vector<ThreadStems::KeptStem>().swap(stems.kept);
        stems.kept.clear();
        stems.kept_generation = kept.generation;
    }
    if (stems.kept.size() <= kept.entry) stems.kept.resize(std::size_t{kept.entry} + 1);
    ThreadStems::KeptStem& stem = stems.kept[kept.entry];
    if (stem.language != value + 1) {
        stem.stem = stem_word(lang_, lower);
        stem.language = static_cast<std::uint8_t>(value + 1);
    }
    return stem.stem;
}

}  // namespace kezo::keyphrase
