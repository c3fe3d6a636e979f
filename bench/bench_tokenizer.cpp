// Tokenizer throughput on about 1 MB of English prose and of mixed-script text.
#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "kezo/text.h"

namespace {

constexpr std::size_t kMegabyte = 1 << 20;

void run_tokenize(benchmark::State& state, const std::string& text) {
    const kezo::TokenizerConfig config;
    for (auto _ : state) {
        auto tokens = kezo::tokenize(text, config);
        benchmark::DoNotOptimize(tokens.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_TokenizeEnglish(benchmark::State& state) {
    static const std::string text = kezo::bench::repeat_to({kezo::bench::udhr("en")}, kMegabyte);
    run_tokenize(state, text);
}

void BM_TokenizeMixedScripts(benchmark::State& state) {
    using kezo::bench::udhr;
    static const std::string text =
        kezo::bench::repeat_to({udhr("en"), udhr("ru"), udhr("zh"), udhr("ja"), udhr("ko"),
                                udhr("ar"), udhr("ee"), udhr("fr")},
                               kMegabyte);
    run_tokenize(state, text);
}

void BM_DetectLanguageEnglish(benchmark::State& state) {
    static const std::string text = kezo::bench::repeat_to({kezo::bench::udhr("en")}, kMegabyte);
    for (auto _ : state) benchmark::DoNotOptimize(kezo::detect_language(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_TokenizeEnglish)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TokenizeMixedScripts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectLanguageEnglish)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
