// The keyphrase pipeline: language, tenant scope, words, candidates, scores, selection.
#include <algorithm>
#include <iterator>
#include <unordered_set>
#include <utility>

#include "../core/flat_records.h"
#include "candidates.h"
#include "kezo/corpus_counting.h"
#include "kezo/keyphrase.h"
#include "kezo/language_id.h"
#include "kezo/stopwords.h"
#include "korean_particles.h"
#include "noun_phrases.h"
#include "phrase_counts.h"
#include "scoring.h"
#include "selection.h"
#include "stemmer.h"
#include "text_threads.h"
#include "windows.h"
#include "words.h"

namespace kezo {

namespace {

// Auto, and any value outside the enumeration, is identified from the text.
Language resolve_language(std::string_view text, Language requested) {
    const auto value = static_cast<std::uint32_t>(requested);
    if (value >= 1 && value <= kLanguageCount) return requested;
    return identify_best_language(text);
}

// The entries of a per-call stopword list as the scanner compares them: lower-cased. The
// caller's set is used as it is when every entry already is (the common case), else a lowered
// copy is made in *lowered.
const std::unordered_set<std::string>* lowered_stopwords(
    const std::unordered_set<std::string>& words, std::unordered_set<std::string>* lowered) {
    if (words.empty()) return nullptr;
    const auto is_lower = [](const std::string& w) {
        return std::all_of(w.begin(), w.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x80 && !(ch >= 'A' && ch <= 'Z');
        });
    };
    if (std::all_of(words.begin(), words.end(), is_lower)) return &words;
    for (const std::string& w : words) lowered->insert(stopwords::normalize(w));
    return lowered;
}

keyphrase::CandidateOptions candidate_options(Language lang, const KeyphraseConfig& config) {
    keyphrase::CandidateOptions options;
    options.language = lang;
    options.max_words = config.max_words;
    options.allow_connectors = config.allow_connectors;
    return options;
}

// What the candidates of a text are built for.
enum class Purpose {
    kScoring,   // scored and selected: occurrences kept unless the text is cut into windows
    kCounting,  // counted in a corpus: the phrases alone
};

// The candidates of text under config, with the language already resolved.
keyphrase::Candidates candidates_of(std::string_view text, Language lang,
                                    const KeyphraseConfig& config,
                                    const std::unordered_set<std::string>* extra_stopwords,
                                    Purpose purpose, bool noun_phrases = true) {
    keyphrase::ScanOptions scan;
    scan.language = lang;
    scan.keep_numbers = config.keep_numbers;
    scan.extra_stopwords = extra_stopwords;
    keyphrase::Words words = keyphrase::scan_words(text, scan);
    if (noun_phrases) {
        words.nominal = keyphrase::noun_phrase_words(text, words, lang);
        keyphrase::join_names(words, lang);
        if (lang == Language::Korean) keyphrase::split_korean_particles(text, words);
    }
    keyphrase::CandidateOptions options = candidate_options(lang, config);
    if (purpose == Purpose::kCounting) {
        options.keep_occurrences = false;
    } else {
        // A long document is scored from its windows' own occurrences, and its selection finds
        // the ones it needs again from the words: past a few hundred thousand content words
        // (megabytes of text) the list, 8 bytes an occurrence, is not kept. Below that, walking
        // the words again would cost more time than the list costs memory.
        constexpr std::size_t kListedUpTo = std::size_t{1} << 18;  // content words
        const auto content = static_cast<std::size_t>(
            std::count_if(words.words.begin(), words.words.end(),
                          [](const keyphrase::Word& w) { return !w.stop; }));
        options.keep_occurrences = content < kListedUpTo;
    }
    return keyphrase::build_candidates(text, std::move(words), options);
}

void run_pipeline(std::string_view text, const KeyphraseConfig& config, bool spans,
                  FlatKeyphrases& out) {
    const Language lang = resolve_language(text, config.language);
    // Tenant stopwords apply to every stop test of this call; the previous tenant comes back on
    // every exit.
    const stopwords::ScopedTenant tenant(config.tenant_id);
    std::unordered_set<std::string> lowered;
    const keyphrase::Candidates c = candidates_of(
        text, lang, config, lowered_stopwords(config.extra_stopwords, &lowered), Purpose::kScoring);

    keyphrase::ScoringParams scoring;
    scoring.language = lang;
    if (config.total_documents > 0) {
        scoring.document_frequency = &config.document_frequency;
        scoring.total_documents = config.total_documents;
    }
    const std::vector<double> scores =
        keyphrase::score_in_windows(c, candidate_options(lang, config), scoring);

    keyphrase::SelectionOptions selection;
    selection.top_k = config.top_k;
    selection.keep_near_duplicates = config.keep_near_duplicates;
    selection.near_duplicate_threshold = config.near_duplicate_threshold;
    selection.spans = spans;
    keyphrase::select_keyphrases(c, scores, selection, out);
}

}  // namespace

