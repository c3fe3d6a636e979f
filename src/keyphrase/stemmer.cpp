// Per-thread Snowball stemmers.
#include "stemmer.h"

#include <libstemmer.h>

#include <array>
#include <climits>
#include <memory>
#include <unordered_map>

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

thread_local ThreadStemmers tls_stemmers;

// Stems by word, per language and thread. Bounded: once full it starts over, so a stream of
// distinct words costs at most kCachedStems entries of at most kLongestCachedWord bytes.
constexpr std::size_t kCachedStems = 1 << 15;
constexpr std::size_t kLongestCachedWord = 32;
struct StemCache {
    std::unordered_map<std::string, std::string> stems;
    std::string key;  // the word looked up, its buffer reused
};
thread_local std::array<StemCache, kLanguageCount + 1> tls_stem_caches;

}  // namespace

bool has_stemmer(Language lang) {
    return algorithm_of(lang) != nullptr;
}

std::string stem_word(Language lang, std::string_view word) {
    sb_stemmer* stemmer = tls_stemmers.get(lang);
    if (stemmer == nullptr || word.empty() || word.size() > INT_MAX) return std::string(word);
    // Texts repeat their vocabulary, and one document after another repeats a language's:
    // stems already computed on this thread are looked up instead of stemmed again.
    StemCache& cache = tls_stem_caches[static_cast<std::size_t>(lang)];
    cache.key.assign(word.data(), word.size());
    const auto found = cache.stems.find(cache.key);
    if (found != cache.stems.end()) return found->second;
    const sb_symbol* stem = sb_stemmer_stem(
        stemmer, reinterpret_cast<const sb_symbol*>(word.data()), static_cast<int>(word.size()));
    if (stem == nullptr) return std::string(word);  // out of memory inside the library
    std::string out(reinterpret_cast<const char*>(stem),
                    static_cast<std::size_t>(sb_stemmer_length(stemmer)));
    if (word.size() <= kLongestCachedWord) {
        if (cache.stems.size() >= kCachedStems) cache.stems.clear();
        cache.stems.emplace(cache.key, out);
    }
    return out;
}

}  // namespace kezo::keyphrase
