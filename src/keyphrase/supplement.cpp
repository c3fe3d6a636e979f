// Lookup of the supplementary stopwords: one hash set per language over the generated lists.
#include "supplement.h"

#include <array>
#include <unordered_set>

namespace kezo::keyphrase {
namespace {

using WordSet = std::unordered_set<std::string_view>;

// Index by language value (0..kLanguageCount); languages without a list keep an empty set.
struct SupplementIndex {
    std::array<WordSet, kLanguageCount + 1> sets;

    SupplementIndex() {
        for (std::size_t i = 0; i < detail::kSupplementListCount; ++i) {
            const detail::SupplementList& list = detail::kSupplementLists[i];
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

}  // namespace kezo::keyphrase
