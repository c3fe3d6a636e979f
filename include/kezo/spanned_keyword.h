// A keyword together with where it occurs: the record every extraction method of the product
// layer returns (the keyphrase pipeline and the published-algorithm methods alike), so that a
// caller can find, highlight or count each phrase in its own text.
#pragma once

#include <cstdint>
#include <vector>

#include "kezo/types.h"

namespace kezo {

// One occurrence: bytes [begin, end) of the text the phrase was extracted from. begin is the
// first byte of the phrase's first word, end one past the last byte of its last word, so the
// bytes in between are the phrase as written (any case, line break or hyphen between words).
struct ByteSpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

struct SpannedKeyword {
    Keyword keyword;
    // The occurrences the keyword stands for (every inflected variant it was counted with), in
    // text order, never overlapping one another.
    std::vector<ByteSpan> spans;
};

}  // namespace kezo
