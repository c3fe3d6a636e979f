// TF-IDF over the keyphrase pipeline's candidates, with corpus or sentence statistics.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "../core/flat_records.h"
#include "../core/thread_scratch.h"
#include "../keyphrase/stem_keys.h"
#include "kezo/stopwords.h"
#include "kezo/tfidf_method.h"
#include "method_text.h"
#include "tfidf_candidates.h"

namespace kezo {
namespace {

double smoothed_idf(double documents, double holding) {
    return std::log((1.0 + documents) / (1.0 + std::min(holding, documents))) + 1.0;
}

// Sentences holding each phrase, and the number of sentences: the statistics of a text alone.
std::vector<std::uint32_t> sentence_frequency(const keyphrase::Candidates& c,
                                              std::uint32_t* sentences) {
    std::vector<std::uint32_t> held(c.phrases.size(), 0);
    std::vector<std::uint32_t> last(c.phrases.size(), UINT32_MAX);
    const std::vector<keyphrase::Word>& words = c.words.words;
    std::uint32_t s = 0;  // the sentence of word at
    std::size_t at = 0;
    keyphrase::for_each_occurrence(c, [&](const keyphrase::Occurrence& o) {
        for (; at < o.start; ++at) s += words[at + 1].sentence_start;
        if (last[o.phrase] != s) {
            last[o.phrase] = s;
            ++held[o.phrase];
        }
    });
    for (; at + 1 < words.size(); ++at) s += words[at + 1].sentence_start;
    *sentences = words.empty() ? 0 : s + 1;
    return held;
}

// The corpus counts of the phrases of a text: read where the corpus count left them, or looked
// up in the corpus table by the hashes of their terms, each hashed once.
class CorpusLookup {
  public:
    CorpusLookup(const keyphrase::Candidates& c, const TfidfMethodConfig& config,
                 const methods::PhraseDocuments* documents)
        : c_(c), config_(config), documents_(documents) {}

    // The smoothed idf of phrase p.
    double idf(std::uint32_t p) const {
        return smoothed_idf(config_.total_documents, documents_holding(p));
    }
    // The fewest documents that can hold a phrase of the text: one where the corpus counted the
    // text itself.
    std::uint32_t least_holding() const { return documents_ != nullptr ? 1 : 0; }

  private:
    std::uint32_t documents_holding(std::uint32_t p) const {
        if (documents_ != nullptr) return documents_->of(p);
        const keyphrase::Phrase& phrase = c_.phrases[p];
        return config_.document_frequency->find(
            keyphrase::phrase_key_hash(c_, phrase),
            [&](std::string_view key) { return keyphrase::is_stem_key_of(key, c_, phrase); });
    }

    const keyphrase::Candidates& c_;
    const TfidfMethodConfig& config_;
    const methods::PhraseDocuments* documents_;
};

// What scoring a text works on, kept by each thread from one text to the next so that a text
// allocates only what it returns. A text that needed more than kKeptItems gives the memory back.
struct Scratch {
    static constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    std::vector<char> offered;                    // by phrase
    std::vector<double> score;                    // by phrase
    std::vector<std::uint32_t> by_count, sorted;  // offered phrases
    std::vector<std::uint32_t> start;             // by count
    std::vector<std::uint32_t> best;              // the top_k phrases so far

    void trim() {
        if (offered.capacity() > kKeptItems || start.capacity() > kKeptItems) *this = Scratch();
    }
};

// The offered phrases by falling count, phrases of one count in index order: a counting sort,
// as counts are small (most phrases of a text occur once), falling back on a stable sort when
// one is not. The order is left in s.sorted.
const std::vector<std::uint32_t>& offered_by_falling_count(const keyphrase::Candidates& c,
                                                           const std::vector<char>& offered,
                                                           Scratch& s) {
    constexpr std::uint32_t kCountedSort = 256;  // counts a counting sort takes
    std::vector<std::uint32_t>& by_count = s.by_count;
    by_count.clear();
    std::uint32_t most = 0;
    for (std::uint32_t p = 0; p < offered.size(); ++p)
        if (offered[p]) {
            by_count.push_back(p);
            most = std::max(most, c.phrases[p].count);
        }
    std::vector<std::uint32_t>& sorted = s.sorted;
    if (most >= kCountedSort) {
        sorted = by_count;
        std::stable_sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
            return c.phrases[a].count > c.phrases[b].count;
        });
        return sorted;
    }
    // Where the phrases of each count start: after every phrase of a higher count.
    std::vector<std::uint32_t>& start = s.start;
    start.assign(most + 2, 0);
    for (const std::uint32_t p : by_count) ++start[most - c.phrases[p].count + 1];
    for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
    sorted.resize(by_count.size());
    for (const std::uint32_t p : by_count) sorted[start[most - c.phrases[p].count]++] = p;
    return sorted;
}

