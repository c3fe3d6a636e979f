// The words a published-algorithm method works on: the keyphrase pipeline's scan (language,
// tenant and per-call stopwords, sentence and clause boundaries), and the helpers the methods
// share to turn ranked word runs into keyphrases with spans.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "../keyphrase/words.h"
#include "kezo/language.h"
#include "kezo/spanned_keyword.h"

namespace kezo::methods {

// What a method needs to scan a text.
struct ScanRequest {
    Language language = Language::Auto;  // Auto (or out of range): identified from the text
    const std::string* tenant_id = nullptr;
    const std::unordered_set<std::string>* extra_stopwords = nullptr;
};

// The words of text with stop marks from the built-in, tenant and per-call stopwords (held for
// the scan only). Linear in the text.
keyphrase::Words scan_method_words(std::string_view text, const ScanRequest& request);
// The same into out, whose words and forms are replaced and whose vectors keep their capacity.
void scan_method_words(std::string_view text, const ScanRequest& request, keyphrase::Words& out);

// The request of a method's configuration: its language, tenant_id and extra_stopwords, which
// must outlive the request.
template <class Config>
ScanRequest scan_request(const Config& config) {
    ScanRequest request;
    request.language = config.language;
    request.tenant_id = &config.tenant_id;
    request.extra_stopwords = &config.extra_stopwords;
    return request;
}

// The words of text for a method's configuration.
template <class Config>
keyphrase::Words scan_method_words(std::string_view text, const Config& config) {
    return scan_method_words(text, scan_request(config));
}

// A run of words [first, first + length) of a scan, keyed by its sequence of forms.
struct Occurrence {
    std::uint32_t first = 0;
    std::uint32_t length = 0;
};

// The key of words[first, first + length): their form indices as bytes.
std::string run_key(const keyphrase::Words& words, std::uint32_t first, std::uint32_t length);

// Appends the lower-cased form of words.words[i] to text, whose bytes from phrase_begin on are
// the phrase written so far, after a blank unless the phrase is empty, the word is an ideograph
// after an ideograph (text written without blanks), the phrase ends in an elided article
// ("d'avenir") or the word starts with an apostrophe ("film's"). Linear in the word.
inline void append_phrase_word(const keyphrase::Words& words, std::uint32_t i, std::string& text,
                               std::size_t phrase_begin = 0) {
    const std::string_view word = words.lower(i);
    const bool joined = text.size() == phrase_begin || text.back() == '\'' ||
                        (!word.empty() && word.front() == '\'') ||
                        (i > 0 && words.words[i].ideograph && words.words[i - 1].ideograph);
    if (!joined) text.push_back(' ');
    text += word;
}

}  // namespace kezo::methods
