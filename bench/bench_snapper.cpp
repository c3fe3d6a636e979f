// Snapping on real dictionaries: 2 000 real misspellings against the first 50 000 English words
// (and against all 235 886), and 1 000 edited city names against all 32 173 world cities (query
// selection in snap_queries.h). Per query, timed one by one: snap_term end to end, the search
// alone, and the plain BK-tree walk alone; counters give the median and mean per query. The
// build benchmarks report build time, the accounted memory_bytes and the real heap growth of a
// dictionary and of its index (glibc mallinfo2 deltas).
//
// Flags: --terms_dir=DIR (else KEZO_TERMS_DIR, else the shared data folder next to the
// repository; cases whose files are missing are skipped), --verify (adds a run per case that
// checks every answer against a full scan and the tree walk, and counts disagreements).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../src/snapper/distance_kernel.h"
#include "../src/snapper/nearest.h"
#include "../src/snapper/pattern_distance.h"
#include "../src/snapper/term_index.h"
#include "kezo/snapper.h"
#include "kezo/unicode.h"
#include "snap_queries.h"

namespace {

using kezo::TenantFuzzySnapper;
using Dictionary = TenantFuzzySnapper::TenantDictionary;

std::string g_terms_dir = KEZO_TEST_DATA_DIR "/../../../shared/data/terms";
constexpr double kMiB = 1024.0 * 1024.0;

struct Corpus {
    const char* name;
    const char* file;
    std::size_t limit;
    bool cities;
    std::size_t walk_queries;  // queries timed for the slow tree walk
};
const Corpus kCorpora[] = {{"words_50k", "english_words.txt", 50000, false, 2000},
                           {"cities", "world_cities.txt", SIZE_MAX, true, 1000},
                           {"words_all", "english_words.txt", SIZE_MAX, false, 200}};

struct Case {
    std::vector<std::string> terms;
    std::vector<std::string> queries;
    std::vector<std::string> lowered;
    std::shared_ptr<Dictionary> dict;
    std::unique_ptr<TenantFuzzySnapper> snapper;
};

// Loaded once per corpus; null when its files are missing.
const Case* load(const Corpus& corpus) {
    static std::unique_ptr<Case> cache[std::size(kCorpora)];
    auto& slot = cache[&corpus - kCorpora];
    if (slot) return slot->terms.empty() || slot->queries.empty() ? nullptr : slot.get();
    slot = std::make_unique<Case>();
    Case& c = *slot;
    c.terms = kezo::bench::read_lines(g_terms_dir, corpus.file, corpus.limit);
    if (corpus.cities) {
        c.queries = kezo::bench::edited_names(c.terms, 1000);
    } else {
        const auto first = kezo::bench::read_lines(g_terms_dir, "english_words.txt", 50000);
        c.queries = kezo::bench::misspelled_words(g_terms_dir, first, 2000);
    }
    if (c.terms.empty() || c.queries.empty()) return nullptr;
    for (const auto& q : c.queries) c.lowered.push_back(kezo::unicode::to_lower(q));
    c.dict = TenantFuzzySnapper::build_dictionary(c.terms, SIZE_MAX, 128, nullptr);
    c.snapper = std::make_unique<TenantFuzzySnapper>();
    kezo::TenantCachePolicy policy;
    policy.max_terms_per_tenant = c.terms.size();
    c.snapper->set_cache_policy(policy);
    c.snapper->load_tenant_dictionary("bench", c.terms);
    return slot.get();
}

bool skip_without_data(benchmark::State& state, const Case* c) {
    if (c != nullptr) return false;
    state.SkipWithError("data files not found; pass --terms_dir=DIR or set KEZO_TERMS_DIR");
    return true;
}

// Times fn(i) for the first `count` queries, one by one, every iteration; reports the median
// and mean per query.
template <typename Fn>
void time_each_query(benchmark::State& state, std::size_t count, Fn fn) {
    std::vector<double> us;
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            fn(i);
            const auto t1 = std::chrono::steady_clock::now();
            us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        }
    }
    double total = 0;
    for (double v : us) total += v;
    std::nth_element(us.begin(), us.begin() + static_cast<std::ptrdiff_t>(us.size() / 2), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["mean_us"] = total / static_cast<double>(us.size());
    state.SetItemsProcessed(static_cast<std::int64_t>(us.size()));
}

enum class Path { SnapTerm, Search, TreeWalk };

void BM_Snap(benchmark::State& state, const Corpus* corpus, Path path) {
    const Case* c = load(*corpus);
    if (skip_without_data(state, c)) return;
    const int distance = static_cast<int>(state.range(0));
    std::size_t matched = 0;
    switch (path) {
        case Path::SnapTerm:
            time_each_query(state, c->queries.size(), [&](std::size_t i) {
                std::string got = c->snapper->snap_term("bench", c->queries[i], distance);
                matched += got != c->queries[i];
                benchmark::DoNotOptimize(got);
            });
            break;
        case Path::Search:
            time_each_query(state, c->queries.size(), [&](std::size_t i) {
                auto got =
                    kezo::snapper_detail::find_nearest_term(*c->dict, c->lowered[i], distance);
                matched += got.term != nullptr;
                benchmark::DoNotOptimize(got);
            });
            break;
        case Path::TreeWalk:
            time_each_query(
                state, std::min(corpus->walk_queries, c->queries.size()), [&](std::size_t i) {
                    auto got = kezo::snapper_detail::walk_tree(*c->dict, c->lowered[i], distance);
                    matched += got.term != nullptr;
                    benchmark::DoNotOptimize(got);
                });
            break;
    }
    state.counters["matched"] =
        static_cast<double>(matched) / static_cast<double>(state.iterations());
}

