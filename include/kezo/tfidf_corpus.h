// TF-IDF over a corpus whose own documents are the ones to extract from: the corpus is
// counted and every document extracted in one pass over the texts, each document's candidates
// built once and kept between the count and its extraction.
//
// The answer is the same as counting the texts with count_document_frequency (every
// stopword-bounded run, the configuration's language, longest phrase, stopwords and tenant)
// and then calling tfidf_keyphrases on each text with that table: only the work differs. A
// text is scanned once instead of twice, and a phrase's count is read by index instead of
// being looked up by key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "kezo/flat_keyphrases.h"
#include "kezo/phrase_frequency_table.h"
#include "kezo/spanned_keyword.h"
#include "kezo/tfidf_method.h"

namespace kezo {

struct TfidfCorpusResult {
    // Documents of the corpus holding each phrase, by stem key: the table a later call of
    // tfidf_keyphrases on other texts takes as config.document_frequency.
    std::shared_ptr<const PhraseFrequencyTable> document_frequency;
    std::uint32_t total_documents = 0;  // texts.size()
    // The keyphrases of each text, in the order of texts: tfidf_keyphrases(texts[i], config
    // with the table above).
    std::vector<std::vector<SpannedKeyword>> keyphrases;
};

// The same pass in two steps, for a caller that takes each text's keyphrases as soon as they
// are ready: the constructor counts the texts on `threads` threads (as below) and leaves the
// corpus table made; then any threads take() texts and extract() them until take() has none
// left. texts must outlive the pass and not change. Not copyable.
class TfidfCorpusPass {
  public:
    static constexpr std::size_t kNone = SIZE_MAX;

    TfidfCorpusPass(const std::vector<std::string_view>& texts, const TfidfMethodConfig& config,
                    unsigned threads, std::size_t kept_bytes = std::size_t{1} << 30);
    ~TfidfCorpusPass();
    TfidfCorpusPass(const TfidfCorpusPass&) = delete;
    TfidfCorpusPass& operator=(const TfidfCorpusPass&) = delete;

    // The index of a text not handed out before, mostly one this thread counted (its memory is
    // then freed where it was allocated), or kNone once all have been. Thread-safe, lock-free.
    std::size_t take();
    // Hands out no more texts: the others stop after their current one. Thread-safe.
    void stop();
    // The keyphrases of the text take() gave as i; call once per text. Thread-safe for
    // different texts. Sets config's tenant on this thread for the call.
    std::vector<SpannedKeyword> extract(std::size_t i);
    // The same keyphrases in place of what out held: a caller that keeps out from text to text
    // allocates nothing for them once it has grown.
    void extract(std::size_t i, FlatKeyphrases& out);

    // The corpus table (the result's document_frequency) and texts.size(). Thread-safe.
    std::shared_ptr<const PhraseFrequencyTable> document_frequency() const;
    std::uint32_t total_documents() const;
    // The threads the texts were counted on: threads, at most texts.size(), at least 1.
    std::size_t threads() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Counts texts and extracts every one of them on `threads` threads (0 and 1: the calling
// thread only). config.document_frequency and config.total_documents are ignored: the corpus
// is texts. texts are read from every thread at once and must not change during the call; the
// result does not depend on the number of threads. Thread-safe. Linear in the total length of
// the texts. Memory: the candidates of the texts are kept between the count and the extraction
// while they take at most kept_bytes; past that, a text's candidates are built again when it
// is extracted. Throws std::length_error for more than 2^32 - 1 texts.
TfidfCorpusResult tfidf_corpus_keyphrases(const std::vector<std::string_view>& texts,
                                          const TfidfMethodConfig& config, unsigned threads,
                                          std::size_t kept_bytes = std::size_t{1} << 30);

}  // namespace kezo
