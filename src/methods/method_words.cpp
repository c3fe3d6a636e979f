// The shared scan of the published-algorithm methods and their keyphrase records.
#include "method_words.h"

#include <algorithm>

#include "kezo/language_id.h"
#include "kezo/stopwords.h"

namespace kezo::methods {

namespace {

bool all_lower_ascii(const std::string& w) {
    return std::all_of(w.begin(), w.end(), [](char ch) {
        return static_cast<unsigned char>(ch) < 0x80 && !(ch >= 'A' && ch <= 'Z');
    });
}

}  // namespace

keyphrase::Words scan_method_words(std::string_view text, const ScanRequest& request) {
    keyphrase::Words out;
    scan_method_words(text, request, out);
    return out;
}

void scan_method_words(std::string_view text, const ScanRequest& request, keyphrase::Words& out) {
    const auto value = static_cast<std::uint32_t>(request.language);
    keyphrase::ScanOptions scan;
    scan.language =
        value >= 1 && value <= kLanguageCount ? request.language : identify_best_language(text);
    std::unordered_set<std::string> lowered;
    if (request.extra_stopwords != nullptr && !request.extra_stopwords->empty()) {
        const auto& words = *request.extra_stopwords;
        if (std::all_of(words.begin(), words.end(), all_lower_ascii)) {
            scan.extra_stopwords = &words;
        } else {
            for (const std::string& w : words) lowered.insert(stopwords::normalize(w));
            scan.extra_stopwords = &lowered;
        }
    }
    const stopwords::ScopedTenant tenant(request.tenant_id ? *request.tenant_id : std::string());
    keyphrase::scan_words(text, scan, out);
}

std::string run_key(const keyphrase::Words& words, std::uint32_t first, std::uint32_t length) {
    std::string key(length * sizeof(std::uint32_t), '\0');
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint32_t form = words.words[first + i].form;
        for (std::uint32_t b = 0; b < 4; ++b)
            key[i * 4 + b] = static_cast<char>((form >> (8 * b)) & 0xFF);
    }
    return key;
}

}  // namespace kezo::methods
