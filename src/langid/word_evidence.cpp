// Builds the word evidence index once: every word of the evidence lists, folded like the words of
// a scanned text, with the languages that list it.
#include "word_evidence.h"

#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "../stopwords/builtin_tables.h"
#include "code_points.h"
#include "evidence_words.h"
#include "kezo/unicode.h"

namespace kezo::langid {
namespace {

// The key of a list entry, as the scan builds it from text; empty when the entry can never
// match one word of Latin letters (several words, digits, another script, too long).
std::string entry_key(std::string_view entry) {
    std::string key;
    std::size_t pos = 0;
    while (pos < entry.size()) {
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(entry.data(), pos, entry.size(), &cp);
        if (n == 0) return {};
        pos += n;
        if (cp < 0x80) {
            if (!((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z'))) return {};
            key.push_back(static_cast<char>(cp | 0x20));
            continue;
        }
        const Script script = script_of(cp);
        if (script == Script::Mark) continue;
        if (script != Script::Latin) return {};
        unicode::encode_utf8(fold_latin(cp), key);
    }
    return key.size() <= kMaxKeyBytes ? key : std::string();
}

std::uint32_t hash_key(std::string_view key) {
    KeyHash hash;
    for (char c : key) hash.add(static_cast<unsigned char>(c));
    return hash.value;
}

class WordEvidenceIndex {
  public:
    WordEvidenceIndex() {
        for (Language lang : kLatinScriptLanguages) {
            const stopwords::LangTable& table =
                stopwords::detail::kBuiltinTables[stopwords::table_index(lang)];
            for (std::uint64_t i = 0; i < table.size; ++i) add(table.words[i], lang, false);
        }
        add_lists(kStopwordsIsoLists, kStopwordsIsoListCount, false);
        add_lists(kAddedFunctionWordLists, kAddedFunctionWordListCount, false);
        add_lists(kFrequentWordLists, kFrequentWordListCount, true);
        for (Entry& entry : entries_) {
            entry.evidence.listed_weight = share(entry.evidence.listed);
            entry.evidence.frequent_weight = share(entry.evidence.frequent);
        }
        build_slots();
    }

    const WordEvidence* find(std::string_view key, std::uint32_t hash) const noexcept {
        for (std::size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
            const std::uint32_t index = slots_[slot];
            if (index == 0) return nullptr;
            const Entry& entry = entries_[index - 1];
            if (entry.hash == hash && entry.key == key) return &entry.evidence;
        }
    }

  private:
    struct Entry {
        std::string key;
        std::uint32_t hash;
        WordEvidence evidence;
    };

    static float share(std::uint32_t languages) {
        const int count = __builtin_popcount(languages);
        return count == 0 ? 0.0f : static_cast<float>(1.0 / std::sqrt(static_cast<double>(count)));
    }

    void add_lists(const WordList* lists, std::size_t count, bool frequent) {
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t k = 0; k < lists[i].size; ++k)
                add(lists[i].words[k], lists[i].language, frequent);
    }

    void add(std::string_view word, Language lang, bool frequent) {
        std::string key = entry_key(word);
        if (key.empty()) return;
        const std::uint32_t hash = hash_key(key);
        auto [position, inserted] = positions_.try_emplace(key, entries_.size());
        if (inserted) entries_.push_back({std::move(key), hash, {}});
        WordEvidence& evidence = entries_[position->second].evidence;
        (frequent ? evidence.frequent : evidence.listed) |= language_bit(lang);
    }

    // Open addressing at most half full, so an unknown word ends its probe quickly.
    void build_slots() {
        std::size_t capacity = 1;
        while (capacity < 2 * entries_.size()) capacity <<= 1;
        mask_ = capacity - 1;
        slots_.assign(capacity, 0);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            std::size_t slot = entries_[i].hash & mask_;
            while (slots_[slot] != 0) slot = (slot + 1) & mask_;
            slots_[slot] = static_cast<std::uint32_t>(i + 1);
        }
        positions_ = {};
    }

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t> positions_;  // key -> entry, while building
    std::vector<std::uint32_t> slots_;  // entry index + 1; 0 marks an empty slot
    std::size_t mask_ = 0;
};

// Built on first use (thread-safe) and never destroyed, so lookups stay valid on threads that
// still run while the process exits.
const WordEvidenceIndex& index() {
    static const WordEvidenceIndex* const built = new WordEvidenceIndex();
    return *built;
}

}  // namespace

const WordEvidence* find_word_evidence(std::string_view key, std::uint32_t hash) {
    return index().find(key, hash);
}

}  // namespace kezo::langid
