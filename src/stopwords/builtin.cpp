// Table lookup for the built-in stopword lists: the table array, the reference linear scan and
// the hash index that answers the same question in constant time.
#include <algorithm>
#include <iterator>
#include <string_view>
#include <unordered_set>

#include "builtin_tables.h"

namespace kezo::stopwords {
namespace detail {

// Constant-initialised (addresses and array bounds only), so valid before any dynamic
// initialiser runs.
const LangTable kBuiltinTables[kTableCount] = {
    {kEnglishWords, std::size(kEnglishWords)},
    {kSpanishWords, std::size(kSpanishWords)},
    {kFrenchWords, std::size(kFrenchWords)},
    {kGermanWords, std::size(kGermanWords)},
    {kItalianWords, std::size(kItalianWords)},
    {kPortugueseWords, std::size(kPortugueseWords)},
    {kDutchWords, std::size(kDutchWords)},
    {kRussianWords, std::size(kRussianWords)},
    {kChineseWords, std::size(kChineseWords)},
    {kJapaneseWords, std::size(kJapaneseWords)},
    {kKoreanWords, std::size(kKoreanWords)},
    {kArabicWords, std::size(kArabicWords)},
    {kIndonesianWords, std::size(kIndonesianWords)},
    {kTwiWords, std::size(kTwiWords)},
    {kGaWords, std::size(kGaWords)},
    {kEweWords, std::size(kEweWords)},
    {kHausaWords, std::size(kHausaWords)},
    {kFanteWords, std::size(kFanteWords)},
};

namespace {

// Per table: the set of its distinct entries and the longest entry's byte length, so that a
// longer word is rejected without hashing. Membership in the set is exactly "some entry has the
// same bytes", the answer of the linear scan.
struct TableIndex {
    std::unordered_set<std::string_view> entries;
    std::size_t max_length = 0;
};

struct BuiltinIndex {
    TableIndex tables[kTableCount];

    BuiltinIndex() {
        for (int i = 0; i < kTableCount; ++i) {
            const LangTable& table = kBuiltinTables[i];
            TableIndex& index = tables[i];
            index.entries.reserve(table.size);
            for (std::uint64_t k = 0; k < table.size; ++k) {
                std::string_view entry(table.words[k]);
                index.entries.insert(entry);
                index.max_length = std::max(index.max_length, entry.size());
            }
        }
    }
};

// Built on first use (thread-safe) and never destroyed, so lookups stay valid on threads that
// still run while the process exits.
const BuiltinIndex& builtin_index() {
    static const BuiltinIndex* const index = new BuiltinIndex();
    return *index;
}

// Build the index while the library loads rather than inside the first lookup.
[[maybe_unused]] const BuiltinIndex& kBuildAtLoad = builtin_index();

}  // namespace

bool builtin_contains(int index, std::string_view word) noexcept {
    const TableIndex& table = builtin_index().tables[index];
    if (word.size() > table.max_length) return false;
    return table.entries.count(word) != 0;
}

}  // namespace detail

int table_index(Language lang) noexcept {
    const auto value = static_cast<std::uint32_t>(lang);
    if (value == 0) return 0;  // Auto uses the English table
    if (value <= static_cast<std::uint32_t>(detail::kTableCount))
        return static_cast<int>(value) - 1;
    return -1;
}

bool contains_static(const LangTable& table, std::string_view word) noexcept {
    for (std::uint64_t k = 0; k < table.size; ++k) {
        // string_view equality compares the lengths first, then the bytes.
        if (std::string_view(table.words[k]) == word) return true;
    }
    return false;
}

}  // namespace kezo::stopwords
