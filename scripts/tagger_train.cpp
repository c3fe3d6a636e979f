// Trains one language's part-of-speech model: an averaged perceptron over the tagger's hashed
// features (src/tagger/word_features.h), greedy left to right as the tagger decodes, weights
// quantised to int16 into the model file the tagger reads. The weights are the sum of --runs
// averaged perceptrons, each trained on its own sentence order (seed, seed + 1, ...): the sum
// votes out what one order learnt by chance, at no cost to the model's size or speed. Built with
// -DKEZO_BUILD_TRAINER=ON; scripts/train_tagger.py runs it for every language.
//
//   tagger_train --lang CODE --out MODEL [--bits 16] [--epochs 12] [--runs 8] [--seed 1]
//                [--held-out 0.1] [--fold K] FILE.tsv...
//
// Each FILE holds FORM<TAB>UPOS lines, a blank line after each sentence. The last --held-out
// share of each file's sentences is kept out of training (with --fold K, 0..9: the K-th tenth
// instead, for cross-validation); the model is scored on it after
// quantisation (through the library's own loader and decoder), beside the most-frequent-tag
// baseline trained on the same sentences. Prints one line:
//   CODE accuracy=0.9512 baseline=0.8671 held_out_tokens=N train_tokens=N bytes=N
// Deterministic: the sentence order of every epoch comes from the seed alone.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "kezo/tagger.h"
#include "tagger/model_format.h"
#include "tagger/word_features.h"

namespace {

using namespace kezo;
using namespace kezo::tagger;

struct Sentence {
    std::vector<std::string> words;
    std::vector<std::uint8_t> tags;
};

[[noreturn]] void die(const std::string& message) {
    std::cerr << "tagger_train: " << message << "\n";
    std::exit(1);
}

std::vector<Sentence> read_file(const std::string& path) {
    std::ifstream in(path);
    if (!in) die("cannot read " + path);
    std::vector<Sentence> sentences;
    Sentence current;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) {
            if (!current.words.empty()) sentences.push_back(std::move(current));
            current = Sentence();
            continue;
        }
        const auto tab = line.rfind('\t');
        Upos tag;
        if (tab == std::string::npos || !upos_from_name(line.substr(tab + 1), &tag))
            die(path + ": bad line '" + line + "'");
        current.words.push_back(line.substr(0, tab));
        current.tags.push_back(static_cast<std::uint8_t>(tag));
    }
    if (!current.words.empty()) sentences.push_back(std::move(current));
    return sentences;
}

// The keys of the words of a sentence, with two boundaries on either side.
std::vector<WordKeys> sentence_word_keys(const Sentence& s) {
    const std::size_t n = s.words.size();
    std::vector<WordKeys> keys(n + 4);
    keys[0] = keys[1] = boundary_keys(true);
    for (std::size_t i = 0; i < n; ++i) keys[i + 2] = word_keys(s.words[i]);
    keys[n + 2] = keys[n + 3] = boundary_keys(false);
    return keys;
}

// The rows of every static feature of every word of a sentence, kStaticFeatures per word.
std::vector<std::uint32_t> static_rows(const std::vector<WordKeys>& keys, unsigned shift) {
    const std::size_t n = keys.size() - 4;
    std::vector<std::uint32_t> rows(n * kStaticFeatures);
    std::uint64_t features[kStaticFeatures];
    for (std::size_t i = 0; i < n; ++i) {
        static_features(keys[i], keys[i + 1], keys[i + 2], keys[i + 3], keys[i + 4], features);
        for (std::size_t f = 0; f < kStaticFeatures; ++f)
            rows[i * kStaticFeatures + f] = static_cast<std::uint32_t>(features[f] >> shift);
    }
    return rows;
}

// Averaged perceptron weights with lazy averaging: each cell keeps its weight, the sum of its
// past values over time up to its last change, and when that was.
class Weights {
  public:
    explicit Weights(std::size_t rows)
        : w_(rows * kUposCount), total_(rows * kUposCount), stamp_(rows * kUposCount) {}

    float score(std::size_t row, std::size_t tag) const { return w_[row * kUposCount + tag]; }
    const float* row(std::size_t row) const { return &w_[row * kUposCount]; }

