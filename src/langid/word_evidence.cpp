// Builds the word evidence index once: every word of the evidence lists, folded like the words of
// a scanned text, with the languages that list it.
#include "word_evidence.h"

#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "../stopwords/builtin_tables.h"
#include "../stopwords/supplement_lists.h"
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

// Entries of the supplementary lists taken as evidence: three letters or more, or a short word
// known to be a function word of that language. The lists' other short entries (country codes,
// single letters) collide across languages.
bool is_supplement_evidence(std::string_view entry, Language lang) {
    std::size_t letters = 0;
    for (char c : entry) letters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    if (letters >= 3) return true;
    struct Short {
        Language language;
        std::string_view word;
    };
    static constexpr Short kShortFunctionWords[] = {
        {Language::French, "à"},      {Language::French, "là"},     {Language::French, "où"},
        {Language::French, "ça"},     {Language::French, "qu"},     {Language::Spanish, "él"},
        {Language::Spanish, "sí"},    {Language::Spanish, "tú"},    {Language::Spanish, "mí"},
        {Language::Portuguese, "ao"}, {Language::Portuguese, "à"},  {Language::Portuguese, "às"},
        {Language::Portuguese, "aí"}, {Language::Portuguese, "dá"}, {Language::Italian, "il"},
        {Language::Italian, "ci"},    {Language::Italian, "mi"},    {Language::Italian, "ne"},
        {Language::Italian, "se"},    {Language::Italian, "ti"},    {Language::Italian, "vi"},
        {Language::Italian, "i"},     {Language::Dutch, "nu"},      {Language::Dutch, "u"},
        {Language::Hausa, "in"},      {Language::Hausa, "ji"},      {Language::Hausa, "ka"},
        {Language::Hausa, "ma"},      {Language::Hausa, "yi"},      {Language::Hausa, "za"},
    };
    for (const Short& s : kShortFunctionWords)
        if (s.language == lang && s.word == entry) return true;
    return false;
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
        for (std::size_t i = 0; i < stopwords::detail::kSupplementListCount; ++i) {
            const stopwords::detail::SupplementList& list = stopwords::detail::kSupplementLists[i];
            for (std::size_t k = 0; k < list.size; ++k)
                if (is_supplement_evidence(list.words[k], list.language))
                    add(list.words[k], list.language, false);
        }
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
