// Records made from keyphrases laid out flat, for the calls that return std::vector of
// SpannedKeyword on top of one that fills a FlatKeyphrases.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "kezo/flat_keyphrases.h"
#include "kezo/spanned_keyword.h"
#include "thread_scratch.h"

namespace kezo {

// The keyphrases fill(FlatKeyphrases&) lays out, as records. The flat buffers are this
// thread's, kept from call to call, so only the records allocate; they are lent to one call
// at a time (a fill that itself calls records_of gets buffers of its own), and room a long
// text needed goes back to the heap. Linear in the keyphrases.
template <class Fill>
std::vector<SpannedKeyword> records_of(Fill&& fill) {
    constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    FlatKeyphrases& kept = thread_scratch<FlatKeyphrases>();
    FlatKeyphrases found = std::move(kept);
    found.clear();
    fill(found);
    std::vector<SpannedKeyword> records = found.to_records();
    if (found.capacity() <= kKeptItems) kept = std::move(found);
    return records;
}

}  // namespace kezo
