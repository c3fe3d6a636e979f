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

// The candidates of text under config, with the language already resolved.
keyphrase::Candidates candidates_of(const std::string& text, Language lang,
                                    const KeyphraseConfig& config) {
    keyphrase::ScanOptions scan;
    scan.language = lang;
    scan.keep_numbers = config.keep_numbers;
    keyphrase::CandidateOptions options;
    options.language = lang;
    options.max_words = config.max_words;
    options.allow_connectors = config.allow_connectors;
    return keyphrase::build_candidates(keyphrase::scan_words(text, scan), options);
}

}  // namespace

std::vector<Keyword> extract_keyphrases(const std::string& text, const KeyphraseConfig& config) {
    const Language lang = resolve_language(text, config.language);
    // Tenant stopwords apply to every stop test of this call; the previous tenant comes back on
    // every exit.
    const stopwords::ScopedTenant tenant(config.tenant_id);
    const keyphrase::Candidates c = candidates_of(text, lang, config);

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
        key.append(w.stop ? w.lower : keyphrase::stem_word(lang, w.lower));
    }
    return key;
}

std::unordered_map<std::string, std::uint32_t> keyphrase_document_frequency(
    const std::vector<std::string>& texts, const KeyphraseConfig& config) {
    std::unordered_map<std::string, std::uint32_t> table;
    const stopwords::ScopedTenant tenant(config.tenant_id);
    for (const std::string& text : texts) {
        const Language lang = resolve_language(text, config.language);
        const keyphrase::Candidates c = candidates_of(text, lang, config);
        // Each phrase of a document is a distinct stem key, so it counts once per document.
        for (const keyphrase::Phrase& phrase : c.phrases)
            ++table[keyphrase::phrase_stem_key(c, phrase)];
    }
    return table;
}

}  // namespace kezo
