// Long documents scored window by window.
//
// The scorer's weights were fitted on texts of a few hundred words. Read over a whole paper,
// its length-dependent features (document length, position of the first occurrence, counts)
// leave that range and single words take over. Cut into windows of the fitted length, every
// window is a text like those the scorer knows; a phrase's document score is the weighted mean
// of its window scores, so recurrence across the text and the opening (title, abstract) count
// without any feature being read outside its range.
#include "windows.h"

#include <cmath>

namespace kezo::keyphrase {
namespace {

constexpr std::uint32_t kUnmapped = UINT32_MAX;

bool is_content(const Candidates& c, std::size_t i) {
    const std::uint32_t t = c.term_of(i);
    return t != kNoTerm && !c.terms[t].connector;
}

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> window_ranges(const Candidates& doc,
                                                               const WindowOptions& windows) {
    const std::vector<Word>& words = doc.words.words;
    const std::size_t n = words.size();
    const std::size_t size = std::max<std::uint32_t>(windows.content_words, 1);
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    if (!cut_into_windows(doc.content_words, windows)) {
        ranges.emplace_back(0, n);
        return ranges;
    }
    // A window closes at a sentence start once it holds enough content words; text without
    // sentence ends closes at a segment start past four times as many, and text without either
    // at eight times as many.
    std::size_t first = 0, content = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool segment_start = i > 0 && words[i].segment != words[i - 1].segment;
        if ((content >= size && words[i].sentence_start) ||
            (content >= 4 * size && segment_start) || content >= 8 * size) {
            ranges.emplace_back(first, i);
            first = i;
            content = 0;
        }
        if (is_content(doc, i)) ++content;
    }
    // A short tail joins the window before it.
    if (content * 2 < size && !ranges.empty())
        ranges.back().second = n;
    else
        ranges.emplace_back(first, n);
    return ranges;
}

Candidates window_candidates(const Candidates& doc, std::size_t first, std::size_t last,
                             const CandidateOptions& options, std::vector<std::uint32_t>* scratch) {
    const Words& all = doc.words;
    if (scratch->size() < all.forms.size()) scratch->resize(all.forms.size(), kUnmapped);
    Words words;
    words.words.assign(all.words.begin() + static_cast<std::ptrdiff_t>(first),
                       all.words.begin() + static_cast<std::ptrdiff_t>(last));
    if (!all.nominal.empty())
        words.nominal.assign(all.nominal.begin() + static_cast<std::ptrdiff_t>(first),
                             all.nominal.begin() + static_cast<std::ptrdiff_t>(last));
    for (Word& w : words.words) {
        std::uint32_t& local = (*scratch)[w.form];
        if (local == kUnmapped) {
            local = static_cast<std::uint32_t>(words.forms.size());
            words.forms.push_back(all.forms[w.form]);
        }
        w.form = local;
    }
    for (std::size_t i = first; i < last; ++i) (*scratch)[all.words[i].form] = kUnmapped;
    CandidateOptions kept = options;
    kept.keep_occurrences = true;  // a window is scored from its occurrences
    return build_candidates(doc.text, std::move(words), kept);
}

std::vector<double> score_in_windows(const Candidates& doc, const CandidateOptions& options,
                                     const ScoringParams& params, const WindowOptions& windows) {
    const std::vector<std::pair<std::size_t, std::size_t>> ranges = window_ranges(doc, windows);
    if (ranges.size() == 1) return score_phrases(doc, params);

    std::vector<double> scores(doc.phrases.size(), 0.0);
    std::vector<std::uint32_t> scratch;
    std::vector<std::uint32_t> terms;
    double weights = 0.0;
    for (std::size_t k = 0; k < ranges.size(); ++k) {
        const auto [first, last] = ranges[k];
        const double weight = k == 0 ? windows.opening_weight
                                     : std::pow(1.0 + static_cast<double>(k), -windows.decay);
        weights += weight;
        const Candidates window = window_candidates(doc, first, last, options, &scratch);
        const std::vector<double> window_scores = score_phrases(window, params);
        for (std::size_t p = 0; p < window.phrases.size(); ++p) {
            // The same words in the document: their terms name the document's phrase.
            const Phrase& phrase = window.phrases[p];
            const std::size_t start = first + phrase.first_word;
            terms.clear();
            for (std::size_t j = 0; j < phrase.terms().size(); ++j)
                terms.push_back(doc.term_of(start + j));
            const std::uint32_t id = doc.find_phrase(terms.data(), terms.size());
            if (id != kNoTerm) scores[id] += weight * window_scores[p];
        }
    }
    for (std::size_t p = 0; p < scores.size(); ++p) {
        scores[p] /= weights;
        if (doc.phrases[p].content_words() == 1) scores[p] *= windows.one_word_weight;
    }
    return scores;
}

}  // namespace kezo::keyphrase
