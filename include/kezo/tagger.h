// Part-of-speech tagging: the 17 Universal Dependencies UPOS tags, predicted word by word by an
// averaged perceptron (greedy, left to right) over hashed features of the word and its
// neighbours. One model file per language, read from a model directory on first use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "kezo/language.h"

namespace kezo {

// Fixed values: model files store tags by them.
enum class Upos : std::uint8_t {
    ADJ,
    ADP,
    ADV,
    AUX,
    CCONJ,
    DET,
    INTJ,
    NOUN,
    NUM,
    PART,
    PRON,
    PROPN,
    PUNCT,
    SCONJ,
    SYM,
    VERB,
    X,
};
inline constexpr std::size_t kUposCount = 17;

// "ADJ" ... "X"; "X" for a value outside the enumeration. Static storage, never null.
const char* upos_name(Upos tag) noexcept;
// Inverse of upos_name (exact, upper case); false when name is no tag.
bool upos_from_name(std::string_view name, Upos* tag) noexcept;

// A model file that cannot be used: wrong magic, other version, truncated, corrupted, or
// missing. what() names the file and the fault.
class TaggerModelError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A word of a text with its tag: bytes [start, end) of the text.
struct TaggedWord {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    Upos upos = Upos::X;
};

// One language's model: immutable once made, so one instance serves any number of threads at
// once without locking.
class Tagger {
  public:
    // Parses a model from its bytes (copied). Throws TaggerModelError naming `source` when the
    // bytes are not a whole, intact model. Cost: linear in the size (a checksum pass).
    static std::shared_ptr<const Tagger> from_bytes(std::string_view bytes,
                                                    const std::string& source = "tagger model");
    // Reads and parses a model file; TaggerModelError when it cannot be read or parsed.
    static std::shared_ptr<const Tagger> from_file(const std::string& path);

    // The language the model was trained for.
    Language language() const noexcept { return language_; }

    // One tag per word of words, one sentence (or a run of sentences) in order, appended to
    // *tags after clearing it. Words are taken as given (any UTF-8; case matters). Thread-safe;
    // allocates only when *tags must grow. Linear in the total length of the words.
    void tag(const std::vector<std::string_view>& words, std::vector<Upos>* tags) const;
    std::vector<Upos> tag(const std::vector<std::string_view>& words) const;

    // Splits text into words and punctuation with the library's tokenizer (case kept; Chinese
    // and Japanese ideographs one per character, Korean by blanks), written at apostrophes as
    // the treebanks write words ("do" "n't", "it" "'s", "l'" "homme", "O'Neill"), and tags
    // them. Offsets are bytes of text. Thread-safe; linear in the length of text.
    std::vector<TaggedWord> tag_text(const std::string& text) const;

    // Internal: use from_bytes or from_file.
    struct Parsed;
    explicit Tagger(Parsed parsed);
    ~Tagger();
    Tagger(const Tagger&) = delete;
    Tagger& operator=(const Tagger&) = delete;

  private:
    Language language_ = Language::Auto;
    unsigned shift_ = 64;
    std::vector<std::int16_t> weights_;  // buckets x kUposCount
};

// The directory load_tagger reads "<code>.kzt" files from. Set it before the first load (later
// changes only affect languages not loaded yet). Thread-safe.
void set_tagger_directory(const std::string& directory);
std::string tagger_directory();

// Whether a model file for lang exists in the directory (no parsing). Thread-safe.
bool has_tagger(Language lang);

// The model of lang, read on the first call for that language and shared for the rest of the
// process (the instance outlives every caller holding the pointer). Thread-safe: concurrent
// first calls read the file once. Throws TaggerModelError when lang has no model or its file is
// unusable (a failed load is retried by the next call).
std::shared_ptr<const Tagger> load_tagger(Language lang);

}  // namespace kezo
