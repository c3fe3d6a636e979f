// Part-of-speech tagging speed: pre-split English words (the UDHR's, in runs of 25, about a
// sentence), the same text tokenized and tagged, and the load of one model file. Items per
// second are words (tokens) per second.
#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include "bench_data.h"
#include "kezo/tagger.h"
#include "kezo/text.h"

namespace {

const std::string kModels = std::string(KEZO_TEST_DATA_DIR) + "/../../python/kezo/data/tagger";

const std::string& english_text() {
    static const std::string text = kezo::bench::udhr("en");
    return text;
}

const std::vector<std::string>& english_words() {
    static const std::vector<std::string> words = [] {
        kezo::TokenizerConfig config;
        config.lowercase = false;
        config.keep_numbers = true;
        config.keep_punctuation = true;
        config.min_word_length = 1;
        std::vector<std::string> out;
        for (const kezo::Token& t : kezo::tokenize(english_text(), config)) out.push_back(t.text);
        return out;
    }();
    return words;
}

void BM_TagWords(benchmark::State& state) {
    const auto model = kezo::Tagger::from_file(kModels + "/en.kzt");
    const std::vector<std::string>& words = english_words();
    std::vector<std::vector<std::string_view>> sentences;
    for (std::size_t k = 0; k < words.size(); k += 25)
        sentences.emplace_back(words.begin() + k, words.begin() + std::min(k + 25, words.size()));
    std::vector<kezo::Upos> tags;
    for (auto _ : state)
        for (const auto& sentence : sentences) {
            model->tag(sentence, &tags);
            benchmark::DoNotOptimize(tags.data());
        }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * words.size()));
}
BENCHMARK(BM_TagWords);

void BM_TagText(benchmark::State& state) {
    const auto model = kezo::Tagger::from_file(kModels + "/en.kzt");
    std::size_t tokens = 0;
    for (auto _ : state) {
        const auto tagged = model->tag_text(english_text());
        tokens += tagged.size();
        benchmark::DoNotOptimize(tagged.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(tokens));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * english_text().size()));
}
BENCHMARK(BM_TagText);

void BM_LoadModel(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(kezo::Tagger::from_file(kModels + "/en.kzt"));
}
BENCHMARK(BM_LoadModel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