std::vector<Keyword> extract_keyphrases(std::string_view text, const KeyphraseConfig& config) {
    std::vector<SpannedKeyword> spanned =
        records_of([&](FlatKeyphrases& out) { run_pipeline(text, config, false, out); });
    std::vector<Keyword> out;
    out.reserve(spanned.size());
    for (SpannedKeyword& k : spanned) out.push_back(std::move(k.keyword));
    return out;
}

void extract_keyphrases_spanned(std::string_view text, const KeyphraseConfig& config,
                                FlatKeyphrases& out) {
    run_pipeline(text, config, true, out);
}

std::vector<SpannedKeyword> extract_keyphrases_spanned(std::string_view text,
                                                       const KeyphraseConfig& config) {
    return records_of([&](FlatKeyphrases& out) { run_pipeline(text, config, true, out); });
}

std::string keyphrase_stem_key(const std::string& phrase, Language lang) {
    keyphrase::ScanOptions scan;
    scan.language = lang;
    scan.keep_numbers = true;
    std::string key;
    const keyphrase::Words words = keyphrase::scan_words(phrase, scan);
    for (const keyphrase::Word& w : words.words) {
        if (!key.empty()) key.push_back(' ');
        const std::string_view lower = words.lower(w);
        if (w.stop)
            key.append(lower);
        else
            key.append(keyphrase::stem_word(lang, lower));
    }
    return key;
}

namespace {

// Adds one to the count of each distinct candidate phrase of text.
void count_phrases(std::string_view text, const KeyphraseConfig& config,
                   const std::unordered_set<std::string>* extra, bool noun_phrases,
                   keyphrase::PhraseCounts& counts) {
    const Language lang = resolve_language(text, config.language);
    counts.add_document(candidates_of(text, lang, config, extra, Purpose::kCounting, noun_phrases));
}

}  // namespace

std::unordered_map<std::string, std::uint32_t> keyphrase_document_frequency(
    const std::vector<std::string>& texts, const KeyphraseConfig& config) {
    std::unordered_map<std::string, std::uint32_t> table;
    const stopwords::ScopedTenant tenant(config.tenant_id);
    std::unordered_set<std::string> lowered;
    const auto* extra = lowered_stopwords(config.extra_stopwords, &lowered);
    keyphrase::PhraseCounts counts;
    for (const std::string& text : texts) count_phrases(text, config, extra, true, counts);
    counts.move_into(table);
    return table;
}

namespace {

// Each thread's counts of texts, counted as count_document_frequency counts them; merged when
// the caller merges the others' tables into the first's.
std::vector<keyphrase::PhraseCounts> count_on_threads(const std::vector<std::string_view>& texts,
                                                      const KeyphraseConfig& config,
                                                      const CorpusCountOptions& options,
                                                      bool merged) {
    std::unordered_set<std::string> lowered;
    const auto* extra = lowered_stopwords(config.extra_stopwords, &lowered);
    const std::size_t threads =
        std::max<std::size_t>(1, std::min<std::size_t>(options.threads, texts.size()));
    std::vector<keyphrase::PhraseCounts> counts =
        keyphrase::counts_for_threads(texts, threads, merged);
    keyphrase::on_text_threads(
        texts.size(), threads, config.tenant_id, [&](std::size_t t, std::size_t i) {
            count_phrases(texts[i], config, extra, options.noun_phrases, counts[t]);
        });
    return counts;
}

}  // namespace

std::unordered_map<std::string, std::uint32_t> count_document_frequency(
    const std::vector<std::string_view>& texts, const KeyphraseConfig& config,
    const CorpusCountOptions& options) {
    std::unordered_map<std::string, std::uint32_t> total;
    for (keyphrase::PhraseCounts& c : count_on_threads(texts, config, options, false))
        c.move_into(total);
    return total;
}

PhraseFrequencyTable count_phrase_frequencies(const std::vector<std::string_view>& texts,
                                              const KeyphraseConfig& config,
                                              const CorpusCountOptions& options) {
    std::vector<keyphrase::PhraseCounts> counts = count_on_threads(texts, config, options, true);
    PhraseFrequencyTable total = counts[0].take_table();
    for (std::size_t t = 1; t < counts.size(); ++t) total.add_all(counts[t].take_table(), nullptr);
    return total;
}

}  // namespace kezo
