// Word scanner of the keyphrase pipeline: one pass over the code points of the text.
#include "words.h"

#include "char_kinds.h"
#include "kezo/stopwords.h"
#include "kezo/unicode.h"
#include "supplement.h"

namespace kezo::keyphrase {
namespace {

constexpr std::size_t kMaxWordCodePoints = 64;

class Scanner {
  public:
    Scanner(std::string_view text, const ScanOptions& options) : text_(text), options_(options) {
        words_.reserve(text.size() / 6 + 1);
        std::uint32_t first = 0;
        line_indent_ = indentation(0, &first);
    }

    std::vector<Word> run() {
        const char* data = text_.data();
        const std::size_t len = text_.size();
        std::size_t pos = 0;
        while (pos < len) {
            std::uint32_t cp = static_cast<unsigned char>(data[pos]);
            std::size_t n = 1;
            Kind kind;
            if (cp < 0x80) {
                kind = classify_ascii(static_cast<unsigned char>(cp));
            } else {
                n = unicode::decode_utf8(data, pos, len, &cp);
                if (n == 0) {
                    ++pos;  // a malformed byte is invisible, as in the tokenizer
                    continue;
                }
                kind = classify(cp);
            }
            switch (kind) {
                case Kind::Letter:
                case Kind::Digit:
                    append(pos, n, cp, kind);
                    break;
                case Kind::Mark:
                    if (in_word_) append(pos, n, cp, kind);
                    break;
                case Kind::Ignorable:
                    break;
                case Kind::Hyphen:
                case Kind::Apostrophe:
                    if (in_word_ && joins_next(pos + n)) {
                        join(pos, n, kind);
                    } else {
                        finish_word();
                        boundary_ = true;
                    }
                    break;
                case Kind::Ideograph:
                    finish_word();
                    emit_ideograph(std::string(data + pos, n), cp);
                    break;
                case Kind::Space:
                    finish_word();
                    break;
                case Kind::Newline:
                    finish_word();
                    end_line(pos + n);
                    break;
                case Kind::SentenceEnd:
                    finish_word();
                    end_sentence();
                    break;
                case Kind::Punct:
                    finish_word();
                    boundary_ = true;
                    break;
            }
            pos += n;
        }
        finish_word();
        finish_text();
        return std::move(words_);
    }

  private:
    // True when the code point at pos continues a word (a letter or digit right after a joiner).
    bool joins_next(std::size_t pos) const {
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(text_.data(), pos, text_.size(), &cp);
        if (n == 0) return false;
        const Kind kind = cp < 0x80 ? classify_ascii(static_cast<unsigned char>(cp)) : classify(cp);
        return kind == Kind::Letter || kind == Kind::Digit;
    }

    void append(std::size_t pos, std::size_t n, std::uint32_t cp, Kind kind) {
        if (!in_word_) {
            in_word_ = true;
            code_points_ = 0;
            apostrophes_.clear();
            shape_ = Shape();
            shape_.first = cp;
        }
        if (++code_points_ > kMaxWordCodePoints) return;  // dropped in finish_word anyway
        surface_.append(text_.data() + pos, n);
        if (kind == Kind::Digit) {
            ++shape_.digits;
            lower_.append(text_.data() + pos, n);
            return;
        }
        const std::uint32_t lower = unicode::to_lower_code_point(cp);
        if (kind == Kind::Letter) {
            ++shape_.letters;
            shape_.upper += lower != cp ? 1 : 0;
        }
        unicode::encode_utf8(lower, lower_);
    }

    void join(std::size_t pos, std::size_t n, Kind kind) {
        if (++code_points_ > kMaxWordCodePoints) return;
        if (kind == Kind::Apostrophe) apostrophes_.push_back({lower_.size(), surface_.size(), n});
        lower_.push_back(kind == Kind::Hyphen ? '-' : '\'');
        surface_.append(text_.data() + pos, n);
    }

    void finish_word() {
        if (!in_word_) return;
        in_word_ = false;
        if (code_points_ > kMaxWordCodePoints) {
            boundary_ = true;
        } else if (!apostrophes_.empty()) {
            split_apostrophe();
        } else {
            emit(std::move(lower_), std::move(surface_), &shape_);
        }
        lower_.clear();
        surface_.clear();
    }

