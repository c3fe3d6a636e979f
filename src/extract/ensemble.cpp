// The ensemble: all four extractors on one token stream, rescaled, weighted and merged by text.
#include <deque>
#include <string_view>
#include <unordered_map>

#include "candidates.h"
#include "kezo/extract.h"
#include "kezo/stopwords.h"
#include "kezo/text.h"

namespace kezo {
namespace {

// Merged keywords in order of first appearance. The deque keeps every element in place, so the
// index may key on views of the stored texts.
class Merge {
  public:
    // Rescales list to 0..1 from its first (highest) and last (lowest) scores and adds weight
    // times that to each keyword; a list without spread gives every entry the full weight.
    void add(std::vector<Keyword>&& list, double weight) {
        if (list.empty()) return;
        const double high = list.front().score;
        const double low = list.back().score;
        const double range = high - low;
        for (Keyword& k : list) {
            const double contribution = range > 0 ? (k.score - low) / range * weight : weight;
            Keyword& merged = find_or_add(std::move(k.text));
            merged.score += contribution;
            merged.count += k.count;
            if (merged.first_position == 0) merged.first_position = k.first_position;
        }
    }

    std::vector<Keyword> ranked(unsigned top_k) {
        std::vector<double> scores(merged_.size());
        for (std::size_t k = 0; k < scores.size(); ++k) scores[k] = merged_[k].score;
        std::vector<Keyword> result;
        const std::vector<std::uint32_t> order = internal::rank_by_score(scores, top_k);
        result.reserve(order.size());
        for (std::uint32_t k : order) result.push_back(std::move(merged_[k]));
        return result;
    }

  private:
    Keyword& find_or_add(std::string&& text) {
        const auto found = index_.find(text);
        if (found != index_.end()) return merged_[found->second];
        Keyword& added = merged_.emplace_back();
        added.text = std::move(text);
        index_.emplace(added.text, merged_.size() - 1);
        return added;
    }

    std::deque<Keyword> merged_;
    std::unordered_map<std::string_view, std::size_t> index_;
};

}  // namespace

std::vector<Keyword> extract_keywords_ensemble(const std::string& text,
                                               const EnsembleConfig& config) {
    const Language lang =
        config.language == Language::Auto ? detect_language(text) : config.language;
    const stopwords::ScopedTenant tenant(config.tenant_id);
    const std::vector<Token> tokens = tokenize(text, config.tokenizer);
    if (tokens.empty()) return {};
    // The four extractors see the same tokens, so the stopword marks and (for the three that
    // share the n-gram range) the candidate ids are built once for all of them.
    const std::vector<bool> marks = internal::mark_content_tokens(tokens, lang);
    const internal::CandidateIds ids =
        internal::map_candidates(tokens, marks, config.min_n, config.max_n);
    Merge merge;

    // Every run asks for all of its candidates; the merged list is cut at the end.
    merge.add(internal::tfidf_rank(ids, internal::with_range<TFIDFConfig>(config, 0), nullptr),
              config.w_tfidf);
    merge.add(internal::yake_rank(ids, internal::with_range<YAKEConfig>(config, 0)), config.w_yake);
    merge.add(internal::textrank_rank(tokens, marks, ids,
                                      internal::with_range<TextRankConfig>(config, 0)),
              config.w_textrank);
    merge.add(internal::rake_rank(tokens, marks, internal::rake_from(config, 0, false)),
              config.w_rake);

    return merge.ranked(config.top_k);
}

}  // namespace kezo
