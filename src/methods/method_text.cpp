// The language and candidates of a method call.
#include "method_text.h"

#include <algorithm>

#include "../keyphrase/words.h"
#include "kezo/language_id.h"
#include "kezo/stopwords.h"

namespace kezo::methods {

Language resolve_language(std::string_view text, Language requested) {
    const auto value = static_cast<std::uint32_t>(requested);
    if (value >= 1 && value <= kLanguageCount) return requested;
    return identify_best_language(text);
}

keyphrase::Candidates method_candidates(std::string_view text, Language lang,
                                        std::uint32_t max_words, bool allow_connectors,
                                        const std::unordered_set<std::string>& extra_stopwords) {
    std::unordered_set<std::string> lowered;
    for (const std::string& w : extra_stopwords) lowered.insert(stopwords::normalize(w));
    keyphrase::ScanOptions scan;
    scan.language = lang;
    scan.extra_stopwords = lowered.empty() ? nullptr : &lowered;
    keyphrase::CandidateOptions options;
    options.language = lang;
    options.max_words = std::max<std::uint32_t>(max_words, 1);
    options.allow_connectors = allow_connectors;
    return keyphrase::build_candidates(text, keyphrase::scan_words(text, scan), options);
}

void scale_to_best(std::vector<double>& scores, const std::vector<char>* offered) {
    double best = 0.0;
    for (std::size_t p = 0; p < scores.size(); ++p)
        if (offered == nullptr || (*offered)[p]) best = std::max(best, scores[p]);
    if (best <= 0.0) return;
    for (double& s : scores)
        if (s > 0.0) s /= best;
}

}  // namespace kezo::methods
