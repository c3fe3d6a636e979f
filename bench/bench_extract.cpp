// Extraction throughput: each algorithm on the tokens of a 2 KB and a 50 KB English document and
// over the 500 Inspec abstracts (documents per second), and the one-call front end (each
// algorithm) and the ensemble on the raw 2 KB and 50 KB texts, tokenization included. The Inspec
// directory is taken from --inspec=PATH or the KEZO_INSPEC_DIR environment variable, else
// ../shared/data/keyphrases/inspec/docs; those cases are skipped when it does not exist.
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
#include "kezo/text.h"

namespace {

using Tokens = std::vector<kezo::Token>;
constexpr kezo::Language kEnglish = kezo::Language::English;

const std::string& text(std::size_t bytes) {
    static const std::string small = kezo::bench::repeat_to({kezo::bench::udhr("en")}, 2 * 1024);
    static const std::string large = kezo::bench::repeat_to({kezo::bench::udhr("en")}, 50 * 1024);
    return bytes <= 2 * 1024 ? small : large;
}

const Tokens& document(std::size_t bytes) {
    static const Tokens small = kezo::tokenize(text(2 * 1024), {});
    static const Tokens large = kezo::tokenize(text(50 * 1024), {});
    return bytes <= 2 * 1024 ? small : large;
}

std::vector<Tokens>& inspec() {
    static std::vector<Tokens> docs;
    return docs;
}

void load_inspec(const std::string& dir) {
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        inspec().push_back(kezo::tokenize(kezo::bench::read_file(file.string()), {}));
}

std::vector<kezo::Keyword> run(int algorithm, const Tokens& tokens) {
    switch (algorithm) {
        case 0:
            return kezo::tfidf_extract(tokens, kEnglish, kezo::TFIDFConfig(), nullptr);
        case 1:
            return kezo::yake_extract(tokens, kEnglish, kezo::YAKEConfig());
        case 2:
            return kezo::textrank_extract(tokens, kEnglish, kezo::TextRankConfig());
        default:
            return kezo::rake_extract(tokens, kEnglish, kezo::RAKEConfig());
    }
}

// algorithm: 0 TF-IDF, 1 YAKE, 2 TextRank, 3 RAKE.
void BM_Algorithm(benchmark::State& state, int algorithm, std::size_t bytes) {
    const Tokens& tokens = document(bytes);
    for (auto _ : state) {
        auto keywords = run(algorithm, tokens);
        benchmark::DoNotOptimize(keywords.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_AlgorithmInspec(benchmark::State& state, int algorithm) {
    const std::vector<Tokens>& docs = inspec();
    for (auto _ : state) {
        for (const Tokens& tokens : docs) {
            auto keywords = run(algorithm, tokens);
            benchmark::DoNotOptimize(keywords.data());
        }
    }
    state.counters["docs_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations() * docs.size()), benchmark::Counter::kIsRate);
}

void BM_ExtractKeywords(benchmark::State& state, int algorithm, std::size_t bytes) {
    kezo::ExtractConfig config;
    config.algorithm = static_cast<kezo::Algorithm>(algorithm);
    config.language = kEnglish;
    const std::string& input = text(bytes);
    for (auto _ : state) {
        auto keywords = kezo::extract_keywords(input, config);
        benchmark::DoNotOptimize(keywords.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_Ensemble(benchmark::State& state, std::size_t bytes) {
    kezo::EnsembleConfig config;
    config.language = kEnglish;
    const std::string& input = text(bytes);
    for (auto _ : state) {
        auto keywords = kezo::extract_keywords_ensemble(input, config);
        benchmark::DoNotOptimize(keywords.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(state.iterations());
}

const char* const kNames[] = {"TFIDF", "YAKE", "TextRank", "RAKE"};

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
    for (int algorithm = 0; algorithm < 4; ++algorithm) {
        for (std::size_t bytes : {2 * 1024, 50 * 1024}) {
            const std::string name = std::string("BM_Algorithm/") + kNames[algorithm] + "/" +
                                     std::to_string(bytes / 1024) + "KB";
            benchmark::RegisterBenchmark(name.c_str(), [algorithm, bytes](benchmark::State& s) {
                BM_Algorithm(s, algorithm, bytes);
            });
        }
        for (std::size_t bytes : {2 * 1024, 50 * 1024}) {
            const std::string name = std::string("BM_ExtractKeywords/") + kNames[algorithm] + "/" +
                                     std::to_string(bytes / 1024) + "KB";
            benchmark::RegisterBenchmark(name.c_str(), [algorithm, bytes](benchmark::State& s) {
                BM_ExtractKeywords(s, algorithm, bytes);
            });
        }
        if (!inspec().empty()) {
            const std::string name = std::string("BM_AlgorithmInspec/") + kNames[algorithm];
            benchmark::RegisterBenchmark(name.c_str(), [algorithm](benchmark::State& s) {
                BM_AlgorithmInspec(s, algorithm);
            })->Unit(benchmark::kMillisecond);
        }
    }
    for (std::size_t bytes : {2 * 1024, 50 * 1024}) {
        const std::string name = "BM_Ensemble/" + std::to_string(bytes / 1024) + "KB";
        // Threads show that concurrent calls scale: items_per_second should nearly double.
        benchmark::RegisterBenchmark(name.c_str(),
                                     [bytes](benchmark::State& s) { BM_Ensemble(s, bytes); })
            ->Threads(1)
            ->Threads(2)
            ->UseRealTime();
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