std::size_t heap_in_use() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_Build(benchmark::State& state, const Corpus* corpus) {
    const Case* c = load(*corpus);
    if (skip_without_data(state, c)) return;
    for (auto _ : state) {
        auto dict = TenantFuzzySnapper::build_dictionary(c->terms, SIZE_MAX, 128, nullptr);
        benchmark::DoNotOptimize(dict);
    }
    const std::size_t before = heap_in_use();
    auto dict = TenantFuzzySnapper::build_dictionary(c->terms, SIZE_MAX, 128, nullptr);
    const std::size_t with_index = heap_in_use() - before;
    const std::size_t before_index = heap_in_use();
    auto index = kezo::NearestTermIndex::build(*dict);
    const std::size_t index_only = heap_in_use() - before_index;
    state.counters["accounted_MiB"] = static_cast<double>(dict->memory_bytes) / kMiB;
    state.counters["real_MiB"] = static_cast<double>(with_index) / kMiB;
    state.counters["tree_MiB"] = static_cast<double>(with_index - index_only) / kMiB;
    state.counters["index_MiB"] = static_cast<double>(index_only) / kMiB;
    state.counters["terms"] = static_cast<double>(c->terms.size());
}

void BM_BuildIndexAlone(benchmark::State& state, const Corpus* corpus) {
    const Case* c = load(*corpus);
    if (skip_without_data(state, c)) return;
    for (auto _ : state) {
        auto index = kezo::NearestTermIndex::build(*c->dict);
        benchmark::DoNotOptimize(index);
    }
}

// Every answer of the search against the tree walk (same node, same distance) and a full scan
// (matched exactly when the nearest key is within the bound, at that distance).
void BM_Verify(benchmark::State& state, const Corpus* corpus) {
    const Case* c = load(*corpus);
    if (skip_without_data(state, c)) return;
    const int distance = static_cast<int>(state.range(0));
    std::size_t differs_from_walk = 0;
    std::size_t differs_from_scan = 0;
    for (auto _ : state) {
        kezo::snapper_detail::PatternDistance pattern;
        std::vector<std::uint32_t> symbols;
        for (const auto& q : c->lowered) {
            const auto got = kezo::snapper_detail::find_nearest_term(*c->dict, q, distance);
            const auto walked = kezo::snapper_detail::walk_tree(*c->dict, q, distance);
            differs_from_walk += got.term != walked.term || got.distance != walked.distance;
            kezo::snapper_detail::to_symbols(q, symbols);
            const bool fast = pattern.prepare(symbols);
            int nearest = INT32_MAX;
            for (const auto& node : c->dict->nodes) {
                nearest = std::min(
                    nearest, fast ? pattern.distance_to(node.term.normalized)
                                  : TenantFuzzySnapper::edit_distance(q, node.term.normalized));
            }
            const bool in_bound = nearest <= distance;
            differs_from_scan +=
                (got.term != nullptr) != in_bound || (in_bound && got.distance != nearest);
        }
    }
    state.counters["queries"] = static_cast<double>(c->lowered.size());
    state.counters["differ_walk"] = static_cast<double>(differs_from_walk);
    state.counters["differ_scan"] = static_cast<double>(differs_from_scan);
}

void register_all(bool verify) {
    for (const Corpus& corpus : kCorpora) {
        const std::string name = corpus.name;
        const std::pair<const char*, Path> paths[] = {
            {"snap_term", Path::SnapTerm}, {"search", Path::Search}, {"tree_walk", Path::TreeWalk}};
        for (const auto& [label, path] : paths) {
            auto* b = benchmark::RegisterBenchmark(("BM_Snap/" + name + "/" + label).c_str(),
                                                   BM_Snap, &corpus, path);
            b->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
            if (path == Path::TreeWalk) b->Iterations(1);
        }
        benchmark::RegisterBenchmark(("BM_Build/" + name).c_str(), BM_Build, &corpus)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_BuildIndexAlone/" + name).c_str(), BM_BuildIndexAlone,
                                     &corpus)
            ->Unit(benchmark::kMillisecond);
        if (verify) {
            benchmark::RegisterBenchmark(("BM_Verify/" + name).c_str(), BM_Verify, &corpus)
                ->Arg(1)
                ->Arg(2)
                ->Iterations(1)
                ->Unit(benchmark::kSecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* env = std::getenv("KEZO_TERMS_DIR")) g_terms_dir = env;
    bool verify = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--terms_dir=", 12) == 0) {
            g_terms_dir = argv[i] + 12;
        } else if (std::strcmp(argv[i], "--verify") == 0) {
            verify = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    register_all(verify);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
