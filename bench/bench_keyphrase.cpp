// Keyphrase pipeline throughput: raw 2 KB and 50 KB English texts (bytes per second, on one and
// two threads) and the 500 Inspec abstracts (documents per second), beside the ensemble on the
// same abstracts. The Inspec directory is taken from --inspec=PATH or the KEZO_INSPEC_DIR
// environment variable, else ../shared/data/keyphrases/inspec/docs; those cases are skipped
// when it does not exist.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_data.h"
#include "kezo/extract.h"
#include "kezo/keyphrase.h"

namespace {

const std::string& text(std::size_t bytes) {
    static const std::string small = kezo::bench::repeat_to({kezo::bench::udhr("en")}, 2 * 1024);
    static const std::string large = kezo::bench::repeat_to({kezo::bench::udhr("en")}, 50 * 1024);
    return bytes <= 2 * 1024 ? small : large;
}

std::vector<std::string>& inspec() {
    static std::vector<std::string> docs;
    return docs;
}

void load_inspec(const std::string& dir) {
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) inspec().push_back(kezo::bench::read_file(file.string()));
}

kezo::KeyphraseConfig english() {
    kezo::KeyphraseConfig config;
    config.language = kezo::Language::English;
    return config;
}

void BM_Keyphrases(benchmark::State& state, std::size_t bytes) {
    const kezo::KeyphraseConfig config = english();
    const std::string& input = text(bytes);
    for (auto _ : state) {
        auto keyphrases = kezo::extract_keyphrases(input, config);
        benchmark::DoNotOptimize(keyphrases.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_KeyphrasesInspec(benchmark::State& state) {
    const kezo::KeyphraseConfig config = english();
    for (auto _ : state)
        for (const std::string& doc : inspec()) {
            auto keyphrases = kezo::extract_keyphrases(doc, config);
            benchmark::DoNotOptimize(keyphrases.data());
        }
    state.counters["docs_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations() * inspec().size()), benchmark::Counter::kIsRate);
}

void BM_EnsembleInspec(benchmark::State& state) {
    kezo::EnsembleConfig config;
    config.language = kezo::Language::English;
    for (auto _ : state)
        for (const std::string& doc : inspec()) {
            auto keywords = kezo::extract_keywords_ensemble(doc, config);
            benchmark::DoNotOptimize(keywords.data());
        }
    state.counters["docs_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations() * inspec().size()), benchmark::Counter::kIsRate);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = "../shared/data/keyphrases/inspec/docs";
    if (const char* env = std::getenv("KEZO_INSPEC_DIR")) dir = env;
    std::vector<char*> args;
    for (int k = 0; k < argc; ++k) {
        if (std::strncmp(argv[k], "--inspec=", 9) == 0)
            dir = argv[k] + 9;
        else
            args.push_back(argv[k]);
    }
    load_inspec(dir);
    for (std::size_t bytes : {2 * 1024, 50 * 1024}) {
        const std::string name = "BM_Keyphrases/" + std::to_string(bytes / 1024) + "KB";
        benchmark::RegisterBenchmark(name.c_str(),
                                     [bytes](benchmark::State& s) { BM_Keyphrases(s, bytes); })
            ->Threads(1)
            ->Threads(2)
            ->UseRealTime();
    }
    if (!inspec().empty()) {
        benchmark::RegisterBenchmark("BM_KeyphrasesInspec", BM_KeyphrasesInspec)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_EnsembleInspec", BM_EnsembleInspec)
            ->Unit(benchmark::kMillisecond);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
