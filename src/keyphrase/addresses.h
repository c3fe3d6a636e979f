// Web and mail addresses in running text ("https://t.co/Xy7", "www.example.org",
// "jane.smith@uni.edu"): read as words they give keyphrases such as "https", "co" or "launch
// https", so the word scanner passes over them as it passes over a number.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace kezo::keyphrase {

struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The addresses of text, in text order, none overlapping: a URL (a scheme of letters, "://"
// and what follows up to a blank), a host name starting "www." and a mail address (a local part
// of letters, digits and ._%+-, '@', and a domain holding a dot), each without the punctuation
// that ends it in the sentence ("visit www.example.org." keeps its full stop). Each begins
// after a character that is no ASCII letter or digit, or at the start. ASCII only: a text
// without "://", "www." and '@' costs three searches and no allocation. Thread-safe.
std::vector<ByteRange> find_addresses(std::string_view text);

}  // namespace kezo::keyphrase
