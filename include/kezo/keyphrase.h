// Keyphrase pipeline: the phrases a reader would pick as the keys of one document.
//
// Candidates are runs of content words that never cross a sentence end, clause punctuation, a
// line break closing a title or paragraph, or a dropped token (a number, a one-letter word);
// French and Italian elided articles are split off, hyphenated compounds stay one word.
// Stopwords are the built-in, custom and tenant ones of the stopword registry plus this
// pipeline's supplement lists. Inflected variants are counted together through Snowball stems;
// candidates are scored from the document alone (or with a document-frequency table when one is
// given) and near-duplicates of higher-ranked phrases are left out.
//
// Thread-safe: any number of threads may call these functions at once. Each thread creates its
// stemmers on first use of a language and frees them when it ends; the word lists are shared,
// immutable and built once per process. Every function returns its result by value and keeps
// no reference to its arguments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "kezo/flat_keyphrases.h"
#include "kezo/language.h"
#include "kezo/spanned_keyword.h"
#include "kezo/types.h"

namespace kezo {

struct KeyphraseConfig {
    // Auto: identify_best_language(text) (language_id.h).
    Language language = Language::Auto;
    // Number of keyphrases returned; 0 keeps all.
    std::uint32_t top_k = 10;
    // Longest phrase in words (a hyphenated compound is one word; an inner "of" or "de" counts);
    // 0 is read as 1. Four measured best on the gold sets, with three and five close behind.
    std::uint32_t max_words = 4;
    // Keep near-duplicates: phrases whose stems lie inside a higher-ranked phrase or repeat its
    // stems in another order, and the one-off phrases that a recurring phrase stands for.
    bool keep_near_duplicates = false;
    // How much of a phrase may repeat a higher-ranked one before it is left out (unless
    // keep_near_duplicates). The similarity of a phrase p to a phrase q ranked above it compares
    // their content stems (connectors aside):
    //   1 when q holds all of p's stems as one run in p's order, or the same stems in another
    //     order ("blades" or "turbine blades" in "cracked turbine blades", "blades turbine");
    //   otherwise the longest run of p's stems that q also holds in a row in the same order,
    //     as a share of p's stems ("turbine wear" to "cracked turbine blades": 1/2).
    // p is left out when its similarity to some phrase kept before it is at least this value
    // and above 0. 1 (the default) leaves out only phrases wholly inside or permuting a kept
    // one; 0.5 also those sharing half their words in a row; above 1 (or NaN) leaves out
    // nothing, as keep_near_duplicates does. At any value up to 1, a phrase recurring three
    // times or more that lies inside one-off phrases ranked above it still takes their place.
    double near_duplicate_threshold = 1.0;
    // Tenant whose stopwords apply during the call (stopwords::ScopedTenant); empty for none.
    std::string tenant_id;
    // Words with digits ("falcon 9", "mp3") take part in phrases instead of ending them; a phrase
    // still needs a word with letters.
    bool keep_numbers = false;
    // Lets one "of" / "de" / "da" ... join two content words inside a phrase.
    bool allow_connectors = true;
    // Further stopwords for this call only, on top of the built-in, custom and tenant ones:
    // compared lower-cased (stopwords::normalize), so "Data" and "data" are the same entry. A
    // run of ideographs spelling an entry is a stopword too. Nothing outside the call sees them.
    std::unordered_set<std::string> extra_stopwords;

    // Optional corpus statistics: stem key (see keyphrase_stem_key) -> number of documents that
    // hold the phrase, and the number of documents counted. Used only when total_documents > 0;
    // keyphrase_document_frequency builds both from a corpus.
    std::unordered_map<std::string, std::uint32_t> document_frequency;
    std::uint32_t total_documents = 0;
};

// The keyphrases of text, best first, at most config.top_k of them (0 keeps all). For each:
// - text: the phrase's most frequent spelling in the text. A word keeps its capitals where they
//   are the writer's choice (names, acronyms); at a sentence start or in a line written in title
//   case it is lower-cased unless another word of the phrase is capitalised.
// - score: the estimated chance, strictly between 0 and 1, that a reader would pick the phrase;
//   finite, higher is better.
// - count: occurrences of the phrase's stem group (every inflected variant).
// - first_position: index of the phrase's first word at its first occurrence, counted in the
//   words of the text (function words and split-off articles included; numbers unless kept,
//   single letters that are not function words, and symbols not counted).
// Any bytes are accepted: malformed UTF-8 is skipped, words longer than 64 characters end
// phrases. Time and memory are linear in the length of the text: at the peak 13 bytes a word
// and about 60 a distinct candidate, plus 8 an occurrence below a few hundred thousand content
// words (about 4 bytes per byte of prose, 5 on text of words drawn at random); room reserved
// beyond that is never touched.
std::vector<Keyword> extract_keyphrases(std::string_view text, const KeyphraseConfig& config);

// The same keyphrases, each with the byte spans of the occurrences it stands for: every
// occurrence of its stem group, in text order; where two occurrences overlap ("a b a" in
// "a b a b a") the later one is left out. A span runs from the first byte of the phrase's first
// word to one past the last byte of its last word, so it holds the phrase as written (case,
// line breaks, hyphens and blanks between the words, soft hyphens inside them). Costs one more
// pass over the occurrences of the phrases returned.
std::vector<SpannedKeyword> extract_keyphrases_spanned(std::string_view text,
                                                       const KeyphraseConfig& config);

// The same keyphrases into out, cleared first and filled in the same order: a caller that
// keeps out from one call to the next allocates nothing for the results once it has grown.
void extract_keyphrases_spanned(std::string_view text, const KeyphraseConfig& config,
                                FlatKeyphrases& out);

// The key under which a phrase is counted in KeyphraseConfig::document_frequency: its words
// lower-cased, stemmed for lang (function words as they are), joined by one blank.
std::string keyphrase_stem_key(const std::string& phrase, Language lang);

// In how many of texts each candidate phrase occurs, keyed by stem key: the table for
// KeyphraseConfig::document_frequency (with total_documents = texts.size()). Candidates are
// formed with config's language (Auto: identified per text), max_words, keep_numbers,
// allow_connectors, extra_stopwords and tenant_id. Linear in the total length of the texts.
std::unordered_map<std::string, std::uint32_t> keyphrase_document_frequency(
    const std::vector<std::string>& texts, const KeyphraseConfig& config);

}  // namespace kezo
