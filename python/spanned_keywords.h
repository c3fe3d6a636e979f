// Conversion of keyphrase lists (SpannedKeyword records or FlatKeyphrases) to Python: byte spans
// into the UTF-8 form of the caller's str become code-point offsets, so text[start:end] in
// Python is the occurrence.
#pragma once

#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "kezo/flat_keyphrases.h"
#include "kezo/spanned_keyword.h"
#include "records.h"

namespace kezo::python {

// Code-point offset of every byte offset in offsets (sorted ascending, each at most
// text.size()), written back in place. One pass over text up to the largest offset; offsets
// that fall inside a multi-byte character count the characters that start before them.
inline void byte_to_code_point_offsets(std::string_view text, std::vector<std::uint64_t>& offsets) {
    std::uint64_t byte = 0;
    std::uint64_t code_points = 0;
    for (std::uint64_t& offset : offsets) {
        const std::uint64_t target = std::min<std::uint64_t>(offset, text.size());
        // Eight bytes at a time: each continuation byte (10xxxxxx) starts no code point.
        for (; byte + 8 <= target; byte += 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, text.data() + byte, 8);
            const std::uint64_t continuation = chunk & ~(chunk << 1) & 0x8080808080808080ull;
            // The high bits summed by one multiply: no popcount instruction is assumed.
            code_points += 8 - (((continuation >> 7) * 0x0101010101010101ull) >> 56);
        }
        for (; byte < target; ++byte)
            if ((static_cast<unsigned char>(text[byte]) & 0xC0) != 0x80) ++code_points;
        offset = code_points;
    }
}

// True when text holds no byte above 0x7F: each byte is then one code point.
inline bool is_ascii(std::string_view text) {
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, text.data() + i, 8);
        high |= chunk;
    }
    for (; i < text.size(); ++i) high |= static_cast<unsigned char>(text[i]);
    return (high & 0x8080808080808080ull) == 0;
}

// A new str of the UTF-8 bytes of text (valid UTF-8), or null when memory runs out. Lock held.
// Most phrases are ASCII, which is copied straight into the str instead of being decoded.
inline PyObject* str_object(std::string_view text) {
    const auto size = static_cast<Py_ssize_t>(text.size());
    if (!is_ascii(text)) return PyUnicode_DecodeUTF8(text.data(), size, nullptr);
    PyObject* const str = PyUnicode_New(size, 127);
    if (str != nullptr) std::memcpy(PyUnicode_1BYTE_DATA(str), text.data(), text.size());
    return str;
}

// What the conversions read of a list of keyphrases, whichever way it is laid out: keyphrase k's
// text, score, count, first position and spans. Views: the list must outlive them.
class SpannedKeywordView {
  public:
    explicit SpannedKeywordView(const std::vector<SpannedKeyword>& keywords)
        : keywords_(keywords) {}
    std::size_t size() const { return keywords_.size(); }
    std::string_view text(std::size_t k) const { return keywords_[k].keyword.text; }
    double score(std::size_t k) const { return keywords_[k].keyword.score; }
    std::uint32_t count(std::size_t k) const { return keywords_[k].keyword.count; }
    std::uint32_t first_position(std::size_t k) const {
        return keywords_[k].keyword.first_position;
    }
    const ByteSpan* spans(std::size_t k) const { return keywords_[k].spans.data(); }
    std::size_t span_count(std::size_t k) const { return keywords_[k].spans.size(); }

  private:
    const std::vector<SpannedKeyword>& keywords_;
};

// The same of FlatKeyphrases.
class FlatKeyphraseView {
  public:
    explicit FlatKeyphraseView(const FlatKeyphrases& keyphrases) : keyphrases_(keyphrases) {}
    std::size_t size() const { return keyphrases_.size(); }
    std::string_view text(std::size_t k) const { return keyphrases_.text(k); }
    double score(std::size_t k) const { return keyphrases_[k].score; }
    std::uint32_t count(std::size_t k) const { return keyphrases_[k].count; }
    std::uint32_t first_position(std::size_t k) const { return keyphrases_[k].first_position; }
    const ByteSpan* spans(std::size_t k) const { return keyphrases_.spans(k); }
    std::size_t span_count(std::size_t k) const { return keyphrases_[k].spans_size; }

