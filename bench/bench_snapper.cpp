// snap_term on real dictionaries (world city names, English words) queried with real
// misspellings, and build_dictionary for 50 000 words.
//
// Data directory: --terms_dir=DIR, else the KEZO_TERMS_DIR environment variable, else the shared
// data folder next to the repository. Benchmarks whose files are missing are skipped.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "kezo/snapper.h"

namespace {

std::string g_terms_dir = KEZO_TEST_DATA_DIR "/../../../shared/data/terms";

std::vector<std::string> read_lines(const std::string& name, std::size_t limit) {
    std::vector<std::string> lines;
    std::ifstream in(g_terms_dir + "/" + name);
    std::string line;
    while (lines.size() < limit && std::getline(in, line)) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// Every 20th misspelling (the wrong form), about 2 900 queries spread over the whole list.
const std::vector<std::string>& queries() {
    static const std::vector<std::string> result = [] {
        std::vector<std::string> out;
        std::size_t i = 0;
        for (const auto& line : read_lines("misspellings.tsv", SIZE_MAX)) {
            if (i++ % 20 != 0) continue;
            out.push_back(line.substr(0, line.find('\t')));
        }
        return out;
    }();
    return result;
}

struct Corpus {
    const char* file;
    std::size_t limit;
};

void BM_SnapTerm(benchmark::State& state, Corpus corpus) {
    const auto terms = read_lines(corpus.file, corpus.limit);
    const auto& qs = queries();
    if (terms.empty() || qs.empty()) {
        state.SkipWithError("data files not found; pass --terms_dir=DIR or set KEZO_TERMS_DIR");
        return;
    }
    kezo::TenantFuzzySnapper snapper;
    snapper.load_tenant_dictionary("bench", terms);
    const int distance = static_cast<int>(state.range(0));
    std::size_t i = 0;
    std::size_t snapped = 0;
    for (auto _ : state) {
        const std::string& q = qs[i++ % qs.size()];
        std::string result = snapper.snap_term("bench", q, distance);
        snapped += result != q;
        benchmark::DoNotOptimize(result);
    }
    state.counters["terms"] = static_cast<double>(terms.size());
    state.counters["hit_rate"] =
        static_cast<double>(snapped) / static_cast<double>(state.iterations());
}
BENCHMARK_CAPTURE(BM_SnapTerm, world_cities, Corpus{"world_cities.txt", SIZE_MAX})
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SnapTerm, english_words_50k, Corpus{"english_words.txt", 50000})
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

void BM_BuildDictionary(benchmark::State& state) {
    const auto terms = read_lines("english_words.txt", 50000);
    if (terms.empty()) {
        state.SkipWithError("data files not found; pass --terms_dir=DIR or set KEZO_TERMS_DIR");
        return;
    }
    for (auto _ : state) {
        auto dict = kezo::TenantFuzzySnapper::build_dictionary(terms, 50000, 128, nullptr);
        benchmark::DoNotOptimize(dict);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(terms.size()));
}
BENCHMARK(BM_BuildDictionary)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (const char* env = std::getenv("KEZO_TERMS_DIR")) g_terms_dir = env;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--terms_dir=", 12) == 0) {
            g_terms_dir = argv[i] + 12;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
