// Stem keys of phrases read from their terms: the words of a key, its hash as
// PhraseFrequencyTable makes it, and whether a stored key is a phrase's, all without writing
// the key out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "candidates.h"
#include "kezo/phrase_frequency_table.h"

namespace kezo::keyphrase {

// The word a term of that stem stands for in stem keys: the stem, a connector's without the
// mark keying it apart. A view of stem.
inline std::string_view stem_key_word(std::string_view stem, bool connector) {
    return stem.substr(connector && !stem.empty() ? 1 : 0);
}
// The same for term t of c. Views c.terms.
inline std::string_view stem_key_word(const Candidates& c, std::uint32_t t) {
    return stem_key_word(c.terms[t].stem, c.terms[t].connector);
}

// PhraseFrequencyTable::key_hash(phrase_stem_key(c, phrase)), from the hashes its terms keep.
inline std::uint64_t phrase_key_hash(const Candidates& c, const Phrase& phrase) {
    std::uint64_t hash = PhraseFrequencyTable::kSeed;
    for (std::uint32_t t : c.phrase_terms(phrase))
        hash = PhraseFrequencyTable::add_word(hash, c.terms[t].key_hash);
    return hash;
}

// Appends phrase_stem_key(c, phrase) to out.
inline void append_stem_key(const Candidates& c, const Phrase& phrase, std::string& out) {
    bool first = true;
    for (std::uint32_t t : c.phrase_terms(phrase)) {
        if (!first) out.push_back(' ');
        first = false;
        out.append(stem_key_word(c, t));
    }
}

// Whether key == phrase_stem_key(c, phrase).
inline bool is_stem_key_of(std::string_view key, const Candidates& c, const Phrase& phrase) {
    std::size_t at = 0;
    bool first = true;
    for (std::uint32_t t : c.phrase_terms(phrase)) {
        if (!first && (at >= key.size() || key[at++] != ' ')) return false;
        first = false;
        const std::string_view word = stem_key_word(c, t);
        if (key.compare(at, word.size(), word) != 0) return false;
        at += word.size();
    }
    return at == key.size();
}

}  // namespace kezo::keyphrase