  private:
    const FlatKeyphrases& keyphrases_;
};

// Byte offsets of the spans of keyphrases (one of the views above) as code-point offsets of
// text: one pass over text up to its last span, n log n in the number of spans. Where that part
// of text is ASCII, offsets stay as they are and nothing is allocated.
class CodePointSpans {
  public:
    CodePointSpans() = default;  // for no spans at all

    template <class Keyphrases>
    CodePointSpans(std::string_view text, const Keyphrases& keyphrases) : size_(text.size()) {
        std::uint64_t last = 0;
        for (std::size_t k = 0; k < keyphrases.size(); ++k)
            for (std::size_t s = 0; s < keyphrases.span_count(k); ++s)
                last = std::max<std::uint64_t>(last, keyphrases.spans(k)[s].end);
        if (is_ascii(text.substr(0, std::min<std::uint64_t>(last, text.size())))) return;
        for (std::size_t k = 0; k < keyphrases.size(); ++k)
            for (std::size_t s = 0; s < keyphrases.span_count(k); ++s) {
                bytes_.push_back(keyphrases.spans(k)[s].begin);
                bytes_.push_back(keyphrases.spans(k)[s].end);
            }
        std::sort(bytes_.begin(), bytes_.end());
        bytes_.erase(std::unique(bytes_.begin(), bytes_.end()), bytes_.end());
        code_points_ = bytes_;
        byte_to_code_point_offsets(text, code_points_);
    }

    std::uint64_t operator()(std::uint64_t byte) const {
        if (bytes_.empty()) return std::min(byte, size_);  // ASCII (or no span at all)
        const auto at = std::lower_bound(bytes_.begin(), bytes_.end(), byte) - bytes_.begin();
        return code_points_[static_cast<std::size_t>(at)];
    }

  private:
    std::uint64_t size_ = 0;
    std::vector<std::uint64_t> bytes_, code_points_;  // empty where offsets stay as they are
};

// A list of (text, score, count, first_position, spans) tuples, spans being a list of
// (start, end) code-point offsets into text, or empty when not with_spans. Call with the
// interpreter lock held. Linear in the text up to its last span, and n log n in the number of
// spans.
template <class Keyphrases>
pybind11::list spanned_keywords_to_python(std::string_view text, const Keyphrases& keyphrases,
                                          bool with_spans = true) {
    const CodePointSpans code_point =
        with_spans ? CodePointSpans(text, keyphrases) : CodePointSpans();
    pybind11::list result;
    for (std::size_t k = 0; k < keyphrases.size(); ++k) {
        pybind11::list spans;
        for (std::size_t s = 0; with_spans && s < keyphrases.span_count(k); ++s) {
            const ByteSpan& span = keyphrases.spans(k)[s];
            spans.append(pybind11::make_tuple(code_point(span.begin), code_point(span.end)));
        }
        result.append(pybind11::make_tuple(keyphrases.text(k), keyphrases.score(k),
                                           keyphrases.count(k), keyphrases.first_position(k),
                                           spans));
    }
    return result;
}