    // French and Italian elision splits the articles off ("d'avenir" -> "d'" + "avenir",
    // "qu'l'..." in turn), the English possessive its 's; any other apostrophe stays inside the
    // word ("aujourd'hui", "o'brien").
    void split_apostrophe() {
        const Language lang = options_.language;
        std::size_t from_lower = 0, from_surface = 0;
        for (const Apostrophe& a : apostrophes_) {
            if (!is_elided(lang, std::string_view(lower_).substr(from_lower, a.lower - from_lower)))
                break;
            emit_stop(lower_.substr(from_lower, a.lower + 1 - from_lower),
                      surface_.substr(from_surface, a.surface + a.bytes - from_surface));
            from_lower = a.lower + 1;
            from_surface = a.surface + a.bytes;
        }
        const Apostrophe& last = apostrophes_.back();
        if (lang == Language::English && from_lower == 0 && last.lower + 2 == lower_.size() &&
            lower_.back() == 's') {
            emit(lower_.substr(0, last.lower), surface_.substr(0, last.surface), nullptr);
            emit_stop("'s", surface_.substr(last.surface));
            return;
        }
        emit(lower_.substr(from_lower), surface_.substr(from_surface), nullptr);
    }

    void emit_stop(std::string lower, std::string surface) {
        Word& w = push(std::move(lower), std::move(surface));
        w.stop = true;
        w.has_letter = true;
    }

    // One ideograph or hiragana character, a word of its own. Hiragana mostly writes particles
    // and endings, so it is a function word. Stopwords of several characters are marked once
    // the text is read (mark_ideograph_stopwords).
    void emit_ideograph(std::string text, std::uint32_t cp) {
        std::string lower = text;
        Word& w = push(std::move(lower), std::move(text));
        w.ideograph = true;
        w.has_letter = true;
        w.stop = (cp >= 0x3040 && cp <= 0x309F) ||
                 (is_stop_word(w.lower) && !is_word_part(options_.language, w.lower));
    }

    // Runs of two to four ideographs that spell a stopword ("可以", "已经", a tenant's word):
    // text without blanks holds them as single characters, so each is looked up here.
    void mark_ideograph_stopwords() {
        constexpr std::size_t kLongest = 4;
        std::string joined;
        for (std::size_t i = 0; i < words_.size(); ++i) {
            joined.clear();
            for (std::size_t j = i; j < words_.size() && j - i < kLongest; ++j) {
                const Word& w = words_[j];
                if (!w.ideograph || w.segment != words_[i].segment) break;
                joined += w.lower;
                if (j > i && stopwords::is_stop(options_.language, joined))
                    for (std::size_t k = i; k <= j; ++k) words_[k].stop = true;
            }
        }
    }

    // Appends a word, or drops it (and ends the segment) when it is a number (unless kept), has
    // a single letter, or holds no letter or digit at all. known is the word's shape when the
    // scan counted it, null for a part cut off at an apostrophe.
    void emit(std::string lower, std::string surface, const Shape* known) {
        const Shape shape = known != nullptr ? *known : shape_of(surface);
        const bool number = shape.digits > 0;
        if ((number && !options_.keep_numbers) || shape.letters + shape.digits == 0) {
            boundary_ = true;
            return;
        }
        if (!number && shape.letters < 2) {
            // A one-letter function word ("a", "à", "o") stays, as a stopword that tells what
            // follows; any other single letter or symbol ("x", "λ") is dropped.
            if (!is_stop_word(lower)) {
                boundary_ = true;
                return;
            }
            emit_stop(std::move(lower), std::move(surface));
            return;
        }
        Word& w = push(std::move(lower), std::move(surface));
        w.has_letter = shape.letters > 0;
        w.capitalised = is_upper(shape.first);
        w.all_caps = shape.letters >= 2 && shape.upper == shape.letters;
        w.inner_capital = shape.upper > (w.capitalised ? 1u : 0u);
        if (w.has_letter) {
            w.stop = stopwords::is_stop(options_.language, w.lower);
            if (!w.stop && is_supplement_stopword(options_.language, w.lower))
                supplement_.push_back(words_.size() - 1);
        }
    }

