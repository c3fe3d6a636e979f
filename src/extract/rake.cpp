// RAKE: phrases are runs of content words cut at stopwords and punctuation; a word scores its
// degree over its frequency, a phrase the sum of its word scores per occurrence.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "candidates.h"
#include "kezo/extract.h"

namespace kezo {
namespace {

struct Phrase {
    std::uint32_t begin;   // token index of the first word
    std::uint32_t length;  // number of words (consecutive tokens)
};

// Retained phrases in the order they close. A content word is a word token that is not a
// stopword; a number token kept by the tokenizer is a word and so can be one.
std::vector<Phrase> segment(const std::vector<bool>& marks, std::size_t min_length,
                            std::size_t max_length) {
    std::vector<Phrase> phrases;
    std::size_t begin = 0, length = 0;
    auto close = [&](std::size_t needed) {
        if (length > 0 && length >= needed)
            phrases.push_back(
                {static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(length)});
        length = 0;
    };
    for (std::size_t k = 0; k < marks.size(); ++k) {
        if (!marks[k]) {
            close(min_length);
            continue;
        }
        if (length == 0) begin = k;
        if (++length >= max_length) close(0);
    }
    close(min_length);
    return phrases;
}

}  // namespace

std::vector<Keyword> rake_extract(const std::vector<Token>& tokens, Language lang,
                                  const RAKEConfig& config) {
    if (tokens.empty()) return {};
    return internal::rake_rank(tokens, internal::mark_content_tokens(tokens, lang), config);
}

std::vector<Keyword> internal::rake_rank(const std::vector<Token>& tokens,
                                         const std::vector<bool>& marks, const RAKEConfig& config) {
    std::vector<Keyword> result;
    // A phrase of 0 words is no keyword, so a minimum length of 0 acts as 1.
    const std::vector<Phrase> phrases =
        segment(marks, std::max(config.min_phrase_length, 1u), config.max_phrase_length);
    if (phrases.empty()) return result;

    // Word statistics over the retained phrases. Each occurrence in a phrase of m words adds m
    // to the word's degree (itself plus one co-occurrence with each other position); the
    // degree is 64-bit because a long phrase of repeated words would overflow 32 bits.
    std::unordered_map<std::string_view, std::uint32_t> vocabulary;
    std::vector<std::uint32_t> frequency;
    std::vector<std::uint64_t> degree;
    std::vector<std::string_view> word_text;
    std::vector<std::uint32_t> word_of_token(tokens.size());
    for (const Phrase& p : phrases) {
        for (std::size_t k = p.begin; k < p.begin + p.length; ++k) {
            const auto next = static_cast<std::uint32_t>(word_text.size());
            const auto [it, inserted] = vocabulary.try_emplace(tokens[k].text, next);
            if (inserted) {
                word_text.push_back(it->first);
                frequency.push_back(0);
                degree.push_back(0);
            }
            word_of_token[k] = it->second;
            ++frequency[it->second];
            degree[it->second] += p.length;
        }
    }
    std::vector<double> word_score(word_text.size());
    for (std::size_t w = 0; w < word_score.size(); ++w)
        word_score[w] = static_cast<double>(degree[w]) / static_cast<double>(frequency[w]);

    // Phrase texts to ids in order of first retention; scores accumulate per occurrence.
    std::unordered_map<std::string, std::uint32_t> phrase_index;
    std::vector<const std::string*> phrase_text;
    std::vector<std::uint32_t> phrase_count;
    std::vector<double> scores;
    std::string buffer;
    for (const Phrase& p : phrases) {
        double sum = 0.0;
        buffer.clear();
        for (std::size_t k = p.begin; k < p.begin + p.length; ++k) {
            if (k != p.begin) buffer.push_back(' ');
            buffer.append(tokens[k].text);
            sum += word_score[word_of_token[k]];
        }
        const auto next = static_cast<std::uint32_t>(phrase_text.size());
        const auto [it, inserted] = phrase_index.try_emplace(buffer, next);
        if (inserted) {
            phrase_text.push_back(&it->first);
            phrase_count.push_back(0);
            scores.push_back(0.0);
        }
        ++phrase_count[it->second];
        scores[it->second] += sum;
    }

    // Word keywords follow the phrase keywords, so a phrase ranks before a word of equal score.
    const std::size_t phrase_total = phrase_text.size();
    if (config.include_words) scores.insert(scores.end(), word_score.begin(), word_score.end());
    const std::vector<std::uint32_t> order = internal::rank_by_score(scores, config.top_k);
    result.reserve(order.size());
    for (std::uint32_t id : order) {
        if (id < phrase_total)
            result.push_back(Keyword{*phrase_text[id], scores[id], phrase_count[id], 0});
        else
            result.push_back(Keyword{std::string(word_text[id - phrase_total]), scores[id],
                                     frequency[id - phrase_total], 0});
    }
    return result;
}

}  // namespace kezo
