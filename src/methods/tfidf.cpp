// TF-IDF over the keyphrase pipeline's candidates, with corpus or sentence statistics.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

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
        : c_(c), config_(config), documents_(documents) {
        if (documents_ == nullptr) term_hashes_ = keyphrase::term_key_hashes(c);
    }

    // The smoothed idf of phrase p.
    double idf(std::uint32_t p) const {
        return smoothed_idf(config_.total_documents, documents_holding(p));
    }

  private:
    std::uint32_t documents_holding(std::uint32_t p) const {
        if (documents_ != nullptr) return documents_->of(p);
        const keyphrase::Phrase& phrase = c_.phrases[p];
        return config_.document_frequency->find(
            keyphrase::phrase_key_hash(c_, term_hashes_, phrase),
            [&](std::string_view key) { return keyphrase::is_stem_key_of(key, c_, phrase); });
    }

    const keyphrase::Candidates& c_;
    const TfidfMethodConfig& config_;
    const methods::PhraseDocuments* documents_;
    std::vector<std::uint64_t> term_hashes_;
};

// What scoring a text works on, kept by each thread from one text to the next so that a text
// allocates only what it returns. A text that needed more than kKeptItems gives the memory back.
struct Scratch {
    static constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    std::vector<char> offered;                    // by phrase
    std::vector<double> score;                    // by phrase
    std::vector<std::uint32_t> by_count, sorted;  // offered phrases
    std::vector<std::uint32_t> start;             // by count
    std::vector<double> best;                     // the top_k scores so far

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

// Corpus scores of the phrases that can still be among the config.top_k best; every other
// offered phrase is offered no more. A phrase scores at most tf times the idf of a phrase no
// document holds, so phrases are scored by falling tf until that bound falls below the k-th
// best score found: most phrases of a text occur once and are never looked up.
void score_in_corpus_top(const keyphrase::Candidates& c, const TfidfMethodConfig& config,
                         const CorpusLookup& corpus, Scratch& s) {
    std::vector<char>& offered = s.offered;
    std::vector<double>& score = s.score;
    const std::vector<std::uint32_t>& by_count = offered_by_falling_count(c, offered, s);
    // A hair above the bound, so that rounding in the logarithm never drops a phrase.
    const double most_idf = smoothed_idf(config.total_documents, 0.0) * (1.0 + 1e-9);
    std::vector<double>& best = s.best;  // a min-heap of the top_k scores so far
    best.clear();
    std::size_t next = 0;
    for (; next < by_count.size(); ++next) {
        const std::uint32_t p = by_count[next];
        const auto tf = static_cast<double>(c.phrases[p].count);
        if (best.size() == config.top_k && tf * most_idf < best.front()) break;
        score[p] = tf * corpus.idf(p);
        if (!keyphrase::is_offered(c.phrases[p])) continue;  // scored, but never shown
        if (best.size() < config.top_k) {
            best.push_back(score[p]);
            std::push_heap(best.begin(), best.end(), std::greater<>());
        } else if (score[p] > best.front()) {
            std::pop_heap(best.begin(), best.end(), std::greater<>());
            best.back() = score[p];
            std::push_heap(best.begin(), best.end(), std::greater<>());
        }
    }
    for (; next < by_count.size(); ++next) offered[by_count[next]] = 0;
    // Nor is a phrase scored below the k-th best: only the few left are ranked.
    if (best.size() == config.top_k)
        for (std::size_t k = 0; k < next; ++k)
            if (score[by_count[k]] < best.front()) offered[by_count[k]] = 0;
}

}  // namespace

namespace methods {

keyphrase::Candidates tfidf_candidates(std::string_view text, const TfidfMethodConfig& config) {
    const std::uint32_t min_words = std::max<std::uint32_t>(config.min_words, 1);
    return method_candidates(text, resolve_language(text, config.language),
                             std::max(config.max_words, min_words), true, config.extra_stopwords);
}

std::vector<SpannedKeyword> tfidf_of_candidates(const keyphrase::Candidates& c,
                                                const TfidfMethodConfig& config,
                                                const PhraseDocuments* documents) {
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
    std::vector<SpannedKeyword> found = keyphrase::select_keyphrases(c, score, selection);
    scratch.trim();
    return found;
}

}  // namespace methods

std::vector<SpannedKeyword> tfidf_keyphrases(const std::string& text,
                                             const TfidfMethodConfig& config) {
    const stopwords::ScopedTenant tenant(config.tenant_id);
    return methods::tfidf_of_candidates(methods::tfidf_candidates(text, config), config, nullptr);
}

}  // namespace kezo
