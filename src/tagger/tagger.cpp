// Model parsing, greedy decoding and the tagging of running text.
#include "kezo/tagger.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "kezo/text.h"
#include "model_format.h"
#include "treebank_words.h"
#include "word_features.h"

namespace kezo {
namespace {

const char* const kUposNames[kUposCount] = {"ADJ",   "ADP",   "ADV", "AUX",  "CCONJ", "DET",
                                            "INTJ",  "NOUN",  "NUM", "PART", "PRON",  "PROPN",
                                            "PUNCT", "SCONJ", "SYM", "VERB", "X"};

template <typename T>
T read_le(const char* data) {
    T value = 0;
    for (std::size_t k = 0; k < sizeof(T); ++k)
        value |= static_cast<T>(static_cast<T>(static_cast<unsigned char>(data[k])) << (8 * k));
    return value;
}

// Whether a token ends a sentence: the decoder starts afresh after it.
bool ends_sentence(std::string_view token) {
    return token == "." || token == "!" || token == "?" || token == "\xE3\x80\x82" ||
           token == "\xEF\xBC\x81" || token == "\xEF\xBC\x9F" || token == "\xE2\x80\xA6";
}

}  // namespace

const char* upos_name(Upos tag) noexcept {
    const auto index = static_cast<std::size_t>(tag);
    return index < kUposCount ? kUposNames[index] : "X";
}

bool upos_from_name(std::string_view name, Upos* tag) noexcept {
    for (std::size_t k = 0; k < kUposCount; ++k)
        if (name == kUposNames[k]) {
            *tag = static_cast<Upos>(k);
            return true;
        }
    return false;
}

struct Tagger::Parsed {
    Language language = Language::Auto;
    unsigned bits = 0;
    std::vector<std::int16_t> weights;
};

Tagger::Tagger(Parsed parsed)
    : language_(parsed.language), shift_(64 - parsed.bits), weights_(std::move(parsed.weights)) {}

Tagger::~Tagger() = default;

std::shared_ptr<const Tagger> Tagger::from_bytes(std::string_view bytes,
                                                 const std::string& source) {
    using namespace tagger;
    const auto fail = [&](const std::string& why) -> TaggerModelError {
        return TaggerModelError(source + ": " + why);
    };
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), kMagic, 4) != 0)
        throw fail("not a tagger model (bad magic)");
    if (bytes.size() < kHeaderSize) throw fail("truncated tagger model (no header)");
    const char* head = bytes.data();
    const auto version = read_le<std::uint16_t>(head + 4);
    if (version != kFormatVersion)
        throw fail("tagger model of format version " + std::to_string(version) + ", expected " +
                   std::to_string(kFormatVersion));
    if (read_le<std::uint16_t>(head + 6) != kUposCount)
        throw fail("tagger model of another tag set");
    const std::string code(head + 8, strnlen(head + 8, 8));
    Parsed parsed;
    parsed.language = language_from_code(code);
    if (parsed.language == Language::Auto)
        throw fail("tagger model of unknown language '" + code + "'");
    parsed.bits = static_cast<unsigned char>(head[16]);
    if (parsed.bits < kMinBits || parsed.bits > kMaxBits)
        throw fail("tagger model with a table of 2^" + std::to_string(parsed.bits) + " rows");
    if (read_le<std::uint32_t>(head + 20) != kFeatureSignature)
        throw fail("tagger model of another feature set");
    const std::size_t count = (std::size_t{1} << parsed.bits) * kUposCount;
    const std::size_t expected = kHeaderSize + 2 * count;
    if (bytes.size() != expected)
        throw fail(std::string(bytes.size() < expected ? "truncated" : "oversized") +
                   " tagger model: " + std::to_string(bytes.size()) + " bytes, expected " +
                   std::to_string(expected));
    const std::string_view body = bytes.substr(kHeaderSize);
    if (checksum(body) != read_le<std::uint64_t>(head + 24))
        throw fail("corrupted tagger model (checksum mismatch)");
    parsed.weights.resize(count);
    for (std::size_t k = 0; k < count; ++k)
        parsed.weights[k] = static_cast<std::int16_t>(read_le<std::uint16_t>(body.data() + 2 * k));
    return std::make_shared<const Tagger>(std::move(parsed));
}

std::shared_ptr<const Tagger> Tagger::from_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TaggerModelError(path + ": cannot open tagger model");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw TaggerModelError(path + ": cannot read tagger model");
    return from_bytes(bytes.str(), path);
}

void Tagger::tag(const std::vector<std::string_view>& words, std::vector<Upos>* tags) const {
    using namespace tagger;
    const std::size_t n = words.size();
    tags->resize(n);
    // Keys of positions i-2 .. i+2 in a ring of five.
    WordKeys ring[5];
    const WordKeys before = boundary_keys(true);
    const WordKeys after = boundary_keys(false);
    const auto keys_at = [&](std::size_t i) -> WordKeys {
        return i < n ? word_keys(words[i]) : after;
    };
    ring[3] = before;  // i-2 for i = 0
    ring[4] = before;  // i-1
    ring[0] = keys_at(0);
    ring[1] = keys_at(1);
    std::uint32_t prev_tag = kNoTag, prev2_tag = kNoTag;
    std::uint64_t keys[kStaticFeatures + kTagFeatures];
    for (std::size_t i = 0; i < n; ++i) {
        ring[(i + 2) % 5] = keys_at(i + 2);
        const WordKeys& w = ring[i % 5];
        static_features(ring[(i + 3) % 5], ring[(i + 4) % 5], w, ring[(i + 1) % 5],
                        ring[(i + 2) % 5], keys);
        tag_features(w, ring[(i + 1) % 5], prev_tag, prev2_tag, keys + kStaticFeatures);
        std::int32_t score[kUposCount] = {};
        for (const std::uint64_t key : keys) {
            const std::int16_t* row = weights_.data() + (key >> shift_) * kUposCount;
            for (std::size_t t = 0; t < kUposCount; ++t) score[t] += row[t];
        }
        std::size_t best = 0;
        for (std::size_t t = 1; t < kUposCount; ++t)
            if (score[t] > score[best]) best = t;
        (*tags)[i] = static_cast<Upos>(best);
        prev2_tag = prev_tag;
        prev_tag = static_cast<std::uint32_t>(best);
    }
}

std::vector<Upos> Tagger::tag(const std::vector<std::string_view>& words) const {
    std::vector<Upos> tags;
    tag(words, &tags);
    return tags;
}

std::vector<TaggedWord> Tagger::tag_text(const std::string& text) const {
    TokenizerConfig config;
    config.lowercase = false;
    config.split_cjk = language_ != Language::Korean;
    config.keep_numbers = true;
    config.keep_punctuation = true;
    config.min_word_length = 1;
    const std::vector<tagger::WordSpan> words =
        tagger::treebank_words(text, tokenize(text, config), language_);
    std::vector<TaggedWord> result(words.size());
    std::vector<std::string_view> sentence;
    std::vector<Upos> tags;
    std::size_t first = 0;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string_view word(text.data() + words[k].start, words[k].end - words[k].start);
        result[k].start = words[k].start;
        result[k].end = words[k].end;
        sentence.push_back(word);
        if (k + 1 == words.size() || ends_sentence(word)) {
            tag(sentence, &tags);
            for (std::size_t j = 0; j < tags.size(); ++j) result[first + j].upos = tags[j];
            first = k + 1;
            sentence.clear();
        }
    }
    return result;
}

}  // namespace kezo
