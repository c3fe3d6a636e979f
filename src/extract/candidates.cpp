// Candidate n-grams and the text-to-id mapping shared by TF-IDF, YAKE and TextRank.
#include "candidates.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "kezo/extract.h"
#include "kezo/stopwords.h"
#include "kezo/unicode.h"

namespace kezo::internal {

std::vector<bool> mark_content_tokens(const std::vector<Token>& tokens, Language lang) {
    std::vector<bool> marks(tokens.size());
    for (std::size_t k = 0; k < tokens.size(); ++k)
        marks[k] = tokens[k].is_word && !stopwords::is_stop(lang, tokens[k].text);
    return marks;
}

bool joins_without_blanks(const std::vector<Token>& tokens, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) {
        const std::string& text = tokens[k].text;
        std::uint32_t cp = 0;
        if (unicode::decode_utf8(text.data(), 0, text.size(), &cp) == 0 ||
            !unicode::is_ideographic_script(cp))
            return false;
    }
    return true;
}

std::vector<std::string> build_ngrams(const std::vector<Token>& tokens, Language lang,
                                      unsigned min_n, unsigned max_n) {
    std::vector<std::string> out;
    if (max_n < min_n || max_n == 0 || tokens.empty()) return out;
    const std::vector<bool> marks = mark_content_tokens(tokens, lang);
    for_each_candidate(tokens, marks, min_n, max_n,
                       [&out](const std::string& text) { out.push_back(text); });
    return out;
}

CandidateIds map_candidates(const std::vector<Token>& tokens, const std::vector<bool>& marks,
                            unsigned min_n, unsigned max_n) {
    CandidateIds ids;
    ids.min_n = min_n;
    ids.max_n = max_n;
    ids.index.reserve(tokens.size());
    for_each_candidate(tokens, marks, min_n, max_n, [&ids](const std::string& text) {
        const auto position = static_cast<std::uint32_t>(ids.sequence.size());
        const auto next = static_cast<std::uint32_t>(ids.text.size());
        const auto [it, inserted] = ids.index.try_emplace(text, next);
        if (inserted) {
            ids.text.push_back(&it->first);
            ids.first.push_back(position);
            ids.count.push_back(0);
        }
        ++ids.count[it->second];
        ids.sequence.push_back(it->second);
    });
    return ids;
}

std::vector<std::uint32_t> rank_by_score(const std::vector<double>& scores, unsigned top_k) {
    std::vector<std::uint32_t> order(scores.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<std::uint32_t>(k);
    // NaN would break the strict weak ordering the sort relies on; rank it last instead.
    auto key = [&scores](std::uint32_t k) {
        const double s = scores[k];
        return std::isnan(s) ? -std::numeric_limits<double>::infinity() : s;
    };
    auto higher = [&key](std::uint32_t a, std::uint32_t b) {
        const double ka = key(a), kb = key(b);
        return ka > kb || (ka == kb && a < b);
    };
    if (top_k != 0 && top_k < order.size()) {
        std::partial_sort(order.begin(), order.begin() + top_k, order.end(), higher);
        order.resize(top_k);
    } else {
        std::sort(order.begin(), order.end(), higher);
    }
    return order;
}

std::vector<Keyword> ranked_keywords(const CandidateIds& ids, const std::vector<double>& scores,
                                     unsigned top_k, bool with_first_position) {
    const std::vector<std::uint32_t> order = rank_by_score(scores, top_k);
    std::vector<Keyword> result;
    result.reserve(order.size());
    for (std::uint32_t id : order) {
        result.push_back(Keyword{*ids.text[id], scores[id], ids.count[id],
                                 with_first_position ? ids.first[id] : 0u});
    }
    return result;
}

}  // namespace kezo::internal
