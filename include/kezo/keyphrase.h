// Keyphrase pipeline: the phrases a reader would pick as the keys of one document.
//
// Candidates are runs of content words that never cross a sentence end, clause punctuation, a
// line break closing a title or paragraph, or a dropped token (a number, a one-letter word);
// French and Italian elided articles are split off, hyphenated compounds stay one word.
// Inflected variants are counted together through Snowball stems, candidates are scored from
// the document alone (or with a document-frequency table when one is given) and phrases that
// repeat a higher-ranked one are left out.
//
// Thread-safe: any number of threads may call extract_keyphrases at once. Each thread creates
// its stemmers on first use of a language and keeps them until it ends; the word lists are
// shared, immutable and built once per process.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "kezo/language.h"
#include "kezo/types.h"

namespace kezo {

struct KeyphraseConfig {
    // Auto: identify_best_language(text) (language_id.h).
    Language language = Language::Auto;
    // Number of keyphrases returned; 0 keeps all.
    std::uint32_t top_k = 10;
    // Longest phrase in words (a hyphenated compound is one word; an inner "of" or "de" counts).
    std::uint32_t max_words = 4;
    // Keep phrases that lie inside a higher-ranked one or repeat its stems.
    bool keep_near_duplicates = false;
    // Tenant whose stopwords apply during the call (stopwords::ScopedTenant); empty for none.
    std::string tenant_id;
    // Words with digits ("falcon 9", "mp3") take part in phrases instead of ending them; a phrase
    // still needs a word with letters.
    bool keep_numbers = false;
    // Lets one "of" / "de" / "da" ... join two content words inside a phrase.
    bool allow_connectors = true;

    // Optional corpus statistics: stem key (see keyphrase_stem_key) -> number of documents that
    // hold the phrase, and the number of documents counted. Used only when total_documents > 0;
    // keyphrase_document_frequency builds both from a corpus.
    std::unordered_map<std::string, std::uint32_t> document_frequency;
    std::uint32_t total_documents = 0;
};

// The keyphrases of text, best first, at most config.top_k of them (0 keeps all).
// Keyword::text is the surface form shown: the most frequent spelling in the text, lower-cased
// unless the phrase is capitalised wherever it does not start a sentence (names, acronyms).
// Keyword::score is finite and higher for better phrases; Keyword::count is the number of
// occurrences of the phrase's stem group; Keyword::first_position is the index, counted in
// words of the text (elided articles and dropped tokens included), of its first word's first
// occurrence. Any bytes are accepted; time and memory are linear in the text's length.
std::vector<Keyword> extract_keyphrases(const std::string& text, const KeyphraseConfig& config);

// The key under which a phrase is counted in KeyphraseConfig::document_frequency: its words
// lower-cased, stemmed for lang (function words as they are), joined by one blank.
std::string keyphrase_stem_key(const std::string& phrase, Language lang);

// In how many of texts each candidate phrase occurs, keyed by stem key: the table for
// KeyphraseConfig::document_frequency (with total_documents = texts.size()). Candidates are
// formed with config's language (Auto: identified per text), max_words, keep_numbers,
// allow_connectors and tenant_id. Linear in the total length of the texts.
std::unordered_map<std::string, std::uint32_t> keyphrase_document_frequency(
    const std::vector<std::string>& texts, const KeyphraseConfig& config);

}  // namespace kezo
