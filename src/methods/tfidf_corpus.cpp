// TF-IDF over a corpus that is also the documents: count, add up the threads' tables, extract.
#include "kezo/tfidf_corpus.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "../keyphrase/phrase_counts.h"
#include "../keyphrase/text_threads.h"
#include "kezo/helper_threads.h"
#include "kezo/stopwords.h"
#include "tfidf_candidates.h"

namespace kezo {
namespace {

// About the heap a text's candidates hold: what the bound on kept candidates counts.
std::size_t held_bytes(const keyphrase::Candidates& c) {
    std::size_t bytes =
        c.words.words.capacity() * sizeof(keyphrase::Word) + c.words.forms.held_bytes() +
        c.form_terms.capacity() * sizeof(std::uint32_t) +
        c.terms.capacity() * sizeof(keyphrase::Term) +
        c.phrases.capacity() * (sizeof(keyphrase::Phrase) + 2 * sizeof(std::uint32_t)) +
        c.occurrences.capacity() * sizeof(keyphrase::Occurrence);
    for (const keyphrase::Term& term : c.terms) bytes += term.stem.capacity();
    return bytes;
}

// One text between the count and its extraction.
struct CountedText {
    keyphrase::Candidates candidates;  // kept without terms; empty words and phrases when dropped
    std::vector<std::uint32_t> keys;   // per phrase, its key in the counting thread's table
    std::uint32_t thread = 0;          // the thread that counted it
    bool kept = false;
};

}  // namespace

// What the count leaves for the extraction.
struct TfidfCorpusPass::State {
    std::vector<std::string_view> texts;
    TfidfMethodConfig config;    // the caller's, for the candidates of texts not kept
    TfidfMethodConfig weighing;  // the corpus table and size in place of the caller's
    std::vector<CountedText> counted;
    keyphrase::TextsByThread read_by;
    std::shared_ptr<PhraseFrequencyTable> table;
    std::vector<std::vector<std::uint32_t>>
        index_of;  // by thread, as PhraseFrequencyTable::add_all

    State(const std::vector<std::string_view>& t, const TfidfMethodConfig& c, std::size_t workers)
        : texts(t), config(c), weighing(c), counted(t.size()), read_by(workers) {}
};

TfidfCorpusPass::TfidfCorpusPass(const std::vector<std::string_view>& texts,
                                 const TfidfMethodConfig& config, unsigned threads,
                                 std::size_t kept_bytes) {
    if (texts.size() > UINT32_MAX) throw std::length_error("more than 2^32 - 1 texts");
    const std::size_t workers =
        std::max<std::size_t>(1, std::min<std::size_t>(threads, texts.size()));
    state_ = std::make_unique<State>(texts, config, workers);
    State& s = *state_;
    s.weighing.document_frequency = nullptr;
    s.weighing.total_documents = static_cast<std::uint32_t>(texts.size());

    // Count, keeping each text's candidates while they fit in the bound.
    std::vector<keyphrase::PhraseCounts> counts =
        keyphrase::counts_for_threads(texts, workers, true);
    std::atomic<std::size_t> kept{0};
    keyphrase::on_text_threads(
        texts.size(), workers, config.tenant_id, [&](std::size_t t, std::size_t i) {
            CountedText& text = s.counted[i];
            text.candidates = methods::tfidf_candidates(texts[i], config);
            text.thread = static_cast<std::uint32_t>(t);
            s.read_by.took(t, i);
            counts[t].add_document(text.candidates, &text.keys);
            // Weighing reads the phrases, their occurrences and the words, not the index that
            // found the phrases nor the terms that keyed them: their room goes back now, and the
            // next text's takes it while it is in cache (a kept abstract holds about 30 % less).
            text.candidates.phrase_index = keyphrase::PhraseIndex();
            text.candidates.terms = std::vector<keyphrase::Term>();
            text.candidates.form_terms = std::vector<std::uint32_t>();
            const std::size_t bytes = held_bytes(text.candidates) + text.keys.capacity() * 4;
            if (kept.fetch_add(bytes, std::memory_order_relaxed) + bytes <= kept_bytes) {
                text.kept = true;
            } else {
                kept.fetch_sub(bytes, std::memory_order_relaxed);
                text.candidates = keyphrase::Candidates();
                text.keys = std::vector<std::uint32_t>();
            }
        });

    // One table for the corpus: the first thread's, with the others' keys added to it, and
    // where each of their keys went in it (the first thread's keep their indices).
    s.table = std::make_shared<PhraseFrequencyTable>(counts[0].take_table());
    s.index_of.resize(workers);
    for (std::size_t t = 1; t < workers; ++t)
        s.table->add_all(counts[t].take_table(), &s.index_of[t]);
    s.weighing.document_frequency = s.table;
}

TfidfCorpusPass::~TfidfCorpusPass() = default;

std::size_t TfidfCorpusPass::take() {
    const std::size_t i = state_->read_by.take();
    return i == keyphrase::TextsByThread::kNone ? kNone : i;
}

void TfidfCorpusPass::stop() {
    state_->read_by.stop();
}

void TfidfCorpusPass::extract(std::size_t i, FlatKeyphrases& out) {
    State& s = *state_;
    const stopwords::ScopedTenant tenant(s.config.tenant_id);
    CountedText& text = s.counted[i];
    if (!text.kept) {
        const keyphrase::Candidates c = methods::tfidf_candidates(s.texts[i], s.config);
        methods::tfidf_of_candidates(c, s.weighing, nullptr, out);
        return;
    }
    // A phrase's key in its thread's table leads to its corpus count, read for the phrases
    // weighed only.
    methods::PhraseDocuments documents;
    documents.key_of_phrase = text.keys.data();
    documents.index_of_key = text.thread == 0 ? nullptr : s.index_of[text.thread].data();
    documents.documents = s.table->counts_by_index().data();
    methods::tfidf_of_candidates(text.candidates, s.weighing, &documents, out);
    text = CountedText();  // its memory back as soon as it is done
}

std::vector<SpannedKeyword> TfidfCorpusPass::extract(std::size_t i) {
    FlatKeyphrases found;
    extract(i, found);
    return found.to_records();
}

std::shared_ptr<const PhraseFrequencyTable> TfidfCorpusPass::document_frequency() const {
    return state_->table;
}

std::uint32_t TfidfCorpusPass::total_documents() const {
    return state_->weighing.total_documents;
}

std::size_t TfidfCorpusPass::threads() const {
    return state_->index_of.size();
}

TfidfCorpusResult tfidf_corpus_keyphrases(const std::vector<std::string_view>& texts,
                                          const TfidfMethodConfig& config, unsigned threads,
                                          std::size_t kept_bytes) {
    TfidfCorpusPass pass(texts, config, threads, kept_bytes);
    TfidfCorpusResult result;
    result.keyphrases.resize(texts.size());
    // Each text mostly on the thread that counted it.
    run_on_helper_threads(pass.threads(), [&](std::size_t) {
        try {
            for (std::size_t i; (i = pass.take()) != TfidfCorpusPass::kNone;)
                result.keyphrases[i] = pass.extract(i);
        } catch (...) {
            pass.stop();
            throw;
        }
    });
    result.document_frequency = pass.document_frequency();
    result.total_documents = pass.total_documents();
    return result;
}

}  // namespace kezo
