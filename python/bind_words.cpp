// words: the lower-cased words of a text as a list of str, straight from the core tokenizer. No
// Token objects are made on the way: each word becomes one str, and the tokenizer runs without
// the interpreter lock.
#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/language.h"
#include "kezo/text.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

// Every word counts, numbers and one-letter words included. Hangul is written with blanks
// between words, so Korean keeps its syllable runs whole; the other languages take ideographs
// one per character, as the extraction methods do.
TokenizerConfig words_config(Language language) {
    TokenizerConfig config;
    config.lowercase = true;
    config.split_cjk = language != Language::Korean;
    config.keep_numbers = true;
    config.keep_punctuation = false;
    config.min_word_length = 1;
    return config;
}

// Whether text holds a lead byte of the UTF-8 block that Hangul syllables (U+AC00 to U+D7A3) lie
// in: only then can detection answer Korean, so other texts skip it.
bool may_hold_hangul(const std::string& text) {
    unsigned char found = 0;
    for (const char c : text)
        found |= static_cast<unsigned char>(static_cast<unsigned char>(c) - 0xEA) < 4;
    return found != 0;
}

bool is_ascii(const std::string& word) {
    unsigned char any = 0;
    for (const char c : word) any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

// A new str holding word (well-formed UTF-8, as the tokenizer writes it), or null when memory
// runs out. Most words are ASCII: those are copied into the str without decoding.
PyObject* to_str(const std::string& word) {
    const auto size = static_cast<Py_ssize_t>(word.size());
    if (!is_ascii(word)) return PyUnicode_DecodeUTF8(word.data(), size, nullptr);
    PyObject* item = PyUnicode_New(size, 127);
    if (item != nullptr) std::memcpy(PyUnicode_1BYTE_DATA(item), word.data(), word.size());
    return item;
}

// Words recur (a few hundred make up half of any text), and a str is immutable: a word met again
// shortly after gets the same str, a reference instead of a new object. A direct-mapped table of
// recent words, looked up by a hash of the bytes; a clash just replaces the slot.
class RecentWords {
  public:
    RecentWords() : slots_(kSlots) {}
    ~RecentWords() {
        for (Slot& slot : slots_) Py_XDECREF(slot.str);
    }
    RecentWords(const RecentWords&) = delete;
    RecentWords& operator=(const RecentWords&) = delete;

    // A new reference to a str equal to word, or null when memory runs out.
    PyObject* str_of(const std::string& word) {
        std::uint32_t hash = 2166136261u;  // FNV-1a
        for (const char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        Slot& slot = slots_[hash & (kSlots - 1)];
        if (slot.str != nullptr && slot.bytes == word) {
            Py_INCREF(slot.str);
            return slot.str;
        }
        PyObject* made = to_str(word);
        if (made == nullptr) return nullptr;
        Py_XDECREF(slot.str);
        Py_INCREF(made);
        slot.str = made;
        slot.bytes = word;  // short words stay inside the string: no allocation
        return made;
    }

  private:
    static constexpr std::size_t kSlots = 4096;
    struct Slot {
        PyObject* str = nullptr;
        std::string bytes;
    };
    std::vector<Slot> slots_;
};

py::list words(const std::string& text, Language language) {
    const std::vector<Token> tokens = without_gil([&] {
        if (language == Language::Auto && may_hold_hangul(text)) language = detect_language(text);
        return tokenize(text, words_config(language));
    });
    py::list result(tokens.size());
    RecentWords recent;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        PyObject* item = recent.str_of(tokens[k].text);
        if (item == nullptr) throw py::error_already_set();
        PyList_SET_ITEM(result.ptr(), static_cast<Py_ssize_t>(k), item);
    }
    return result;
}

}  // namespace

void bind_words(py::module_& m) {
    m.def("words", &words, py::arg("text"), py::arg("language") = Language::Auto,
          "The lower-cased words of `text`, in order, as a list of str.\n\n"
          "Numbers and one-letter words included; punctuation and symbols left out. Ideographs\n"
          "come one per character, except in Korean (Language.Auto: detect_language decides).\n"
          "Linear in the length of the text; tokenizes without the interpreter lock.");
}

}  // namespace kezo::python
