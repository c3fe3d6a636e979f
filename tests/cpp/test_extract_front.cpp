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

// English, all keywords, lengths 1..3, no tenant.
ExtractConfig config(Algorithm algorithm) {
    return {algorithm, Language::English, {}, 0, 1, 3, ""};
}

constexpr Algorithm kAll[] = {Algorithm::TFIDF, Algorithm::YAKE, Algorithm::TextRank,
                              Algorithm::RAKE};

}  // namespace

// What the front end hands to each algorithm (the detected language for Auto, lower-cased
// tokens, the fixed parameters, RAKE's lengths 0 read as 1..4, nothing for an unknown algorithm,
// the tenant's stopwords) is checked against the direct calls by the extraction fuzz target, which
// also finds no tenant left active; here the tenant active before the call comes back.
TEST(ExtractFront, TenantScopeEndsWithTheCall) {
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
