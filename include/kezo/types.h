// Plain value records passed between the subsystems: tokens, sentences, keywords and
// the configuration of every stage. Aggregates with defaults, no validation.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "kezo/language.h"

namespace kezo {

enum class Algorithm : std::uint32_t { TFIDF = 0, YAKE = 1, TextRank = 2, RAKE = 3 };

struct Token {
    std::string text;          // lower-cased when the tokenizer was asked to
    std::uint32_t offset = 0;  // byte offset of the first character in the input
    std::uint32_t pos = 0;     // running number assigned by the tokenizer
    bool is_word = false;      // false only for punctuation tokens
};

struct Sentence {
    std::uint32_t begin = 0;  // first token index (inclusive)
    std::uint32_t end = 0;    // one past the last token index
};

struct Keyword {
    std::string text;
    double score = 0.0;
    std::uint32_t count = 0;
    std::uint32_t first_position = 0;
};

struct TokenizerConfig {
    bool lowercase = true;
    bool strip_accents = false;  // carried for callers; the tokenizer does not consult it
    bool split_cjk = true;
    bool keep_numbers = false;
    bool keep_punctuation = false;
    std::uint32_t min_word_length = 2;  // in bytes
};

struct TFIDFConfig {
    std::uint32_t min_n = 1;
    std::uint32_t max_n = 3;
    std::uint32_t total_documents = 0;
    std::uint32_t top_k = 10;
    bool smooth = true;
    bool sublinear_tf = true;
};

struct YAKEConfig {
    std::uint32_t min_n = 1;
    std::uint32_t max_n = 3;
    std::uint32_t top_k = 10;
    std::uint32_t window = 2;
    bool product_mode = true;
};

struct TextRankConfig {
    std::uint32_t min_n = 1;
    std::uint32_t max_n = 3;
    std::uint32_t top_k = 10;
    std::uint32_t window = 2;
    double damping = 0.85;
    std::uint32_t max_iter = 100;
    double tol = 0.0001;
};

struct RAKEConfig {
    std::uint32_t min_phrase_length = 1;
    std::uint32_t max_phrase_length = 4;
    std::uint32_t top_k = 10;
    bool include_words = true;
};

struct ExtractConfig {
    Algorithm algorithm = Algorithm::YAKE;
    Language language = Language::Auto;
    TokenizerConfig tokenizer;
    std::uint32_t top_k = 10;
    std::uint32_t min_n = 1;
    std::uint32_t max_n = 3;
    std::string tenant_id;
};

struct EnsembleConfig : ExtractConfig {
    double w_tfidf = 1.0;
    double w_yake = 1.0;
    double w_textrank = 1.0;
    double w_rake = 0.7;
};

// Candidate text -> number of documents that contain it.
using DocumentFrequency = std::unordered_map<std::string, unsigned int>;

}  // namespace kezo
