// TF-IDF over a corpus that is also the documents: count, add up the threads' tables, extract.
#include "kezo/tfidf_corpus.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "../keyphrase/phrase_counts.h"
#include "../keyphrase/text_threads.h"
#include "tfidf_candidates.h"

namespace kezo {
namespace {

// About the heap a text's candidates hold: what the bound on kept candidates counts.
std::size_t held_bytes(const keyphrase::Candidates& c) {
    std::size_t bytes =
        c.words.words.capacity() * sizeof(keyphrase::Word) +
        c.words.forms.capacity() * sizeof(std::string) +
        c.form_terms.capacity() * sizeof(std::uint32_t) +
        c.terms.capacity() * sizeof(keyphrase::Term) +
        c.phrases.capacity() * (sizeof(keyphrase::Phrase) + 2 * sizeof(std::uint32_t)) +
        c.occurrences.capacity() * sizeof(keyphrase::Occurrence);
    for (const std::string& form : c.words.forms) bytes += form.capacity();
    for (const keyphrase::Term& term : c.terms) bytes += term.stem.capacity();
    return bytes;
}

// One text between the count and its extraction.
struct CountedText {
    keyphrase::Candidates candidates;  // kept: empty words and phrases when dropped
    std::vector<std::uint32_t> keys;   // per phrase, its key in the counting thread's table
    std::uint32_t thread = 0;          // the thread that counted it
    bool kept = false;
};

}  // namespace

TfidfCorpusResult tfidf_corpus_keyphrases(const std::vector<std::string_view>& texts,
                                          const TfidfMethodConfig& config, unsigned threads,
                                          std::size_t kept_bytes) {
    if (texts.size() > UINT32_MAX) throw std::length_error("more than 2^32 - 1 texts");
    const std::size_t workers =
        std::max<std::size_t>(1, std::min<std::size_t>(threads, texts.size()));
    TfidfMethodConfig weighing = config;
    weighing.document_frequency = nullptr;
    weighing.total_documents = static_cast<std::uint32_t>(texts.size());

    // Count, keeping each text's candidates while they fit in the bound.
    std::vector<keyphrase::PhraseCounts> counts(workers);
    std::vector<CountedText> counted(texts.size());
    std::atomic<std::size_t> kept{0};
    keyphrase::TextsByThread read_by(workers);
    keyphrase::on_text_threads(
        texts.size(), workers, config.tenant_id, [&](std::size_t t, std::size_t i) {
            CountedText& text = counted[i];
            text.candidates = methods::tfidf_candidates(texts[i], config);
            text.thread = static_cast<std::uint32_t>(t);
            read_by.took(t, i);
            counts[t].add_document(text.candidates, &text.keys);
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
    auto table = std::make_shared<PhraseFrequencyTable>(counts[0].take_table());
    std::vector<std::vector<std::uint32_t>> index_of(workers);
    for (std::size_t t = 1; t < workers; ++t) table->add_all(counts[t].take_table(), &index_of[t]);
    const std::vector<std::uint32_t> documents = table->counts_by_index();
    weighing.document_frequency = table;

    // Extract, each text's phrases weighed by their counts read by index, mostly on the thread
    // that counted it.
    TfidfCorpusResult result;
    result.keyphrases.resize(texts.size());
    read_by.run(config.tenant_id, [&](std::size_t i) {
        CountedText& text = counted[i];
        if (!text.kept) {
            const keyphrase::Candidates c = methods::tfidf_candidates(texts[i], config);
            result.keyphrases[i] = methods::tfidf_of_candidates(c, weighing, nullptr);
            return;
        }
        // Each phrase's key in its thread's table gives way to the phrase's corpus count.
        std::vector<std::uint32_t>& df = text.keys;
        const std::vector<std::uint32_t>& where = index_of[text.thread];
        for (std::uint32_t& key : df) key = documents[text.thread == 0 ? key : where[key]];
        result.keyphrases[i] = methods::tfidf_of_candidates(text.candidates, weighing, &df);
        text = CountedText();  // its memory back as soon as it is done
    });
    result.document_frequency = std::move(table);
    result.total_documents = weighing.total_documents;
    return result;
}

}  // namespace kezo
