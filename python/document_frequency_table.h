// The native side of DocumentFrequencyTable: corpus statistics shared, never copied, by every
// configuration given them.
#pragma once

#include <memory>
#include <utility>

#include "kezo/phrase_frequency_table.h"
#include "kezo/tfidf_method.h"

namespace kezo::python {

// Immutable once made: every holder shares the counts. A table holds its counts as a map, as
// a lookup table for the TF-IDF method, or both; the other form is made from the first when
// it is first needed. Call with the interpreter lock held.
struct DocumentFrequencyTable {
    std::shared_ptr<const DocumentFrequency> counts;
    std::shared_ptr<const PhraseFrequencyTable> lookup;

    const DocumentFrequency& map() {
        if (!counts) {
            DocumentFrequency made;
            made.reserve(lookup->size());
            lookup->for_each([&](std::uint32_t, std::uint64_t, std::string_view key,
                                 std::uint32_t n) { made.emplace(key, n); });
            counts = std::make_shared<const DocumentFrequency>(std::move(made));
        }
        return *counts;
    }

    const std::shared_ptr<const PhraseFrequencyTable>& phrase_table() {
        if (!lookup) lookup = std::make_shared<const PhraseFrequencyTable>(*counts);
        return lookup;
    }
};

}  // namespace kezo::python
