// The keyphrase pipeline: language, tenant scope, words, candidates, scores, selection.
#include <utility>

#include "candidates.h"
#include "kezo/keyphrase.h"
#include "kezo/language_id.h"
#include "kezo/stopwords.h"
#include "scoring.h"
#include "selection.h"
#include "stemmer.h"
#include "words.h"

namespace kezo {

namespace {

// Auto, and any value outside the enumeration, is identified from the text.
Language resolve_language(const std::string& text, Language requested) {
    const auto value = static_cast<std::uint32_t>(requested);
    if (value >= 1 && value <= kLanguageCount) return requested;
    return identify_best_language(text);
}

}  // namespace

std::vector<Keyword> extract_keyphrases(const std::string& text, const KeyphraseConfig& config) {
    const Language lang = resolve_language(text, config.language);
    // Tenant stopwords apply to every stop test of this call; the previous tenant comes back on
    // every exit.
    const stopwords::ScopedTenant tenant(config.tenant_id);

    keyphrase::ScanOptions scan;
    scan.language = lang;
    scan.keep_numbers = config.keep_numbers;
    keyphrase::CandidateOptions candidates;
    candidates.language = lang;
    candidates.max_words = config.max_words;
    candidates.allow_connectors = config.allow_connectors;
    const keyphrase::Candidates c =
        keyphrase::build_candidates(keyphrase::scan_words(text, scan), candidates);

    keyphrase::ScoringParams scoring;
    scoring.language = lang;
    if (config.total_documents > 0) {
        scoring.document_frequency = &config.document_frequency;
        scoring.total_documents = config.total_documents;
    }
    const std::vector<double> scores = keyphrase::score_phrases(c, scoring);

    keyphrase::SelectionOptions selection;
    selection.top_k = config.top_k;
    selection.keep_near_duplicates = config.keep_near_duplicates;
    return keyphrase::select_keyphrases(c, scores, selection);
}

std::string keyphrase_stem_key(const std::string& phrase, Language lang) {
    keyphrase::ScanOptions scan;
    scan.language = lang;
    scan.keep_numbers = true;
    std::string key;
    for (const keyphrase::Word& w : keyphrase::scan_words(phrase, scan)) {
        if (!key.empty()) key.push_back(' ');
        key.append(keyphrase::stem_word(lang, w.lower));
    }
    return key;
}

}  // namespace kezo