    void update(std::size_t row, std::size_t tag, float delta, std::uint64_t now) {
        const std::size_t k = row * kUposCount + tag;
        total_[k] += static_cast<double>(now - stamp_[k]) * w_[k];
        stamp_[k] = now;
        w_[k] += delta;
    }

    std::vector<float> averaged(std::uint64_t now) const {
        std::vector<float> result(w_.size());
        for (std::size_t k = 0; k < w_.size(); ++k)
            result[k] =
                static_cast<float>((total_[k] + static_cast<double>(now - stamp_[k]) * w_[k]) /
                                   static_cast<double>(std::max<std::uint64_t>(now, 1)));
        return result;
    }

  private:
    std::vector<float> w_;
    std::vector<double> total_;
    std::vector<std::uint64_t> stamp_;
};

void put_le(std::string& out, std::uint64_t value, std::size_t bytes) {
    for (std::size_t k = 0; k < bytes; ++k) out.push_back(static_cast<char>(value >> (8 * k)));
}

std::string model_bytes(const std::string& code, unsigned bits, const std::vector<float>& weights) {
    float largest = 0;
    for (const float w : weights) largest = std::max(largest, std::fabs(w));
    const float scale = largest > 0 ? 32767.0f / largest : 1.0f;
    std::string body;
    body.reserve(weights.size() * 2);
    for (const float w : weights) {
        const long q = std::lround(w * scale);
        put_le(body, static_cast<std::uint16_t>(static_cast<std::int16_t>(q)), 2);
    }
    std::string out(kMagic, 4);
    put_le(out, kFormatVersion, 2);
    put_le(out, kUposCount, 2);
    std::string padded = code;
    padded.resize(8, '\0');
    out += padded;
    put_le(out, bits, 1);
    put_le(out, 0, 3);
    put_le(out, kFeatureSignature, 4);
    put_le(out, checksum(body), 8);
    return out + body;
}

}  // namespace