// Corpus scores of the config.top_k best phrases and of the phrases scored on the way; every
// other phrase is offered no more. Phrases rank by falling score, then by index (the order of
// their first word, then of their length, as the selection ranks them). A phrase scores at
// most tf times the idf of the fewest documents a phrase can be held by, the same computation
// as the score of a phrase held by that many and higher than any held by more, so phrases are
// scored by falling tf, in index order within a tf, until that bound cannot reach the k-th best
// phrase: most phrases of a text occur once and are never looked up. A bound equal to the k-th
// best score can only tie it, and a phrase after it in index order ranks after it then, as do
// the phrases after that one of the same tf.
void score_in_corpus_top(const keyphrase::Candidates& c, const TfidfMethodConfig& config,
                         const CorpusLookup& corpus, Scratch& s) {
    std::vector<char>& offered = s.offered;
    std::vector<double>& score = s.score;
    const std::vector<std::uint32_t>& by_count = offered_by_falling_count(c, offered, s);
    const double most_idf = smoothed_idf(config.total_documents, corpus.least_holding());
    // The top_k best so far, the worst of them first: a heap by rank.
    std::vector<std::uint32_t>& best = s.best;
    const auto ranks_before = [&](std::uint32_t a, std::uint32_t b) {
        return score[a] != score[b] ? score[a] > score[b] : a < b;
    };
    best.clear();
    std::size_t next = 0;
    for (; next < by_count.size(); ++next) {
        const std::uint32_t p = by_count[next];
        const double tf = static_cast<double>(c.phrases[p].count);
        if (best.size() == config.top_k) {
            const double bound = tf * most_idf;
            const double kth = score[best.front()];
            if (bound < kth || (bound == kth && p > best.front())) break;
        }
        score[p] = tf * corpus.idf(p);
        if (!keyphrase::is_offered(c.phrases[p])) continue;  // scored, but never shown
        if (best.size() < config.top_k) {
            best.push_back(p);
            std::push_heap(best.begin(), best.end(), ranks_before);
        } else if (ranks_before(p, best.front())) {
            std::pop_heap(best.begin(), best.end(), ranks_before);
            best.back() = p;
            std::push_heap(best.begin(), best.end(), ranks_before);
        }
    }
    for (; next < by_count.size(); ++next) offered[by_count[next]] = 0;
    // Nor is a phrase scored below the k-th best: only the top_k are left to rank.
    if (best.size() == config.top_k)
        for (std::size_t k = 0; k < next; ++k)
            if (ranks_before(best.front(), by_count[k])) offered[by_count[k]] = 0;
}

}  // namespace

namespace methods {

keyphrase::Candidates tfidf_candidates(std::string_view text, const TfidfMethodConfig& config) {
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    return method_candidates(text, resolve_language(text, config.language),
                             std::max(config.max_words, min_words), true, config.extra_stopwords);
}

void tfidf_of_candidates(const keyphrase::Candidates& c, const TfidfMethodConfig& config,
                         const PhraseDocuments* documents, FlatKeyphrases& out) {
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    Scratch& scratch = thread_scratch<Scratch>();
    std::vector<char>& offered = scratch.offered;
    offered.resize(c.phrases.size());
    for (std::size_t p = 0; p < c.phrases.size(); ++p)
        offered[p] = c.phrases[p].content_words() >= min_words;
    std::vector<double>& score = scratch.score;
    score.assign(c.phrases.size(), 0.0);
    const bool corpus = (documents != nullptr || config.document_frequency != nullptr) &&
                        config.total_documents > 0;
    std::uint32_t sentences = 0;
    const std::vector<std::uint32_t> held =
        corpus ? std::vector<std::uint32_t>() : sentence_frequency(c, &sentences);
    if (corpus) {
        const CorpusLookup lookup(c, config, documents);
        if (config.top_k > 0) {
            score_in_corpus_top(c, config, lookup, scratch);
        } else {
            for (std::size_t p = 0; p < c.phrases.size(); ++p)
                if (offered[p]) score[p] = static_cast<double>(c.phrases[p].count) * lookup.idf(p);
        }
    } else {
        for (std::size_t p = 0; p < c.phrases.size(); ++p)
            if (offered[p])
                score[p] =
                    static_cast<double>(c.phrases[p].count) * smoothed_idf(sentences, held[p]);
    }
    methods::scale_to_best(score, &offered);

    keyphrase::SelectionOptions selection;
    selection.top_k = config.top_k;
    selection.keep_near_duplicates = true;  // every n-gram counts, as tf-idf has it
    selection.spans = true;
    selection.offered = &offered;
    keyphrase::select_keyphrases(c, score, selection, out);
    scratch.trim();
}

}  // namespace methods

void tfidf_keyphrases(std::string_view text, const TfidfMethodConfig& config, FlatKeyphrases& out) {
    const stopwords::ScopedTenant tenant(config.tenant_id);
    methods::tfidf_of_candidates(methods::tfidf_candidates(text, config), config, nullptr, out);
}

std::vector<SpannedKeyword> tfidf_keyphrases(std::string_view text,
                                             const TfidfMethodConfig& config) {
    return records_of([&](FlatKeyphrases& out) { tfidf_keyphrases(text, config, out); });
}

}  // namespace kezo