// The same keywords as records of type (records.h), spans a tuple of (start, end) tuples (empty
// without spans): what kezo returns, made here without a Python-level conversion. Lock held;
// same cost.
template <class Keyphrases>
pybind11::list spanned_keywords_to_records(std::string_view text, const Keyphrases& keyphrases,
                                           PyTypeObject* type, bool with_spans = true) {
    namespace py = pybind11;
    const auto own = [](PyObject* made) {
        if (made == nullptr) throw py::error_already_set();
        return py::reinterpret_steal<py::object>(made);
    };
    const CodePointSpans code_point =
        with_spans ? CodePointSpans(text, keyphrases) : CodePointSpans();
    py::list result(keyphrases.size());
    // Items are set as they are made; a tuple dropped half-filled on an error frees what it
    // holds (its empty items are null).
    const auto set = [&](const py::object& tuple, std::size_t at, PyObject* made) {
        PyTuple_SET_ITEM(tuple.ptr(), static_cast<Py_ssize_t>(at), own(made).release().ptr());
    };
    for (std::size_t i = 0; i < keyphrases.size(); ++i) {
        py::object record = own(new_record(type, 5));
        set(record, 0, str_object(keyphrases.text(i)));
        set(record, 1, PyFloat_FromDouble(keyphrases.score(i)));
        set(record, 2, int_object(keyphrases.count(i)));
        set(record, 3, int_object(keyphrases.first_position(i)));
        const ByteSpan* const found = keyphrases.spans(i);
        const std::size_t span_count = with_spans ? keyphrases.span_count(i) : 0;
        py::object spans = own(PyTuple_New(static_cast<Py_ssize_t>(span_count)));
        for (std::size_t s = 0; s < span_count; ++s) {
            py::object pair = own(PyTuple_New(2));
            set(pair, 0, int_object(code_point(found[s].begin)));
            set(pair, 1, int_object(code_point(found[s].end)));
            untrack_atomic_record(pair.ptr());
            PyTuple_SET_ITEM(spans.ptr(), static_cast<Py_ssize_t>(s), pair.release().ptr());
        }
        untrack_atomic_record(spans.ptr());
        PyTuple_SET_ITEM(record.ptr(), 4, spans.release().ptr());
        untrack_atomic_record(record.ptr());  // a record type adds no fields (record_type)
        PyList_SET_ITEM(result.ptr(), static_cast<Py_ssize_t>(i), record.release().ptr());
    }
    return result;
}

// The type records come as: null for record None (plain tuples, spans a list), else
// record_type(record). Checked before any work is done.
inline PyTypeObject* keyword_record_type(const pybind11::object& record) {
    return record.is_none() ? nullptr : record_type(record);
}

// How keyphrases come to Python: as records of type (null: plain tuples), each with its spans or
// with none. A batch's spans are most of the objects it makes (two tuples for a keyphrase
// occurring once, one more for each further occurrence), so a caller that reads no offsets is
// spared them.
struct RecordForm {
    PyTypeObject* type = nullptr;
    bool spans = true;
};

// The form record (as keyword_record_type takes it) and spans ask for. Checked before any work.
inline RecordForm record_form(const pybind11::object& record, bool spans) {
    return {keyword_record_type(record), spans};
}

// spanned_keywords_to_python when form has no type, else spanned_keywords_to_records.
template <class Keyphrases>
pybind11::list keyphrases_out(std::string_view text, const Keyphrases& keyphrases,
                              RecordForm form) {
    return form.type == nullptr
               ? spanned_keywords_to_python(text, keyphrases, form.spans)
               : spanned_keywords_to_records(text, keyphrases, form.type, form.spans);
}
inline pybind11::list spanned_keywords_out(std::string_view text,
                                           const std::vector<SpannedKeyword>& keywords,
                                           RecordForm form) {
    return keyphrases_out(text, SpannedKeywordView(keywords), form);
}
inline pybind11::list spanned_keywords_out(std::string_view text, const FlatKeyphrases& keyphrases,
                                           RecordForm form) {
    return keyphrases_out(text, FlatKeyphraseView(keyphrases), form);
}

// The result buffers of this thread's single-text calls, lent to one call at a time, so that a
// call allocates nothing for its results once they have grown. A call takes them and gives them
// back when it ends: one made meanwhile on the same thread (from a finalizer the collector runs
// while records are made, say) finds none and uses buffers of its own. Room a long text needed
// is given back to the heap. Made and ended with the lock held; the call may fill the buffers
// without it.
class CallResults {
  public:
    CallResults() : found_(std::move(kept())) { found_.clear(); }
    ~CallResults() {
        if (found_.capacity() <= kKeptItems) kept() = std::move(found_);
    }
    CallResults(const CallResults&) = delete;
    CallResults& operator=(const CallResults&) = delete;

    FlatKeyphrases& operator*() { return found_; }

  private:
    static constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    static FlatKeyphrases& kept() {
        thread_local FlatKeyphrases buffers;
        return buffers;
    }
    FlatKeyphrases found_;
};

}  // namespace kezo::python
