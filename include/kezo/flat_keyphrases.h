// Keyphrases laid out in three buffers instead of records that each own their text and spans.
// A caller that turns every call's keyphrases into records of its own at once (a language
// binding) keeps one of these from call to call: a call then allocates nothing for its results
// once the buffers have grown.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kezo/spanned_keyword.h"

namespace kezo {

class FlatKeyphrases {
  public:
    // One keyphrase: its text is text()[text_begin, text_begin + text_size), its spans
    // spans()[spans_begin, spans_begin + spans_size), in text order.
    struct Entry {
        double score = 0.0;
        std::uint32_t count = 0;
        std::uint32_t first_position = 0;
        std::size_t text_begin = 0, text_size = 0;
        std::size_t spans_begin = 0, spans_size = 0;
    };

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const Entry& operator[](std::size_t k) const { return entries_[k]; }
    std::string_view text(std::size_t k) const {
        return std::string_view(text_).substr(entries_[k].text_begin, entries_[k].text_size);
    }
    const ByteSpan* spans(std::size_t k) const { return spans_.data() + entries_[k].spans_begin; }

    // The most items one of the buffers has room for: bytes of text, spans or entries.
    std::size_t capacity() const {
        return std::max({text_.capacity(), spans_.capacity(), entries_.capacity()});
    }

    // Forgets the keyphrases; the buffers keep their room.
    void clear() {
        text_.clear();
        spans_.clear();
        entries_.clear();
    }

    // What a producer fills in: entries in rank order, each text appended to text_buffer()
    // between its begin and size, spans written into room it reserves with reserve_spans.
    std::vector<Entry>& entries() { return entries_; }
    std::string& text_buffer() { return text_; }
    // Room for n more spans, past those reserved before: the index of the first.
    std::size_t reserve_spans(std::size_t n) {
        const std::size_t first = spans_.size();
        spans_.resize(first + n);
        return first;
    }
    ByteSpan* span_buffer() { return spans_.data(); }

    // The keyphrases as records that own their text and spans. Linear in their size.
    std::vector<SpannedKeyword> to_records() const {
        std::vector<SpannedKeyword> out(entries_.size());
        for (std::size_t k = 0; k < entries_.size(); ++k) {
            const Entry& e = entries_[k];
            out[k].keyword.text.assign(text(k));
            out[k].keyword.score = e.score;
            out[k].keyword.count = e.count;
            out[k].keyword.first_position = e.first_position;
            out[k].spans.assign(spans(k), spans(k) + e.spans_size);
        }
        return out;
    }

  private:
    std::string text_;
    std::vector<ByteSpan> spans_;
    std::vector<Entry> entries_;
};

}  // namespace kezo
