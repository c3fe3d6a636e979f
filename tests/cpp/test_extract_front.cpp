#include <thread>

#include "extract_test_util.h"
#include "kezo/stopwords.h"
#include "kezo/text.h"
#include "test_data.h"

using namespace kezo;
using namespace kezo::testing;

namespace {

const std::string kText =
    "The Keyword extraction of long documents finds key phrases. Keyword extraction ranks "
    "phrases by statistics of the words in the documents.";

// All keywords, lengths 1..3, no tenant.
ExtractConfig config(Algorithm algorithm, Language lang = Language::English) {
    return {algorithm, lang, {}, 0, 1, 3, ""};
}

constexpr Algorithm kAll[] = {Algorithm::TFIDF, Algorithm::YAKE, Algorithm::TextRank,
                              Algorithm::RAKE};

}  // namespace

TEST(ExtractFront, RunsTheChosenAlgorithmOnLowerCasedTokens) {
    // (The extraction fuzz target compares every algorithm with its direct call.)
    const auto tokens = tokenize(kText, TokenizerConfig());
    ExtractConfig yake = config(Algorithm::YAKE);
    yake.tokenizer.lowercase = false;  // ignored: the front end always lower-cases
    EXPECT_NE(find(extract_keywords(kText, yake), "keyword extraction"), nullptr);
    // RAKE with lengths 0 and 0 runs with 1..4 and includes single words; the others receive
    // 0 and 0, which yields no candidate.
    for (Algorithm a : kAll) {
        ExtractConfig zero = config(a);
        zero.min_n = zero.max_n = 0;
        if (a == Algorithm::RAKE)
            EXPECT_EQ(texts(extract_keywords(kText, zero)),
                      texts(rake_extract(tokens, Language::English, {1, 4, 0, true})));
        else
            EXPECT_TRUE(extract_keywords(kText, zero).empty());
    }
}

TEST(ExtractFront, LanguageResolutionAndTenantRestore) {
    // Auto uses the detected language; an explicit language is used whatever the text.
    const Language detected = detect_language(kText);
    for (Algorithm a : kAll)
        EXPECT_EQ(texts(extract_keywords(kText, config(a, Language::Auto))),
                  texts(extract_keywords(kText, config(a, detected))));
    EXPECT_NE(find(extract_keywords(kText, config(Algorithm::TFIDF, Language::French)), "the"),
              nullptr);
    EXPECT_TRUE(extract_keywords(kText, config(static_cast<Algorithm>(7))).empty());

    stopwords::load_tenant("front-tenant", Language::English, {"keyword"});
    stopwords::ScopedTenant outer("front-outer");
    ExtractConfig tenant = config(Algorithm::RAKE);
    tenant.tenant_id = "front-tenant";
    const auto list = extract_keywords(kText, tenant);
    EXPECT_EQ(find(list, "keyword"), nullptr);
    EXPECT_NE(find(list, "extraction"), nullptr);
    EXPECT_EQ(stopwords::kActiveTenant, "front-outer");
    EXPECT_NE(find(extract_keywords(kText, config(Algorithm::RAKE)), "keyword"), nullptr);
}

TEST(ExtractRobustness, EmptyInputAndMegabyteDocument) {
    // Through the front end, which hands the lengths to each algorithm unchanged. (Ordering and
    // top_k over arbitrary text and options are the extraction fuzz target's.)
    const std::string text = "alpha beta alpha gamma, alpha delta of beta epsilon";
    const std::string page = udhr("en");
    ASSERT_FALSE(page.empty());
    std::string megabyte;
    while (megabyte.size() < (1u << 20)) megabyte += page;
    for (Algorithm a : kAll) {
        SCOPED_TRACE(static_cast<int>(a));
        auto run = [a](const std::string& t, unsigned k, unsigned lo = 1, unsigned hi = 3) {
            return extract_keywords(t, {a, Language::English, {}, k, lo, hi, ""});
        };
        EXPECT_FALSE(run(text, 0).empty());
        EXPECT_TRUE(run("", 0).empty() && run("the, of ...", 0).empty());
        EXPECT_TRUE(run("\xff\xfe\xc3 !!! ... \u3002\uff01", 0).empty());
        EXPECT_TRUE(a == Algorithm::RAKE || run(text, 0, 3, 2).empty());  // max_n below min_n
        const auto big = run(megabyte, 10);
        ASSERT_EQ(big.size(), 10u);
        expect_ranked(big);
        run(std::string(1 << 20, 'x'), 10);  // one 1 MB word
    }
}

TEST(ExtractConcurrency, ThreadsSeeOnlyTheirOwnTenantStopwords) {
    const std::string text = "alpha beta gamma delta. beta gamma alpha epsilon; gamma alpha beta";
    const std::vector<std::string> tenants{"conc-a", "conc-b", "conc-c"};
    const std::vector<std::string> hidden{"alpha", "beta", "gamma"};
    for (std::size_t t = 0; t < tenants.size(); ++t)
        stopwords::load_tenant(tenants[t], Language::English, {hidden[t]});
    std::vector<int> failures(tenants.size(), 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < tenants.size(); ++t) {
        threads.emplace_back([&, t] {
            EnsembleConfig ensemble;
            ensemble.language = Language::English;
            ensemble.tenant_id = tenants[t];
            ensemble.top_k = 0;
            ExtractConfig single = ensemble;
            for (int round = 0; round < 50; ++round) {
                single.algorithm = kAll[round % 4];
                for (const auto& list :
                     {extract_keywords(text, single), extract_keywords_ensemble(text, ensemble)}) {
                    for (std::size_t other = 0; other < hidden.size(); ++other) {
                        const bool present = find(list, hidden[other]) != nullptr;
                        if (present == (other == t)) ++failures[t];
                    }
                }
                if (!stopwords::kActiveTenant.empty()) ++failures[t];
            }
        });
    }
    // A writer reloading an unrelated tenant meanwhile.
    threads.emplace_back([] {
        for (int round = 0; round < 50; ++round)
            stopwords::load_tenant("conc-writer", Language::English,
                                   {"alpha", "w" + std::to_string(round)});
    });
    for (std::thread& thread : threads) thread.join();
    for (std::size_t t = 0; t < tenants.size(); ++t) EXPECT_EQ(failures[t], 0) << tenants[t];
}
