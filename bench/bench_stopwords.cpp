// Cost of the stopword test that extraction runs for every candidate word.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_data.h"
#include "kezo/stopwords.h"
#include "kezo/text.h"

namespace sw = kezo::stopwords;
using kezo::Language;

namespace {

void BM_IsStopBuiltinHit(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(sw::is_stop(Language::English, "the"));
}

// A hit in the longest list, near its end (a linear scan's worst case).
void BM_IsStopBuiltinHitIndonesian(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(sw::is_stop(Language::Indonesian, "walaupun"));
}

// Upper case takes the normalising copy before the lookup.
void BM_IsStopBuiltinHitUpperCase(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(sw::is_stop(Language::English, "The"));
}

// No custom words and no tenant for the language: answered without the lock.
void BM_IsStopMiss(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(sw::is_stop(Language::English, "keyword"));
}

// German has 100 custom words here: a miss takes the shared lock and looks them up.
void BM_IsStopMissWithCustomWords(benchmark::State& state) {
    static const bool added = [] {
        for (int i = 0; i < 100; ++i) sw::add(Language::German, "benchcustom" + std::to_string(i));
        return true;
    }();
    benchmark::DoNotOptimize(added);
    for (auto _ : state) benchmark::DoNotOptimize(sw::is_stop(Language::German, "schlagwort"));
}

// A tenant is active on the thread (as during extraction) with 100 words of its own.
void BM_IsStopMissWithTenant(benchmark::State& state) {
    static const bool loaded = [] {
        std::vector<std::string> words;
        for (int i = 0; i < 100; ++i) words.push_back("benchtenant" + std::to_string(i));
        sw::load_tenant("bench-tenant", Language::French, words);
        return true;
    }();
    benchmark::DoNotOptimize(loaded);
    sw::ScopedTenant scope("bench-tenant");
    for (auto _ : state) benchmark::DoNotOptimize(sw::is_stop(Language::French, "motcle"));
}

// For comparison: the reference linear scan of the Indonesian list for a miss.
void BM_LinearScanMissIndonesian(benchmark::State& state) {
    const std::vector<std::string_view> all = sw::get(Language::Indonesian);
    std::vector<const char*> words;
    for (std::string_view w : all) words.push_back(w.data());  // built-in views are C strings
    const sw::LangTable table{words.data(), words.size()};
    for (auto _ : state) benchmark::DoNotOptimize(sw::contains_static(table, "kata"));
}

// Every word token of the English UDHR text, tokenised and lower-cased as extraction does.
void BM_IsStopEnglishText(benchmark::State& state) {
    static const std::vector<kezo::Token> tokens =
        kezo::tokenize(kezo::bench::udhr("en"), kezo::TokenizerConfig());
    for (auto _ : state)
        for (const kezo::Token& token : tokens)
            benchmark::DoNotOptimize(sw::is_stop(Language::English, token.text));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * tokens.size()));
}

}  // namespace

BENCHMARK(BM_IsStopBuiltinHit);
BENCHMARK(BM_IsStopBuiltinHitIndonesian);
BENCHMARK(BM_IsStopBuiltinHitUpperCase);
BENCHMARK(BM_IsStopMiss);
BENCHMARK(BM_IsStopMissWithCustomWords)->Threads(1)->Threads(2);
BENCHMARK(BM_IsStopMissWithTenant);
BENCHMARK(BM_LinearScanMissIndonesian);
BENCHMARK(BM_IsStopEnglishText);

BENCHMARK_MAIN();
