// Scores of a long document's phrases from windows of the length the scorer was fitted on.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "candidates.h"
#include "scoring.h"

namespace kezo::keyphrase {

// How a document is cut into windows and how their scores are combined. The defaults are the
// fitted ones (bench/keyphrase_fit.py).
struct WindowOptions {
    // Content words per window: a window closes at the first sentence start after this many. A
    // document of fewer than twice as many is one window, scored as a whole.
    std::uint32_t content_words = 150;
    // The weight of the opening window (title, abstract, introduction); window k after it
    // (k = 1, 2 ...) weighs (1 + k)^-decay: the further into the text, the less a window says.
    double opening_weight = 2.0;
    double decay = 0.5;
    // A single word's document score is scaled by this: present in nearly every window, a
    // general word of the field ("algorithm", "students") would otherwise outrank the names the
    // document is about.
    double one_word_weight = 0.65;
};

// One score per phrase of doc, in [0, 1]: the weighted mean over the windows of the phrase's
// score in each window (0 where it does not occur), scaled for single words. The scorer's features
// (document length, position, recurrence) are read inside each window, so a document of any length
// is scored within the range the weights were fitted on, while a phrase that recurs across windows
// and an early one still come first. doc must have been built with options. A document too short to
// cut gets score_phrases' scores. Linear in the words; holds one window's candidates at a time
// besides doc. Thread-safe: reads doc only.
std::vector<double> score_in_windows(const Candidates& doc, const CandidateOptions& options,
                                     const ScoringParams& params,
                                     const WindowOptions& windows = {});

// Whether a document of content_words content words is cut into windows: scored as a whole
// otherwise.
inline bool cut_into_windows(std::size_t content_words, const WindowOptions& windows = {}) {
    return content_words >= 2 * std::size_t{std::max<std::uint32_t>(windows.content_words, 1)};
}

// Word index ranges [first, second) of the windows of doc under windows, in order; one range
// covering every word when the document is too short to cut.
std::vector<std::pair<std::size_t, std::size_t>> window_ranges(const Candidates& doc,
                                                               const WindowOptions& windows);

// The candidates of words [first, last) of doc alone, as if they were a document of their own
// (sentence numbers and byte offsets kept, so the first sentence of the document stays its
// title). scratch is a buffer reused across calls of one document.
Candidates window_candidates(const Candidates& doc, std::size_t first, std::size_t last,
                             const CandidateOptions& options, std::vector<std::uint32_t>* scratch);

}  // namespace kezo::keyphrase
