// Term lists and seeded snap queries for the snap benchmarks. bench/snap_peers.py draws the same
// queries with the same generator, so native and Python figures describe the same work:
//
// - words: of the misspelling pairs (wrong<TAB>right) whose correction is one of the first
//   50 000 lines of english_words.txt, in file order, 2 000 are drawn with seed 1; the query is
//   the wrong form.
// - cities: 1 000 lines of world_cities.txt are drawn with seed 2, and the same generator then
//   applies 1 or 2 edits to each, in turn: substitute (0), insert (1) or delete (2) at a random
//   code point, the new letter being a to z.
//
// "Drawn with seed s" is a partial Fisher-Yates shuffle of the indices 0..n-1 driven by
// SplitMix64 seeded with s, where a number below k is next() % k; the first draws are kept in
// the order drawn.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "kezo/unicode.h"

namespace kezo::bench {

class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }

  private:
    std::uint64_t state_;
};

// Indices of k of n items (all of them when k >= n), in the order drawn.
inline std::vector<std::size_t> draw(std::size_t n, std::size_t k, SplitMix64& rng) {
    std::vector<std::size_t> index(n);
    for (std::size_t i = 0; i < n; ++i) index[i] = i;
    if (k > n) k = n;
    for (std::size_t i = 0; i < k; ++i) std::swap(index[i], index[i + rng.below(n - i)]);
    index.resize(k);
    return index;
}

// Non-empty lines of dir/name, at most limit of them; empty when the file is missing.
inline std::vector<std::string> read_lines(const std::string& dir, const std::string& name,
                                           std::size_t limit = SIZE_MAX) {
    std::vector<std::string> lines;
    std::ifstream in(dir + "/" + name);
    std::string line;
    while (lines.size() < limit && std::getline(in, line)) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

inline std::vector<std::string> misspelled_words(const std::string& dir,
                                                 const std::vector<std::string>& words,
                                                 std::size_t count) {
    const std::unordered_set<std::string> known(words.begin(), words.end());
    std::vector<std::string> candidates;
    for (const auto& line : read_lines(dir, "misspellings.tsv")) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos && known.count(line.substr(tab + 1)) != 0)
            candidates.push_back(line.substr(0, tab));
    }
    SplitMix64 rng(1);
    std::vector<std::string> queries;
    for (std::size_t i : draw(candidates.size(), count, rng)) queries.push_back(candidates[i]);
    return queries;
}

inline std::vector<std::string> edited_names(const std::vector<std::string>& names,
                                             std::size_t count) {
    SplitMix64 rng(2);
    std::vector<std::string> queries;
    for (std::size_t pick : draw(names.size(), count, rng)) {
        const std::string& name = names[pick];
        std::vector<std::uint32_t> cps;
        for (std::size_t pos = 0; pos < name.size();) {
            std::uint32_t cp = 0;
            const std::size_t n = unicode::decode_utf8(name.data(), pos, name.size(), &cp);
            cps.push_back(n == 0 ? static_cast<unsigned char>(name[pos]) : cp);
            pos += n == 0 ? 1 : n;
        }
        for (std::size_t edits = 1 + rng.below(2); edits > 0; --edits) {
            const std::size_t op = cps.empty() ? 1 : rng.below(3);
            if (op == 0) {
                const std::size_t at = rng.below(cps.size());
                cps[at] = 'a' + static_cast<std::uint32_t>(rng.below(26));
            } else if (op == 1) {
                const std::size_t at = rng.below(cps.size() + 1);
                cps.insert(cps.begin() + static_cast<std::ptrdiff_t>(at),
                           'a' + static_cast<std::uint32_t>(rng.below(26)));
            } else {
                cps.erase(cps.begin() + static_cast<std::ptrdiff_t>(rng.below(cps.size())));
            }
        }
        std::string query;
        for (std::uint32_t cp : cps) unicode::encode_utf8(cp, query);
        queries.push_back(query);
    }
    return queries;
}

}  // namespace kezo::bench
