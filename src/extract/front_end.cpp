// The one-call front end: language, tenant scope, tokenization and one algorithm.
#include "candidates.h"
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
        case Algorithm::TFIDF:
            return tfidf_extract(tokens, lang,
                                 internal::with_range<TFIDFConfig>(config, config.top_k), nullptr);
        case Algorithm::YAKE:
            return yake_extract(tokens, lang,
                                internal::with_range<YAKEConfig>(config, config.top_k));
        case Algorithm::TextRank:
            return textrank_extract(tokens, lang,
                                    internal::with_range<TextRankConfig>(config, config.top_k));
        case Algorithm::RAKE:
            return rake_extract(tokens, lang, internal::rake_from(config, config.top_k, true));
    }
    return {};
}

}  // namespace kezo