    bool is_stop_word(const std::string& lower) const {
        return stopwords::is_stop(options_.language, lower) ||
               is_supplement_stopword(options_.language, lower);
    }

    // Once the whole text is read: stopwords spelt by several ideographs, where case tells
    // names, and so which supplement words stop.
    void finish_text() {
        mark_ideograph_stopwords();
        // A sentence is in title case when three in four of its (at least three) words are
        // capitalised.
        std::vector<std::uint32_t> capitalised(sentence_ + 1, 0), all(sentence_ + 1, 0);
        for (const Word& w : words_) {
            if (w.ideograph || !w.has_letter) continue;
            capitalised[w.sentence] += w.capitalised ? 1 : 0;
            ++all[w.sentence];
        }
        for (Word& w : words_) {
            const bool title =
                all[w.sentence] >= 3 && capitalised[w.sentence] * 4 >= all[w.sentence] * 3;
            w.shows_case = !w.sentence_start && !title;
        }
        // A capital at the start of a line may be the writer's layout (one clause a line, as
        // in "Whereas ...," paragraphs) rather than a name, so it does not lift a stopword.
        for (std::size_t i : supplement_) {
            const Word& w = words_[i];
            words_[i].stop = !(w.capitalised && w.shows_case && !w.line_start);
        }
    }

    Word& push(std::string lower, std::string surface) {
        if (boundary_ && !words_.empty()) ++segment_;
        boundary_ = false;
        Word& w = words_.emplace_back();
        w.line_start = words_on_line_++ == 0;
        w.lower = std::move(lower);
        w.surface = std::move(surface);
        w.segment = segment_;
        w.sentence = sentence_;
        w.sentence_start = sentence_start_;
        sentence_start_ = false;
        sentence_open_ = true;
        return w;
    }

    void end_sentence() {
        boundary_ = true;
        sentence_start_ = true;
        if (sentence_open_) ++sentence_;
        sentence_open_ = false;
    }

    // A line without words ends a paragraph. The first line of a paragraph ends a title when the
    // next line starts with a capital: in wrapped text the other line breaks are just blanks.
    //
    // A line indented less than the one before also ends a title: abstracts laid out with a
    // hanging indent put the title's continuation lines deeper than the first body line.
    void end_line(std::size_t next) {
        const std::size_t indent = line_indent_;
        std::uint32_t first = 0;
        line_indent_ = indentation(next, &first);
        if (words_on_line_ == 0) {
            end_sentence();
            paragraph_first_line_ = true;
            return;
        }
        words_on_line_ = 0;
        if ((paragraph_first_line_ && is_upper(first)) || line_indent_ < indent) end_sentence();
        paragraph_first_line_ = false;
    }

    // Blanks and tabs (a tab counting four) at pos; the code point after them in *first.
    std::size_t indentation(std::size_t pos, std::uint32_t* first) const {
        const char* data = text_.data();
        const std::size_t len = text_.size();
        std::size_t width = 0;
        for (; pos < len; ++pos) {
            if (data[pos] == ' ')
                width += 1;
            else if (data[pos] == '\t')
                width += 4;
            else if (data[pos] != '\r')
                break;
        }
        if (unicode::decode_utf8(data, pos, len, first) == 0) *first = 0;
        return width;
    }

    std::string_view text_;
    const ScanOptions& options_;
    std::vector<Word> words_;
    std::vector<std::size_t> supplement_;  // words found in the supplement lists only
    std::string lower_, surface_;
    std::size_t code_points_ = 0;
    Shape shape_;  // of the word being read
    struct Apostrophe {
        std::size_t lower, surface, bytes;  // where it sits in lower_ and surface_, its length
    };
    std::vector<Apostrophe> apostrophes_;
    std::uint32_t segment_ = 0, sentence_ = 0;
    std::size_t words_on_line_ = 0;
    std::size_t line_indent_ = 0;
    bool in_word_ = false;
    bool boundary_ = false;
    bool sentence_start_ = true;
    bool sentence_open_ = false;
    bool paragraph_first_line_ = true;
};

}  // namespace

std::vector<Word> scan_words(std::string_view text, const ScanOptions& options) {
    return Scanner(text, options).run();
}

}  // namespace kezo::keyphrase
