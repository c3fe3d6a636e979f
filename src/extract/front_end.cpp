// The one-call front end: language, tenant scope, tokenization and one algorithm.
#include "kezo/extract.h"
#include "kezo/stopwords.h"
#include "kezo/text.h"

namespace kezo {

std::vector<Keyword> extract_keywords(const std::string& text, const ExtractConfig& config) {
    const Algorithm algorithm = config.algorithm;
    // An unknown algorithm yields nothing, so there is no point detecting or tokenizing first.
    if (algorithm != Algorithm::TFIDF && algorithm != Algorithm::YAKE &&
        algorithm != Algorithm::TextRank && algorithm != Algorithm::RAKE)
        return {};
    const Language lang =
        config.language == Language::Auto ? detect_language(text) : config.language;
    // Restores the thread's previous tenant on every exit, exceptions included.
    const stopwords::ScopedTenant tenant(config.tenant_id);
    TokenizerConfig tokenizer = config.tokenizer;
    tokenizer.lowercase = true;
    const std::vector<Token> tokens = tokenize(text, tokenizer);

    switch (algorithm) {
        case Algorithm::TFIDF: {
            TFIDFConfig c;
            c.min_n = config.min_n;
            c.max_n = config.max_n;
            c.top_k = config.top_k;
            return tfidf_extract(tokens, lang, c, nullptr);
        }
        case Algorithm::YAKE: {
            YAKEConfig c;
            c.min_n = config.min_n;
            c.max_n = config.max_n;
            c.top_k = config.top_k;
            return yake_extract(tokens, lang, c);
        }
        case Algorithm::TextRank: {
            TextRankConfig c;
            c.min_n = config.min_n;
            c.max_n = config.max_n;
            c.top_k = config.top_k;
            return textrank_extract(tokens, lang, c);
        }
        case Algorithm::RAKE: {
            RAKEConfig c;
            c.min_phrase_length = config.min_n == 0 ? 1 : config.min_n;
            c.max_phrase_length = config.max_n == 0 ? 4 : config.max_n;
            c.top_k = config.top_k;
            c.include_words = true;
            return rake_extract(tokens, lang, c);
        }
    }
    return {};
}

}  // namespace kezo