int main(int argc, char** argv) {
    std::string code, out_path;
    unsigned bits = 16, epochs = 12, runs = 8;
    std::uint32_t seed = 1;
    double held_out = 0.1;
    int fold = -1;
    std::vector<std::string> files;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        const auto value = [&]() -> std::string {
            if (k + 1 >= argc) die(arg + " needs a value");
            return argv[++k];
        };
        if (arg == "--lang")
            code = value();
        else if (arg == "--out")
            out_path = value();
        else if (arg == "--bits")
            bits = static_cast<unsigned>(std::stoul(value()));
        else if (arg == "--epochs")
            epochs = static_cast<unsigned>(std::stoul(value()));
        else if (arg == "--seed")
            seed = static_cast<std::uint32_t>(std::stoul(value()));
        else if (arg == "--held-out")
            held_out = std::stod(value());
        else if (arg == "--runs")
            runs = static_cast<unsigned>(std::stoul(value()));
        else if (arg == "--fold")
            fold = std::stoi(value());
        else
            files.push_back(arg);
    }
    if (code.empty() || out_path.empty() || files.empty()) die("usage: see the head of the source");
    if (language_from_code(code) == Language::Auto) die("unknown language " + code);
    if (bits < kMinBits || bits > kMaxBits) die("--bits out of range");

    std::vector<Sentence> train, test;
    for (const std::string& file : files) {
        std::vector<Sentence> sentences = read_file(file);
        const auto keep =
            sentences.size() - static_cast<std::size_t>(std::floor(held_out * sentences.size()));
        const std::size_t n = sentences.size();
        for (std::size_t k = 0; k < n; ++k) {
            const bool held =
                fold < 0 ? k >= keep : static_cast<int>(k * 10 / n) == fold && held_out > 0;
            (held ? test : train).push_back(std::move(sentences[k]));
        }
    }

    const unsigned shift = 64 - bits;
    std::vector<std::vector<WordKeys>> sentence_keys;
    std::vector<std::vector<std::uint32_t>> rows;
    rows.reserve(train.size());
    std::size_t train_tokens = 0;
    for (const Sentence& s : train) {
        sentence_keys.push_back(sentence_word_keys(s));
        rows.push_back(static_rows(sentence_keys.back(), shift));
        train_tokens += s.words.size();
    }

    std::vector<float> combined((std::size_t{1} << bits) * kUposCount);
    for (unsigned run = 0; run < runs; ++run) {
        Weights weights(std::size_t{1} << bits);
        std::vector<std::size_t> order(train.size());
        for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
        std::mt19937 random(seed + run);
        std::uint64_t now = 0;
        for (unsigned epoch = 0; epoch < epochs; ++epoch) {
            for (std::size_t k = order.size(); k > 1; --k) {  // Fisher-Yates, portable
                const std::size_t j = random() % k;
                std::swap(order[k - 1], order[j]);
            }
            for (const std::size_t index : order) {
                const Sentence& s = train[index];
                const std::uint32_t* sentence_rows = rows[index].data();
                const std::vector<WordKeys>& keys = sentence_keys[index];
                std::uint32_t prev = kNoTag, prev2 = kNoTag;
                for (std::size_t i = 0; i < s.words.size(); ++i) {
                    ++now;
                    std::uint32_t feature_rows[kStaticFeatures + kTagFeatures];
                    std::copy(sentence_rows + i * kStaticFeatures,
                              sentence_rows + (i + 1) * kStaticFeatures, feature_rows);
                    std::uint64_t tag_keys[kTagFeatures];
                    tag_features(keys[i + 2], keys[i + 3], prev, prev2, tag_keys);
                    for (std::size_t f = 0; f < kTagFeatures; ++f)
                        feature_rows[kStaticFeatures + f] =
                            static_cast<std::uint32_t>(tag_keys[f] >> shift);
                    float score[kUposCount] = {};
                    for (const std::uint32_t row : feature_rows) {
                        const float* r = weights.row(row);
                        for (std::size_t t = 0; t < kUposCount; ++t) score[t] += r[t];
                    }
                    std::size_t best = 0;
                    for (std::size_t t = 1; t < kUposCount; ++t)
                        if (score[t] > score[best]) best = t;
                    const std::size_t gold = s.tags[i];
                    if (best != gold)
                        for (const std::uint32_t row : feature_rows) {
                            weights.update(row, gold, 1.0f, now);
                            weights.update(row, best, -1.0f, now);
                        }
                    prev2 = prev;
                    prev = static_cast<std::uint32_t>(best);
                }
            }
        }
        const std::vector<float> averaged = weights.averaged(now);
        for (std::size_t k = 0; k < averaged.size(); ++k) combined[k] += averaged[k];
    }

    const std::string bytes = model_bytes(code, bits, combined);
    {
        std::ofstream out(out_path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) die("cannot write " + out_path);
    }

    // Score the model as the library loads and runs it, and the baseline beside it.
    const auto model = Tagger::from_file(out_path);
    std::unordered_map<std::string, std::map<std::uint8_t, std::size_t>> counts;
    for (const Sentence& s : train)
        for (std::size_t i = 0; i < s.words.size(); ++i) ++counts[s.words[i]][s.tags[i]];
    std::unordered_map<std::string, std::uint8_t> most_frequent;
    for (const auto& [word, tags] : counts) {
        std::uint8_t best = 0;
        std::size_t best_count = 0;
        for (const auto& [tag, count] : tags)
            if (count > best_count) best = tag, best_count = count;
        most_frequent[word] = best;
    }
    std::size_t tokens = 0, right = 0, baseline_right = 0;
    std::vector<Upos> predicted;
    for (const Sentence& s : test) {
        const std::vector<std::string_view> words(s.words.begin(), s.words.end());
        model->tag(words, &predicted);
        for (std::size_t i = 0; i < words.size(); ++i) {
            ++tokens;
            right += static_cast<std::uint8_t>(predicted[i]) == s.tags[i];
            const auto found = most_frequent.find(s.words[i]);
            const std::uint8_t guess = found == most_frequent.end()
                                           ? static_cast<std::uint8_t>(Upos::NOUN)
                                           : found->second;
            baseline_right += guess == s.tags[i];
        }
    }
    std::printf("%s accuracy=%.4f baseline=%.4f held_out_tokens=%zu train_tokens=%zu bytes=%zu\n",
                code.c_str(), tokens ? double(right) / tokens : 0.0,
                tokens ? double(baseline_right) / tokens : 0.0, tokens, train_tokens, bytes.size());
    return 0;
}
