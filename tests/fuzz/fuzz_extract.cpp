// Keyword extraction under arbitrary text and extreme but bounded options: every algorithm
// through the front end and through its direct call, the ensemble and the keyphrase pipeline.
// Every list must hold finite scores in non-increasing order, non-empty well-formed texts and
// positive counts; a cut to top_k must be the first top_k entries of the full list; the front
// end must return exactly what the algorithm returns for the same tokens; and no tenant may stay
// active afterwards. The pipeline runs with the part-of-speech models.
// Input: the text first; the options are taken from the last bytes.
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "kezo/extract.h"
#include "kezo/keyphrase.h"
#include "kezo/stopwords.h"
#include "kezo/tagger.h"
#include "kezo/text.h"

using namespace kezo;
using kezo::fuzz::pick;
using kezo::fuzz::pick_count;

namespace {

constexpr const char* kTenant = "fuzz-tenant";
// Above this many bytes, max_n and the windows stay small: their cost grows with their square on
// long runs of content words (see extract.h), which is documented, not a fault.
constexpr std::size_t kHugeOptionsTextLimit = 256;

struct Request {
    std::string text;
    ExtractConfig base;  // algorithm, language, tokenizer, lengths and tenant for every call
    TFIDFConfig tfidf;
    YAKEConfig yake;
    TextRankConfig textrank;
    RAKEConfig rake;
    EnsembleConfig ensemble;
    KeyphraseConfig keyphrase;
    bool with_df = false;
    DocumentFrequency df;
};

std::vector<Token> tokens_of(const Request& r) {
    return tokenize(r.text, r.base.tokenizer);
}

template <class Config>
Config with_top_k(Config config, std::uint32_t top_k) {
    config.top_k = top_k;
    return config;
}

// The ways of extracting keywords, each run with a given top_k. The direct calls run under the
// request's tenant, as the front end does.
std::vector<Keyword> run_front_end(const Request& r, std::uint32_t top_k) {
    return extract_keywords(r.text, with_top_k(r.base, top_k));
}
std::vector<Keyword> run_tfidf(const Request& r, std::uint32_t top_k) {
    const stopwords::ScopedTenant tenant(r.base.tenant_id);
    return tfidf_extract(tokens_of(r), r.base.language, with_top_k(r.tfidf, top_k),
                         r.with_df ? &r.df : nullptr);
}
std::vector<Keyword> run_yake(const Request& r, std::uint32_t top_k) {
    const stopwords::ScopedTenant tenant(r.base.tenant_id);
    return yake_extract(tokens_of(r), r.base.language, with_top_k(r.yake, top_k));
}
std::vector<Keyword> run_textrank(const Request& r, std::uint32_t top_k) {
    const stopwords::ScopedTenant tenant(r.base.tenant_id);
    return textrank_extract(tokens_of(r), r.base.language, with_top_k(r.textrank, top_k));
}
std::vector<Keyword> run_rake(const Request& r, std::uint32_t top_k) {
    const stopwords::ScopedTenant tenant(r.base.tenant_id);
    return rake_extract(tokens_of(r), r.base.language, with_top_k(r.rake, top_k));
}
std::vector<Keyword> run_ensemble(const Request& r, std::uint32_t top_k) {
    return extract_keywords_ensemble(r.text, with_top_k(r.ensemble, top_k));
}
std::vector<Keyword> run_keyphrases(const Request& r, std::uint32_t top_k) {
    return extract_keyphrases(r.text, with_top_k(r.keyphrase, top_k));
}

struct Extractor {
    std::vector<Keyword> (*run)(const Request&, std::uint32_t top_k);
    bool may_repeat_texts;  // RAKE lists a one-word phrase and the same word as a word keyword
};

const Extractor kExtractors[] = {
    {run_front_end, false}, {run_tfidf, false},    {run_yake, false},       {run_textrank, false},
    {run_rake, true},       {run_ensemble, false}, {run_keyphrases, false},
};

void check_ranked(const std::vector<Keyword>& list, bool distinct_texts) {
    std::set<std::string> seen;
    for (std::size_t k = 0; k < list.size(); ++k) {
        FUZZ_CHECK(std::isfinite(list[k].score));
        FUZZ_CHECK(k == 0 || list[k - 1].score >= list[k].score);
        FUZZ_CHECK(list[k].count >= 1);
        FUZZ_CHECK(!list[k].text.empty() && fuzz::is_well_formed(list[k].text));
        FUZZ_CHECK(!distinct_texts || seen.insert(list[k].text).second);
    }
    FUZZ_CHECK(stopwords::kActiveTenant.empty());
}

// The front end returns the chosen algorithm's list unchanged: lower-cased tokens, the detected
// language for Auto, and the fixed parameters of each algorithm.
std::vector<Keyword> direct_equivalent(const Request& r) {
    ExtractConfig c = r.base;
    c.top_k = 0;
    const Language lang = c.language == Language::Auto ? detect_language(r.text) : c.language;
    TokenizerConfig lower = c.tokenizer;
    lower.lowercase = true;
    const std::vector<Token> tokens = tokenize(r.text, lower);
    const stopwords::ScopedTenant tenant(c.tenant_id);
    switch (c.algorithm) {
        case Algorithm::TFIDF:
            return tfidf_extract(tokens, lang, {c.min_n, c.max_n, 0, 0, true, true}, nullptr);
        case Algorithm::YAKE:
            return yake_extract(tokens, lang, {c.min_n, c.max_n, 0, 2, true});
        case Algorithm::TextRank:
            return textrank_extract(tokens, lang, {c.min_n, c.max_n, 0, 2, 0.85, 100, 0.0001});
        case Algorithm::RAKE:
            return rake_extract(tokens, lang,
                                {c.min_n ? c.min_n : 1, c.max_n ? c.max_n : 4, 0, true});
    }
    return {};
}

bool same(const std::vector<Keyword>& a, const std::vector<Keyword>& b, std::size_t n) {
    if (a.size() < n || b.size() < n) return false;
    for (std::size_t k = 0; k < n; ++k) {
        if (a[k].text != b[k].text || a[k].score != b[k].score || a[k].count != b[k].count ||
            a[k].first_position != b[k].first_position)
            return false;
    }
    return true;
}

Request read_request(FuzzedDataProvider& in, bool needs_df) {
    Request r;
    ExtractConfig& c = r.base;
    c.algorithm = static_cast<Algorithm>(in.ConsumeIntegralInRange<std::uint32_t>(0, 4));
    c.language = static_cast<Language>(in.ConsumeIntegralInRange<std::uint32_t>(0, 19));
    static const char* const kTenantIds[] = {"", kTenant, "fuzz-unknown"};
    c.tenant_id = pick(in, kTenantIds);
    c.tokenizer = {in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool(),
                   in.ConsumeBool(), in.ConsumeBool(), pick_count(in, 6, true)};
    c.min_n = pick_count(in, 4, true);
    c.max_n = pick_count(in, 8, true);
    const std::uint32_t window = pick_count(in, 16, true);
    const std::uint32_t textrank_window = pick_count(in, 16, true);
    const std::uint32_t rake_max = pick_count(in, 8, true);
    static const std::uint32_t kCorpusSizes[] = {0, 1, 2, 10, UINT32_MAX};
    r.tfidf = {c.min_n, c.max_n, pick(in, kCorpusSizes), 0, in.ConsumeBool(), in.ConsumeBool()};
    r.with_df = in.ConsumeBool();
    r.yake = {c.min_n, c.max_n, 0, window, in.ConsumeBool()};
    // Damping stays within 0..1 and the iterations bounded; the tolerance may be anything.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    static const double kDampings[] = {0.0, 0.85, 1.0, 1e-300};
    const double tolerances[] = {0.0001, 0.0, 1.0, -1.0, nan, inf, -inf};
    const double damping = in.ConsumeBool() ? in.ConsumeProbability<double>() : pick(in, kDampings);
    const std::uint32_t max_iter = pick_count(in, 300, false);
    const double tolerance = pick(in, tolerances);
    r.textrank = {c.min_n, c.max_n, 0, textrank_window, damping, max_iter, tolerance};
    r.rake = {pick_count(in, 4, true), rake_max, 0, in.ConsumeBool()};
    // Finite weights; four of the largest still sum to a finite score.
    static const double weights[] = {1.0, 0.7, 0.0, 0.25, -1.0, 1e6, -1e6, 1e300, -1e300};
    r.ensemble = {c, pick(in, weights), pick(in, weights), pick(in, weights), pick(in, weights)};
    KeyphraseConfig& k = r.keyphrase;
    k.language = c.language;
    k.max_words = pick_count(in, 8, true);
    k.keep_near_duplicates = in.ConsumeBool();
    k.tenant_id = c.tenant_id;
    k.keep_numbers = in.ConsumeBool();
    k.allow_connectors = in.ConsumeBool();
    const bool keyphrase_df = in.ConsumeBool();
    k.total_documents = pick(in, kCorpusSizes);
    r.text = in.ConsumeRemainingBytesAsString();
    if (r.text.size() > kHugeOptionsTextLimit) {
        for (std::uint32_t* n :
             {&c.max_n, &r.tfidf.max_n, &r.yake.max_n, &r.yake.window, &r.textrank.max_n,
              &r.textrank.window, &r.rake.max_phrase_length, &r.ensemble.max_n, &k.max_words})
            *n = std::min<std::uint32_t>(*n, 16);
    }
    if (keyphrase_df) {
        // Documents are the lines of the text.
        std::vector<std::string> lines;
        for (std::size_t from = 0; from <= r.text.size();) {
            std::size_t to = r.text.find('\n', from);
            if (to == std::string::npos) to = r.text.size();
            lines.push_back(r.text.substr(from, to - from));
            from = to + 1;
        }
        k.document_frequency = keyphrase_document_frequency(lines, k);
    }
    if (r.with_df && needs_df) {
        // Documents are the lines of the text.
        std::vector<std::vector<Token>> docs;
        for (std::size_t from = 0; from <= r.text.size();) {
            std::size_t to = r.text.find('\n', from);
            if (to == std::string::npos) to = r.text.size();
            docs.push_back(tokenize(r.text.substr(from, to - from), c.tokenizer));
            from = to + 1;
        }
        const stopwords::ScopedTenant tenant(c.tenant_id);
        r.df = build_corpus_df(docs, c.language, r.tfidf.min_n, r.tfidf.max_n);
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    stopwords::load_tenant(kTenant, Language::English, {"Keyword", "data", "the"});
    stopwords::load_tenant(kTenant, Language::Chinese, {"\u6570\u636E", "\u7684"});
    stopwords::add(Language::English, "fuzzcustom");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The keyphrase pipeline reads the part-of-speech models where they are at hand, as kezo
    // gives them: its noun-phrase rules run then.
    static const bool models = (set_tagger_directory(KEZO_TAGGER_MODEL_DIR), true);
    (void)models;
    FuzzedDataProvider in(data, size);
    const std::size_t chosen =
        in.ConsumeIntegralInRange<std::size_t>(0, std::size(kExtractors) - 1);
    const Extractor& extractor = kExtractors[chosen];
    static const std::uint32_t kTopK[] = {1, 2, 3, 5, 10, UINT32_MAX};
    const std::uint32_t top_k = pick(in, kTopK);
    const Request request = read_request(in, extractor.run == run_tfidf);

    const bool distinct =
        !extractor.may_repeat_texts &&
        !(extractor.run == run_front_end && request.base.algorithm == Algorithm::RAKE);
    const std::vector<Keyword> all = extractor.run(request, 0);
    check_ranked(all, distinct);
    const std::vector<Keyword> cut = extractor.run(request, top_k);
    check_ranked(cut, distinct);
    FUZZ_CHECK(cut.size() == std::min<std::size_t>(top_k, all.size()));
    FUZZ_CHECK(same(cut, all, cut.size()));
    if (extractor.run == run_front_end) {
        const std::vector<Keyword> direct = direct_equivalent(request);
        FUZZ_CHECK(all.size() == direct.size() && same(all, direct, all.size()));
    }
    return 0;
}
