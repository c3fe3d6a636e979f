// Web and mail addresses in running text ("https://t.co/Xy7", "www.example.org",
// "jane.smith@uni.edu"), and the HTML tags that text taken from the web or converted from
// documents keeps ("<A href="3.html#10">"): read as words they give keyphrases such as "https",
// "co", "launch https" or "href", so the word scanner passes over them as it passes over a
// number.
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
// without "://", "www." and '@' costs three searches and no allocation. Tags as add_markup in
// addresses.cpp reads them: an HTML element's name and '>' after '<' or "</", or its name, a
// blank and attributes with an '=' ("a<b and c>d" is no tag); a text without '<' costs one more
// search. Overlapping ranges are merged. Thread-safe.
std::vector<ByteRange> find_addresses_and_markup(std::string_view text);

}  // namespace kezo::keyphrase
