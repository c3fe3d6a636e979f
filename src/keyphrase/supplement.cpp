// Lookup of the supplementary stopwords: one hash set per language over the generated lists.
#include "supplement.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <unordered_set>

#include "../stopwords/supplement_lists.h"
#include "kezo/stopwords.h"

namespace kezo::keyphrase {
namespace {

using WordSet = std::unordered_set<std::string_view>;

// Index by language value (0..kLanguageCount); languages without a list keep an empty set.
struct SupplementIndex {
    std::array<WordSet, kLanguageCount + 1> sets;

    SupplementIndex() {
        for (std::size_t i = 0; i < stopwords::detail::kSupplementListCount; ++i) {
            const stopwords::detail::SupplementList& list = stopwords::detail::kSupplementLists[i];
            WordSet& set = sets[static_cast<std::size_t>(list.language)];
            set.reserve(list.size);
            for (std::size_t k = 0; k < list.size; ++k) set.insert(list.words[k]);
        }
    }
};

// Built on first use (thread-safe static) and never destroyed, so threads still running at exit
// never see it gone.
const SupplementIndex& supplement_index() {
    static const SupplementIndex* const index = new SupplementIndex();
    return *index;
}

}  // namespace

bool is_supplement_stopword(Language lang, std::string_view word) {
    auto value = static_cast<std::size_t>(lang);
    if (value == 0) value = static_cast<std::size_t>(Language::English);  // as the tables read Auto
    if (value > kLanguageCount) return false;
    const WordSet& set = supplement_index().sets[value];
    return !set.empty() && set.count(word) != 0;
}

bool is_word_part(Language lang, std::string_view word) {
    // Single characters of the built-in Chinese list that are content morphemes far more often
    // than function words; the particles (的, 了, 在, 是, 和 ...) stay stopwords.
    static constexpr std::string_view kWordParts[] = {
        "人", "上", "中", "大", "来", "下", "后", "好", "看", "说",
        "去", "到", "有", "一", "可", "能", "要", "会", "过", "为",
    };
    if (lang != Language::Chinese) return false;
    if (std::find(std::begin(kWordParts), std::end(kWordParts), word) == std::end(kWordParts))
        return false;
    return !stopwords::is_tenant_stop(stopwords::kActiveTenant, lang, word);
}

}  // namespace kezo::keyphrase
