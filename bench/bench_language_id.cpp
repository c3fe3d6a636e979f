// Language identification speed: a 1 KB English passage (the size of an abstract), 10 MB of
// mixed-language text and one 10 MB word, with the old script detector on the same passage for a
// ratio. Bytes per second are reported; ns per byte is the inverse.
#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "kezo/language_id.h"
#include "kezo/text.h"

namespace {

constexpr std::size_t kTenMegabytes = 10 << 20;

const std::string& english_kilobyte() {
    static const std::string text = [] {
        std::string all = kezo::bench::udhr("en");
        std::string head = all.substr(all.find("Whereas"), 1024);
        return head.substr(0, head.rfind(' '));
    }();
    return text;
}

void run_identify(benchmark::State& state, const std::string& text) {
    for (auto _ : state) benchmark::DoNotOptimize(kezo::identify_language(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_IdentifyEnglishKilobyte(benchmark::State& state) {
    run_identify(state, english_kilobyte());
}

void BM_DetectEnglishKilobyte(benchmark::State& state) {
    const std::string& text = english_kilobyte();
    for (auto _ : state) benchmark::DoNotOptimize(kezo::detect_language(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_IdentifyMixedTenMegabytes(benchmark::State& state) {
    using kezo::bench::udhr;
    static const std::string text = kezo::bench::repeat_to(
        {udhr("en"), udhr("fr"), udhr("ak"), udhr("fat"), udhr("ha"), udhr("zh"), udhr("ru")},
        kTenMegabytes);
    run_identify(state, text);
}

void BM_IdentifyOneTenMegabyteWord(benchmark::State& state) {
    static const std::string text(kTenMegabytes, 'a');
    run_identify(state, text);
}

}  // namespace

BENCHMARK(BM_IdentifyEnglishKilobyte);
BENCHMARK(BM_DetectEnglishKilobyte);
BENCHMARK(BM_IdentifyMixedTenMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdentifyOneTenMegabyteWord)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
