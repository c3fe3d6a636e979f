// Word scanner of the keyphrase pipeline: one pass over the code points of the text.
#include "words.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>

#include "addresses.h"
#include "char_kinds.h"
#include "character_references.h"
#include "kezo/stopwords.h"
#include "kezo/unicode.h"
#include "supplement.h"

namespace kezo::keyphrase {
namespace {

constexpr std::size_t kMaxWordCodePoints = 64;

// classify_ascii for every byte below 0x80 but the '&' that may start a character reference,
// looked up without a call per character.
const std::array<Kind, 128>& ascii_kinds() {
    static const std::array<Kind, 128> kinds = [] {
        std::array<Kind, 128> out{};
        for (unsigned c = 0; c < 128; ++c) out[c] = classify_ascii(static_cast<unsigned char>(c));
        out['&'] = Kind::Reference;
        return out;
    }();
    return kinds;
}

bool is_ascii_alnum(unsigned char c) {
    return unsigned{c} - '0' < 10u || (unsigned{c} | 0x20) - 'a' < 26u;
}

// The pre-pass and ASCII runs read eight bytes at once where the first byte loads into the
// lowest bits, byte by byte elsewhere.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kWordAtATime = true;
#else
constexpr bool kWordAtATime = false;
#endif
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHigh = 0x8080808080808080ull;

std::uint64_t load8(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The high bit of every byte of y (each below 0x80) from lo to hi.
constexpr std::uint64_t in_range(std::uint64_t y, unsigned lo, unsigned hi) {
    return (y + (0x80 - lo) * kOnes) & ~(y + (0x7F - hi) * kOnes) & kHigh;
}

// The high bit of every ASCII digit byte of x, and of every ASCII letter.
std::uint64_t ascii_digits(std::uint64_t x) {
    return in_range(x & ~kHigh, '0', '9') & ~x;
}
std::uint64_t ascii_letters(std::uint64_t x) {
    return in_range((x & ~kHigh) | 0x20 * kOnes, 'a', 'z') & ~x;
}

// How many bytes of bits (high bits only) are set.
unsigned count_high(std::uint64_t bits) {
    return static_cast<unsigned>(((bits >> 7) * kOnes) >> 56);
}

// Words an English document names its own parts by, before their number ("Figure 3", "Eq. 5").
bool is_layout_label(std::string_view lower) {
    static constexpr std::string_view kLabels[] = {
        "algorithm", "appendix", "chapter",   "chapters", "corollary", "definition", "eq",
        "eqs",       "equation", "equations", "fig",      "figs",      "figure",     "figures",
        "footnote",  "lemma",    "line",      "lines",    "page",      "pages",      "pp",
        "section",   "sections", "sec",       "tab",      "table",     "tables",     "theorem"};
    for (const std::string_view label : kLabels)
        if (label == lower) return true;
    return false;
}

// cp in UTF-8 at out, as unicode::encode_utf8 writes it; returns its bytes.
std::size_t encode(std::uint32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

// Distinct forms made room for up front, at most this many: a short text has about one a
// word of two (an abstract one per ten bytes or so, hence len / 8), a long one far fewer.
constexpr std::size_t kFormsReserved = 1 << 14;
// The bytes made room for a form: most are shorter.
constexpr std::size_t kFormBytes = 8;

// About as many as the words scan_words finds in text, and for most texts at least as many (a
// vector that must grow anyway just grows): a word starts a run of ASCII letters and digits or
// of bytes outside ASCII, and an ideograph, kana or typographic apostrophe (lead bytes E2 to E9)
// may start one inside a run. Malformed bytes and symbols, which start none, count no more than
// once a run, so random bytes reserve little.
std::size_t most_words(std::string_view text) {
    // Per byte: bit 0 when it belongs to a run, bit 1 when it is such a lead byte.
    static const std::array<std::uint8_t, 256> kBits = [] {
        std::array<std::uint8_t, 256> bits{};
        for (unsigned byte = 0; byte < 256; ++byte) {
            const bool alnum =
                (byte >= '0' && byte <= '9') || ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z');
            bits[byte] = static_cast<std::uint8_t>((alnum || byte >= 0x80 ? 1 : 0) |
                                                   (byte >= 0xE2 && byte <= 0xE9 ? 2 : 0));
        }
        return bits;
    }();
    std::size_t starts = 1;
    unsigned in_run = 0;
    std::size_t i = 0;
    if (kWordAtATime) {
        // The same count: a run byte after a byte outside runs, or a lead byte, starts a word.
        for (; i + 8 <= text.size(); i += 8) {
            const std::uint64_t x = load8(text.data() + i);
            const std::uint64_t run = ascii_digits(x) | ascii_letters(x) | (x & kHigh);
            const std::uint64_t lead = in_range(x & ~kHigh, 0x62, 0x69) & x;
            const std::uint64_t before = run << 8 | std::uint64_t{in_run} << 7;
            starts += count_high((run & ~before) | lead);
            in_run = static_cast<unsigned>(run >> 63);
        }
    }
    for (const char ch : text.substr(i)) {
        const unsigned bits = kBits[static_cast<unsigned char>(ch)];
        const unsigned run = bits & 1u;
        starts += (run & ~in_run & 1u) | (bits >> 1);
        in_run = run;
    }
    return starts;
}

// What the built-in lists say of a form in one language: is_builtin_stop, else whether a
// supplement list holds it. Neither list ever changes, so the answer is kept with the form.
// SelfNoun: no stopword, but in English a noun a document names itself by ("this paper").
enum class ListedAs : std::uint8_t { Stop, Supplement, Neither, SelfNoun };

// The nouns an English document names itself by after "this" or "the present".
bool is_self_noun(Language lang, std::string_view lower) {
    if (lang != Language::English && lang != Language::Auto) return false;
    return lower == "paper" || lower == "article" || lower == "thesis" || lower == "dissertation" ||
           lower == "letter";
}

// How a form stops in the text being scanned, looked up once per distinct form.
enum class FormStop : std::uint8_t { Unknown, Stop, Supplement, Content };

// The forms a thread has scanned, found by hash (open addressing over slots), each with the
// index it has in the text being scanned and what the built-in lists say of it. Kept from one
// text to the next: a form seen before costs a hash and a compare, never an allocation or a
// stopword lookup. Bounded: past kMostEntries it starts over with the next text.
class Vocabulary {
  public:
    // Starts a text: no form has an index in it yet.
    void reset() {
        if (texts_.size() > kMostEntries || ++stamp_ == 0) {
            texts_.clear();
            ++generation_;
            std::fill(slots_.begin(), slots_.end(), Slot());
            stamp_ = 1;
        }
        if (slots_.empty()) resize(1024);
        // A thread numbers its texts after a base of its own, taken again when they run out.
        if (static_cast<std::uint32_t>(++id_) == 0)
            id_ = next_base_.fetch_add(1, std::memory_order_relaxed) << 32 | 1;
        forms_.clear();
    }

    // Which text this is of the thread's scans: never the same for two threads, nor for two
    // texts of one thread. Never 0.
    std::uint64_t id() const { return id_; }

    // Where form (an index intern returned for this text) is kept, and how many times the
    // kept forms have started over.
    std::uint32_t entry_of(std::uint32_t form) const { return slots_[forms_[form].slot].entry - 1; }
    std::uint64_t generation() const { return generation_; }

    // The index of lower in forms (the text's forms), appended there when new to the text.
    // Inlined where it is called, once or twice a word: the call cost about a tenth of a scan.
    [[gnu::always_inline]] std::uint32_t intern(std::string_view lower, FormList& forms) {
        const Key key = key_of(lower);
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash_of(key) >> shift_;
        for (;; at = (at + 1) & mask) {
            Slot& slot = slots_[at];
            if (slot.entry == 0) break;
            if (slot.holds(key) && (lower.size() <= kKeyBytes || texts_[slot.entry - 1] == lower))
                return form_of(slot, at, lower, forms);
        }
        texts_.emplace_back(lower.data(), lower.size());
        Slot& slot = slots_[at];
        slot.head = key.head;
        slot.tail = key.tail;
        slot.size = key.size;
        slot.entry = static_cast<std::uint32_t>(texts_.size());
        const std::uint32_t form = form_of(slot, at, lower, forms);
        if (texts_.size() * 2 > slots_.size()) resize(slots_.size() * 2);
        return form;
    }

    // How form (an index intern returned for this text) stops; Unknown until set.
    FormStop& stop(std::uint32_t form) { return forms_[form].stop; }

    // The index lower has in the text being scanned, or UINT32_MAX when the text holds no such
    // form. A hash and a probe or two.
    std::uint32_t form_in_text(std::string_view lower) const {
        if (slots_.empty()) return UINT32_MAX;
        const Key key = key_of(lower);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash_of(key) >> shift_;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.entry == 0) return UINT32_MAX;
            if (slot.holds(key) && (lower.size() <= kKeyBytes || texts_[slot.entry - 1] == lower))
                return slot.stamp == stamp_ ? slot.form : UINT32_MAX;
        }
    }

    // What the built-in lists say of form in lang.
    KEZO_EVERY_WORD ListedAs listed_as(std::uint32_t form, Language lang) {
        Slot& slot = slots_[forms_[form].slot];
        const auto value = static_cast<std::uint32_t>(lang);
        if (slot.listed_language == value + 1) return slot.listed;
        const std::string& text = texts_[slot.entry - 1];
        const ListedAs listed = stopwords::is_builtin_stop(lang, text) ? ListedAs::Stop
                                : is_supplement_stopword(lang, text)   ? ListedAs::Supplement
                                : is_self_noun(lang, text)             ? ListedAs::SelfNoun
                                                                       : ListedAs::Neither;
        // A language value past a byte is answered each time (no such language exists).
        if (value < 0xFF) {
            slot.listed_language = static_cast<std::uint8_t>(value + 1);
            slot.listed = listed;
        }
        return listed;
    }

  private:
    static constexpr std::size_t kMostEntries = std::size_t{1} << 16;
    static constexpr std::size_t kKeyBytes = 16;

    // A form's length with its first and last eight bytes (fewer, overlapping, when shorter):
    // all of a form of up to 16 bytes, so most probes settle in the slot.
    struct Key {
        std::uint64_t head = 0, tail = 0;
        std::uint16_t size = 0;  // at most the 256 bytes of a word's 64 code points
    };

    // Half a cache line: all a lookup of a short form reads.
    struct alignas(32) Slot {
        std::uint64_t head = 0, tail = 0;
        std::uint16_t size = 0;
        std::uint8_t listed_language = 0;  // the language value listed answers for, plus one
        ListedAs listed = ListedAs::Neither;
        std::uint32_t entry = 0;  // index in texts_ + 1, 0 for a free slot
        std::uint32_t stamp = 0;  // the text in which form is its index
        std::uint32_t form = 0;

        bool holds(const Key& k) const {
            return head == k.head && tail == k.tail && size == k.size;
        }
    };
    static_assert(sizeof(Slot) == 32, "two slots a cache line");

    struct Form {
        // Built in place: a Form assembled on the stack and copied is read back whole just
        // after its fields were stored apart, which stalls.
        explicit Form(std::size_t at)
            : slot(static_cast<std::uint32_t>(at)), stop(FormStop::Unknown) {}
        std::uint32_t slot;
        FormStop stop;
    };

    KEZO_EVERY_WORD std::uint32_t form_of(Slot& slot, std::size_t at, std::string_view lower,
                                          FormList& forms) {
        if (slot.stamp != stamp_) {
            slot.stamp = stamp_;
            slot.form = static_cast<std::uint32_t>(forms.size());
            forms.push_back(lower);
            forms_.emplace_back(at);
        }
        return slot.form;
    }

    static std::uint64_t load(const char* p, std::size_t n) {
        std::uint64_t v = 0;
        std::memcpy(&v, p, n);
        return v;
    }

    static Key key_of(std::string_view s) {
        Key k;
        const char* p = s.data();
        const std::size_t n = s.size();
        k.size = static_cast<std::uint16_t>(n);
        if (n >= 8) {
            k.head = load(p, 8);
            k.tail = load(p + n - 8, 8);
        } else if (n >= 4) {
            k.head = load(p, 4);
            k.tail = load(p + n - 4, 4);
        } else if (n > 0) {
            k.head = static_cast<unsigned char>(p[0]) |
                     std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8 |
                     std::uint64_t{static_cast<unsigned char>(p[n - 1])} << 16;
        }
        return k;
    }

    // Products carry every bit of the key into the top bits, which pick the slot.
    static std::uint64_t hash_of(const Key& k) {
        return k.head * 0x9E3779B97F4A7C15ull ^ (k.tail + k.size) * 0xC2B2AE3D27D4EB4Full;
    }

    // Slots for count (a power of two), every form placed again.
    void resize(std::size_t count) {
        std::vector<Slot> old(count);
        old.swap(slots_);
        shift_ = 64;
        for (std::size_t c = count; c > 1; c >>= 1) --shift_;
        const std::size_t mask = count - 1;
        for (const Slot& slot : old) {
            if (slot.entry == 0) continue;
            std::size_t at = hash_of({slot.head, slot.tail, slot.size}) >> shift_;
            while (slots_[at].entry != 0) at = (at + 1) & mask;
            slots_[at] = slot;
            if (slot.stamp == stamp_) forms_[slot.form].slot = static_cast<std::uint32_t>(at);
        }
    }

    std::vector<Slot> slots_;         // a power of two, at most half of them taken
    unsigned shift_ = 64;             // 64 less the bits of a slot index
    std::vector<std::string> texts_;  // every form, by entry
    std::vector<Form> forms_;         // by form index of the text being scanned
    std::uint32_t stamp_ = 0;
    std::uint64_t id_ = 0xFFFFFFFF;  // no text yet: the first takes a base
    std::uint64_t generation_ = 0;
    static inline std::atomic<std::uint64_t> next_base_{1};
};

thread_local Vocabulary tls_vocabulary;

class Scanner {
  public:
    // Scans into out, whose words and forms are replaced (their vectors keep their capacity).
    Scanner(std::string_view text, const ScanOptions& options, Words& out)
        : text_(text), options_(options), out_(out) {
        out_.words.clear();
        out_.forms.clear();
        out_.nominal.clear();
        std::uint32_t first = 0;
        line_indent_ = indentation(0, &first);
    }

    void run() {
        const char* data = text_.data();
        const std::size_t len = text_.size();
        const std::array<Kind, 128>& ascii = ascii_kinds();
        // Room for every word at once: growing a vector of millions of words would hold the old
        // and the new block together. Pages beyond the words found are never touched. A vector
        // kept from earlier scans of short texts takes room for len / 2 + 1 words, which needs
        // no count: every word but the last takes two bytes at least with what parts it from
        // the next.
        constexpr std::size_t kShortText = std::size_t{1} << 16;
        const std::size_t most = len / 2 + 1;
        if (out_.words.capacity() < most)
            out_.words.reserve(out_.words.capacity() == 0 || len > kShortText ? most_words(text_)
                                                                              : most);
        const std::size_t forms = std::min<std::size_t>(len / 8 + 1, kFormsReserved);
        out_.forms.reserve(forms, forms * kFormBytes);
        vocabulary_.reset();
        out_.scanned_by = vocabulary_.id();
        dynamic_stops_ = stopwords::has_dynamic_stops(options_.language);
        addresses_ = find_addresses_and_markup(text_);
        skip_from_ = addresses_.empty() ? SIZE_MAX : addresses_.front().begin;
        std::size_t pos = 0;
        while (pos < len) {
            if (pos >= skip_from_) {
                pos = skip_address(pos);
                continue;
            }
            std::uint32_t cp = static_cast<unsigned char>(data[pos]);
            std::size_t n = 1;
            Kind kind;
            if (cp < 0x80) {
                kind = ascii[cp];
                if (kind == Kind::Letter || kind == Kind::Digit) {
                    pos = read_ascii(pos);
                    continue;
                }
                if (kind == Kind::Reference) {
                    pos = read_reference(pos);
                    continue;
                }
            } else {
                n = unicode::decode_utf8(data, pos, len, &cp);
                if (n == 0) {
                    ++pos;  // a malformed byte is invisible, as in the tokenizer
                    continue;
                }
                kind = classify(cp);
            }
            take(pos, n, cp, kind);
            pos += n;
        }
        finish_word();
        finish_text();
    }

  private:
    // What the character cp (n bytes at pos) of kind `kind` does to the scan; run reads runs of
    // ASCII letters and digits itself.
    [[gnu::always_inline]] void take(std::size_t pos, std::size_t n, std::uint32_t cp, Kind kind) {
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
                emit_ideograph(pos, n, cp);
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
            case Kind::Reference:  // a '&' that starts no reference
            case Kind::Punct:
                finish_word();
                boundary_ = true;
                if (cp == '@' || cp == '#') mark_tag(pos);
                break;
        }
    }

    // An '@' or '#' at pos after a blank (or at the start) opens a handle or hashtag: the word
    // after it is a segment of its own ("@united | worst airline"), as it names the tag alone.
    // One right after a word ("C#", "john@example") opens none.
    [[gnu::noinline]] void mark_tag(std::size_t pos) {
        const char before = pos == 0 ? ' ' : text_[pos - 1];
        tag_next_ = before == ' ' || before == '\t' || before == '\n' || before == '\r';
    }

    // A number at number_begin right after "Figure", "Table", "Section", "Eq." ... (a blank, a
    // full stop or both between) makes that word a label of the document's own layout rather
    // than a word of its subject: it stops there. English only.
    [[gnu::noinline]] void mark_label(std::size_t number_begin) {
        if (options_.language != Language::English && options_.language != Language::Auto) return;
        Word& last = out_.words.back();
        if (last.stop || last.end() > number_begin || number_begin - last.end() > 2) return;
        for (std::size_t k = last.end(); k < number_begin; ++k)
            if (text_[k] != ' ' && text_[k] != '.' && text_[k] != '~') return;
        if (!is_layout_label(out_.lower(last))) return;
        last.stop = 1;
        // A supplement word ("section") has its stop mark settled once the text is read.
        if (!supplement_.empty() && supplement_.back() == out_.words.size() - 1)
            supplement_.pop_back();
    }

    // Passes over the address the scan has reached at pos (find_addresses_and_markup) as over a
    // dropped token: it ends the segment. Returns where the scan goes on.
    [[gnu::noinline]] std::size_t skip_address(std::size_t pos) {
        finish_word();
        boundary_ = true;
        const std::size_t end = addresses_[next_address_++].end;
        skip_from_ = next_address_ < addresses_.size() ? addresses_[next_address_].begin : SIZE_MAX;
        return std::max(pos, end);
    }

    // The '&' at pos: a character reference is read as the character it names, any other '&'
    // as punctuation. Returns where the scan goes on. Kept out of run, whose loop it would make
    // larger for a character few texts hold.
    [[gnu::noinline]] std::size_t read_reference(std::size_t pos) {
        std::uint32_t cp = '&';
        std::size_t n = 1;
        const Kind kind = reference_at(pos, Kind::Reference, &cp, &n);
        take(pos, n, cp, kind);
        return pos + n;
    }

    static std::array<std::int8_t, 128> make_unknown() {
        std::array<std::int8_t, 128> out{};
        out.fill(-1);
        return out;
    }

    // The kind of the character reference at pos (a '&' of kind `plain`), with its code point
    // in *cp and its bytes in *n; plain, and nothing changed, when no reference starts there.
    [[gnu::noinline]] Kind reference_at(std::size_t pos, Kind plain, std::uint32_t* cp,
                                        std::size_t* n) const {
        const std::size_t bytes = character_reference(text_.data(), pos, text_.size(), cp);
        if (bytes == 0) return plain;
        *n = bytes;
        return *cp < 0x80 ? classify_ascii(static_cast<unsigned char>(*cp)) : classify(*cp);
    }

    // True when the code point at pos continues a word (a letter or digit right after a joiner).
    bool joins_next(std::size_t pos) const {
        std::uint32_t cp = 0;
        std::size_t n = unicode::decode_utf8(text_.data(), pos, text_.size(), &cp);
        if (n == 0) return false;
        Kind kind = cp < 0x80 ? classify_ascii(static_cast<unsigned char>(cp)) : classify(cp);
        if (cp == '&') kind = reference_at(pos, kind, &cp, &n);
        return kind == Kind::Letter || kind == Kind::Digit;
    }

    void start_word(std::size_t pos, std::uint32_t cp) {
        in_word_ = true;
        code_points_ = 0;
        apostrophes_.clear();
        shape_ = Shape();
        shape_.first = cp;
        word_begin_ = pos;
    }

    // Reads the run of ASCII letters and digits at pos into the word; returns where it ends.
    // Ordinary text is mostly such runs, so they skip the per-character dispatch of run. A run
    // that is a whole word (nothing before it in the word, nothing after it that could join it)
    // is emitted at once, and a single blank after it is passed over: a blank only finishes a
    // word, and none is open then.
    [[gnu::always_inline]] std::size_t read_ascii(std::size_t pos) {
        const char* data = text_.data();
        const std::size_t len = text_.size();
        if (!in_word_) {
            std::size_t digits = 0, upper = 0;
            const std::size_t end =
                lower_ascii_run(pos, kMaxWordCodePoints, lower_, &digits, &upper);
            if ((end == len || ends_ascii_word(static_cast<unsigned char>(data[end]))) &&
                end <= Word::kMaxBegin) {
                Shape shape;
                shape.first = static_cast<unsigned char>(data[pos]);
                shape.digits = digits;
                shape.letters = end - pos - digits;
                shape.upper = upper;
                emit(std::string_view(lower_, end - pos), pos, end, &shape);
                return end < len && data[end] == ' ' ? end + 1 : end;
            }
            start_word(pos, static_cast<unsigned char>(data[pos]));
            return add_ascii_run(pos, end, digits, upper);
        }
        const std::size_t room =
            code_points_ < kMaxWordCodePoints ? kMaxWordCodePoints - code_points_ : 0;
        std::size_t digits = 0, upper = 0;
        const std::size_t end = lower_ascii_run(pos, room, lower_ + lower_size_, &digits, &upper);
        return add_ascii_run(pos, end, digits, upper);
    }

    // True when the byte c, right after a run of ASCII letters and digits, ends the word: an
    // ASCII byte but a letter or digit (the run was cut short), a joiner (hyphen, apostrophe)
    // or the '&' of a character reference. A byte outside ASCII may be a letter, mark or
    // invisible character going on.
    static bool ends_ascii_word(unsigned char c) {
        return c < 0x80 && !is_ascii_alnum(c) && c != '-' && c != '\'' && c != '&';
    }

    // Lower-cases the run of ASCII letters and digits at pos into out, at most room of them;
    // returns where they end, with the digits and capitals among them counted.
    [[gnu::always_inline]] std::size_t lower_ascii_run(std::size_t pos, std::size_t room, char* out,
                                                       std::size_t* digits_found,
                                                       std::size_t* upper_found) const {
        const char* data = text_.data();
        const std::size_t stop = std::min(text_.size(), pos + room);
        std::size_t end = pos, digits = 0, upper = 0;
        bool ended = false;  // at a byte outside the run
        if (kWordAtATime) {
            // Eight bytes lower-cased and stored at once (out has room for them while the word
            // has room for eight code points; bytes past the run are never read), the run ending
            // at the first other byte.
            for (; end + 8 <= stop; end += 8) {
                const std::uint64_t x = load8(data + end);
                const std::uint64_t digit = ascii_digits(x);
                const std::uint64_t outside = ~(digit | ascii_letters(x)) & kHigh;
                const std::uint64_t lowered = x | 0x20 * kOnes;
                std::memcpy(out + (end - pos), &lowered, 8);
                const unsigned bits = outside == 0 ? 64 : __builtin_ctzll(outside) & ~7u;
                const std::uint64_t run =
                    bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
                // Most words hold no digit and at most one capital.
                if (const std::uint64_t found = digit & run) digits += count_high(found);
                if (const std::uint64_t found = in_range(x & ~kHigh, 'A', 'Z') & run)
                    upper += count_high(found);
                if (bits < 64) {
                    end += bits / 8;
                    ended = true;
                    break;
                }
            }
        }
        for (; !ended && end < stop; ++end) {
            const auto c = static_cast<unsigned char>(data[end]);
            if (!is_ascii_alnum(c)) break;
            out[end - pos] = static_cast<char>(c | 0x20);  // lower-cases letters, keeps digits
            digits += c <= '9' ? 1 : 0;
            upper += unsigned{c} - 'A' < 26u ? 1 : 0;
        }
        *digits_found = digits;
        *upper_found = upper;
        return end;
    }

    // Adds the run [pos, end) lower_ascii_run read to the open word; returns where the run of
    // letters and digits ends, past end when the word ran out of room.
    std::size_t add_ascii_run(std::size_t pos, std::size_t end, std::size_t digits,
                              std::size_t upper) {
        const char* data = text_.data();
        const std::size_t len = text_.size();
        const std::size_t room =
            code_points_ < kMaxWordCodePoints ? kMaxWordCodePoints - code_points_ : 0;
        if (end > pos) {
            lower_size_ += end - pos;
            word_end_ = end;
            shape_.digits += digits;
            shape_.letters += end - pos - digits;
            shape_.upper += upper;
        }
        // Letters past the limit still count: the word is dropped in finish_word.
        std::size_t rest = end;
        if (end == std::min(len, pos + room))
            while (rest < len && is_ascii_alnum(static_cast<unsigned char>(data[rest]))) ++rest;
        code_points_ += rest - pos;
        return rest;
    }

    void append(std::size_t pos, std::size_t n, std::uint32_t cp, Kind kind) {
        if (!in_word_) start_word(pos, cp);
        if (++code_points_ > kMaxWordCodePoints) return;  // dropped in finish_word anyway
        word_end_ = pos + n;
        if (kind == Kind::Digit) {
            ++shape_.digits;
            if (text_[pos] == '&') {  // a character reference: the digit it names
                lower_size_ += encode(cp, lower_ + lower_size_);
                return;
            }
            std::memcpy(lower_ + lower_size_, text_.data() + pos, n);
            lower_size_ += n;
            return;
        }
        const std::uint32_t lower = unicode::to_lower_code_point(cp);
        if (kind == Kind::Letter) {
            ++shape_.letters;
            shape_.upper += lower != cp ? 1 : 0;
        }
        lower_size_ += encode(lower, lower_ + lower_size_);
    }

    void join(std::size_t pos, std::size_t n, Kind kind) {
        if (++code_points_ > kMaxWordCodePoints) return;
        if (kind == Kind::Apostrophe) apostrophes_.push_back({lower_size_, pos, n});
        lower_[lower_size_++] = kind == Kind::Hyphen ? '-' : '\'';
        word_end_ = pos + n;
    }

    void finish_word() {
        if (!in_word_) return;
        in_word_ = false;
        if (code_points_ > kMaxWordCodePoints || word_end_ - word_begin_ > Word::kMaxBytes ||
            word_end_ > Word::kMaxBegin) {
            boundary_ = true;
        } else if (!apostrophes_.empty()) {
            split_apostrophe();
        } else {
            emit(std::string_view(lower_, lower_size_), word_begin_, word_end_, &shape_);
        }
        lower_size_ = 0;
    }

    // French and Italian elision splits the articles off ("d'avenir" -> "d'" + "avenir",
    // "qu'l'..." in turn), the English possessive its 's; any other apostrophe stays inside the
    // word ("aujourd'hui", "o'brien").
    void split_apostrophe() {
        const Language lang = options_.language;
        const std::string_view lower(lower_, lower_size_);
        std::size_t from_lower = 0, from = word_begin_;
        for (const Apostrophe& a : apostrophes_) {
            if (!is_elided(lang, lower.substr(from_lower, a.lower - from_lower))) break;
            emit_stop(lower.substr(from_lower, a.lower + 1 - from_lower), from, a.pos + a.bytes);
            from_lower = a.lower + 1;
            from = a.pos + a.bytes;
        }
        const Apostrophe& last = apostrophes_.back();
        if (lang == Language::English && from_lower == 0 && last.lower + 2 == lower.size() &&
            lower.back() == 's') {
            emit(lower.substr(0, last.lower), word_begin_, last.pos, nullptr);
            emit_stop("'s", last.pos, word_end_);
            return;
        }
        emit(lower.substr(from_lower), from, word_end_, nullptr);
    }

    void emit_stop(std::string_view lower, std::size_t begin, std::size_t end) {
        Marks marks;
        marks.stop = true;
        add(begin, end, vocabulary_.intern(lower, out_.forms), marks);
    }

    // One ideograph or hiragana character, a word of its own. Hiragana mostly writes particles
    // and endings, so it is a function word. Stopwords of several characters are marked once
    // the text is read (mark_ideograph_stopwords).
    void emit_ideograph(std::size_t pos, std::size_t n, std::uint32_t cp) {
        char bytes[4];  // as UTF-8 when written as a character reference
        const std::string_view text =
            text_[pos] == '&' ? std::string_view(bytes, encode(cp, bytes)) : text_.substr(pos, n);
        Marks marks;
        marks.ideograph = true;
        marks.stop = (cp >= 0x3040 && cp <= 0x309F) ||
                     (is_stop_word(text) && !is_word_part(options_.language, text));
        add(pos, pos + n, vocabulary_.intern(text, out_.forms), marks);
        ideographs_ = true;
    }

    // Runs of two to four ideographs that spell a stopword ("可以", "已经", a tenant's word):
    // text without blanks holds them as single characters, so each is looked up here.
    void mark_ideograph_stopwords() {
        constexpr std::size_t kLongest = 4;
        std::vector<Word>& words = out_.words;
        std::string joined;
        for (std::size_t i = 0; i < words.size(); ++i) {
            joined.clear();
            for (std::size_t j = i; j < words.size() && j - i < kLongest; ++j) {
                const Word& w = words[j];
                if (!w.ideograph || w.segment != words[i].segment) break;
                joined += out_.lower(w);
                if (j > i && (stopwords::is_stop(options_.language, joined) || is_extra(joined)))
                    for (std::size_t k = i; k <= j; ++k) words[k].stop = true;
            }
        }
    }

    // Appends a word, or drops it (and ends the segment) when it is a number (unless kept), has
    // a single letter, or holds no letter or digit at all. known is the word's shape when the
    // scan counted it, null for a part cut off at an apostrophe. Inlined, as intern is.
    [[gnu::always_inline]] void emit(std::string_view lower, std::size_t begin, std::size_t end,
                                     const Shape* known) {
        const Shape shape = known != nullptr ? *known : shape_of(text_.substr(begin, end - begin));
        const bool number = shape.digits > 0;
        if ((number && !options_.keep_numbers) || shape.letters + shape.digits == 0) {
            if (number && !out_.words.empty()) mark_label(begin);
            boundary_ = true;
            return;
        }
        if (!number && shape.letters < 2) {
            // A one-letter function word ("a", "à", "o") stays, as a stopword that tells what
            // follows; any other single letter or symbol ("x", "λ") is dropped.
            if (!is_one_letter_stop(lower)) {
                boundary_ = true;
                return;
            }
            emit_stop(lower, begin, end);
            return;
        }
        const std::uint32_t form = vocabulary_.intern(lower, out_.forms);
        Marks marks;
        marks.has_letter = shape.letters > 0;
        marks.capitalised = shape.first < 0x80 ? shape.first - 'A' < 26u : is_upper(shape.first);
        marks.all_caps = shape.letters >= 2 && shape.upper == shape.letters;
        marks.inner_capital = shape.upper > (marks.capitalised ? 1u : 0u);
        if (marks.has_letter) {
            const FormStop kind = form_stop(form);
            marks.stop = kind == FormStop::Stop;
            if (kind == FormStop::Supplement) {
                if (supplement_.empty()) supplement_.reserve(16);  // a text holds a few
                supplement_.push_back(out_.words.size());
            }
            if (lower.size() == 2 && !marks.stop) marks.stop = is_retweet_mark(lower, end);
        }
        add(begin, end, form, marks);
    }

    // "RT" right before a handle ("RT @nasa: ..."): a post's mark that it quotes another, no
    // word of its subject. Elsewhere it is a word like any other ("RT simulators").
    [[gnu::noinline]] bool is_retweet_mark(std::string_view lower, std::size_t end) const {
        if (lower != "rt") return false;
        while (end < text_.size() && (text_[end] == ' ' || text_[end] == '\t')) ++end;
        return end < text_.size() && text_[end] == '@';
    }

    // How a form stops, looked up once per distinct form: the stopword registry first (so a
    // supplement word the registry lists stays a plain stopword), then the supplement lists.
    KEZO_EVERY_WORD FormStop form_stop(std::uint32_t form) {
        FormStop& kind = vocabulary_.stop(form);
        if (kind == FormStop::Unknown) {
            const std::string_view lower = out_.forms[form];
            const ListedAs listed = vocabulary_.listed_as(form, options_.language);
            if (listed == ListedAs::Stop ||
                (dynamic_stops_ && stopwords::is_stop(options_.language, lower)) || is_extra(lower))
                kind = FormStop::Stop;
            else if (listed == ListedAs::Supplement)
                kind = FormStop::Supplement;
            else
                kind = FormStop::Content;
            self_nouns_ = self_nouns_ || listed == ListedAs::SelfNoun;
        }
        return kind;
    }

    KEZO_EVERY_WORD bool is_extra(std::string_view lower) const {
        const auto* extra = options_.extra_stopwords;
        return extra != nullptr && !extra->empty() && extra->count(std::string(lower)) != 0;
    }

    // is_stop_word for a word of one letter, remembered for ASCII letters.
    bool is_one_letter_stop(std::string_view lower) {
        if (lower.size() != 1 || static_cast<unsigned char>(lower[0]) >= 0x80)
            return is_stop_word(lower);
        std::int8_t& known = one_letter_stop_[static_cast<unsigned char>(lower[0])];
        if (known < 0) known = is_stop_word(lower) ? 1 : 0;
        return known == 1;
    }

    bool is_stop_word(std::string_view lower) const {
        return stopwords::is_stop(options_.language, lower) || is_extra(lower) ||
               is_supplement_stopword(options_.language, lower);
    }

    // Once the whole text is read: stopwords spelt by several ideographs, where case tells
    // names, and so which supplement words stop.
    void finish_text() {
        if (ideographs_) mark_ideograph_stopwords();
        close_case_sentence();
        std::vector<Word>& words = out_.words;
        // A capital at the start of a line may be the writer's layout (one clause a line, as
        // in "Whereas ...," paragraphs) rather than a name, so it does not lift a stopword.
        for (std::size_t i : supplement_) {
            Word& w = words[i];
            w.stop = !(w.capitalised && w.shows_case && !w.line_start);
        }
        if (self_nouns_) mark_self_references();
    }

    // "This paper", "the present thesis": the document naming itself, not its subject. The noun
    // stops there; elsewhere it is a word like any other.
    [[gnu::noinline]] void mark_self_references() {
        const std::uint32_t this_form = vocabulary_.form_in_text("this");
        const std::uint32_t present_form = vocabulary_.form_in_text("present");
        if (this_form == UINT32_MAX && present_form == UINT32_MAX) return;
        const std::uint32_t the_form =
            present_form == UINT32_MAX ? UINT32_MAX : vocabulary_.form_in_text("the");
        std::vector<Word>& words = out_.words;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const Word& before = words[i - 1];
            const bool self = before.form == this_form || (before.form == present_form && i >= 2 &&
                                                           words[i - 2].form == the_form &&
                                                           words[i - 2].segment == before.segment);
            if (!self || before.segment != words[i].segment) continue;
            if (is_self_noun(options_.language, out_.lower(words[i]))) words[i].stop = 1;
        }
    }

    // What a word's scan found out of it, apart from its place in the text.
    struct Marks {
        bool stop = false;
        bool capitalised = false;
        bool all_caps = false;
        bool inner_capital = false;
        bool ideograph = false;
        bool has_letter = true;
    };

    // Appends a word, in the segment, sentence and line the scan has reached. Every field is
    // known before the Word is written, so no bit-field is read back just after being stored.
    KEZO_EVERY_WORD void add(std::size_t begin, std::size_t end, std::uint32_t form,
                             const Marks& marks) {
        if (end > Word::kMaxBegin) {  // past the offsets a Word holds: dropped like a long word
            boundary_ = true;
            return;
        }
        if (boundary_ && !out_.words.empty()) ++segment_;
        boundary_ = false;
        // Put together in a register and stored once: bit-fields set one by one in the vector
        // would each be read back and written again.
        Word w;
        w.set_begin(begin);
        w.bytes = static_cast<std::uint32_t>(end - begin);
        w.segment = segment_ & 7u;
        w.stop = marks.stop;
        w.sentence_start = sentence_start_;
        w.shows_case = !sentence_start_;  // until its sentence turns out to be in title case
        w.first_sentence = sentence_ == 0;
        w.line_start = words_on_line_++ == 0;
        w.capitalised = marks.capitalised;
        w.all_caps = marks.all_caps;
        w.inner_capital = marks.inner_capital;
        w.ideograph = marks.ideograph;
        w.has_letter = marks.has_letter;
        w.form = form;
        if (sentence_start_ && !out_.words.empty()) close_case_sentence();
        if (!marks.ideograph && marks.has_letter) {
            ++case_words_;
            case_capitalised_ += marks.capitalised ? 1 : 0;
        }
        // Copied a 32-bit word at a time: w may sit on the stack, stored a word at a time, and
        // a copy loading two of its words at once waits for both stores to land (a stall the
        // profile showed on every word).
        static_assert(offsetof(Word, form) == 8, "the bit-fields fill bytes 4 to 7");
        Word& added = out_.words.emplace_back();
        added.begin_low = w.begin_low;
        std::memcpy(reinterpret_cast<char*>(&added) + 4, reinterpret_cast<const char*>(&w) + 4, 4);
        added.form = w.form;
        sentence_start_ = false;
        sentence_open_ = true;
        if (tag_next_) {  // the word after an '@' or '#': what follows it starts a segment
            tag_next_ = false;
            boundary_ = true;
        }
    }

    // Settles whether case shows a name in each word of the sentence added last (from the last
    // word that starts one): not at its start (as add marks it), nor anywhere in a sentence
    // written in title case, where three in four of its (at least three) words that have letters
    // are capitalised.
    void close_case_sentence() {
        const bool title = case_words_ >= 3 && case_capitalised_ * 4 >= case_words_ * 3;
        std::vector<Word>& words = out_.words;
        if (title)
            for (std::size_t i = case_sentence_first_; i < words.size(); ++i)
                words[i].shows_case = false;
        case_sentence_first_ = words.size();
        case_words_ = 0;
        case_capitalised_ = 0;
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
    Words& out_;
    Vocabulary& vocabulary_ = tls_vocabulary;  // form -> index in out_.forms
    bool dynamic_stops_ = false;               // custom or tenant stopwords apply
    std::vector<std::size_t> supplement_;      // words found in the supplement lists only
    // The sentence whose case is being counted: its first word, its words with letters and the
    // capitalised ones among them.
    std::size_t case_sentence_first_ = 0;
    std::uint32_t case_words_ = 0, case_capitalised_ = 0;
    std::array<std::int8_t, 128> one_letter_stop_ = make_unknown();  // -1 unknown, else 0 / 1
    // The lower-cased word being read: at most 64 code points of four bytes.
    char lower_[kMaxWordCodePoints * 4];
    std::size_t lower_size_ = 0;
    std::size_t code_points_ = 0;
    std::size_t word_begin_ = 0, word_end_ = 0;  // bytes of the word being read
    Shape shape_;                                // of the word being read
    struct Apostrophe {
        std::size_t lower, pos, bytes;  // where it sits in lower_ and in the text, its length
    };
    std::vector<Apostrophe> apostrophes_;
    std::uint32_t segment_ = 0, sentence_ = 0;
    std::size_t words_on_line_ = 0;
    std::size_t line_indent_ = 0;
    bool in_word_ = false;
    bool ideographs_ = false;  // some word is an ideograph
    bool boundary_ = false;
    bool tag_next_ = false;    // an '@' or '#' opened a handle or hashtag (mark_tag)
    bool self_nouns_ = false;  // the text holds a noun it may name itself by (is_self_noun)
    std::vector<ByteRange> addresses_;  // of the text, passed over (find_addresses_and_markup)
    std::size_t next_address_ = 0;      // the first of them not passed over yet
    std::size_t skip_from_ = SIZE_MAX;  // where it begins
    bool sentence_start_ = true;
    bool sentence_open_ = false;
    bool paragraph_first_line_ = true;
};

}  // namespace

Words scan_words(std::string_view text, const ScanOptions& options) {
    Words out;
    Scanner(text, options, out).run();
    return out;
}

void scan_words(std::string_view text, const ScanOptions& options, Words& out) {
    Scanner(text, options, out).run();
}

KeptForm kept_form(const Words& words, std::uint32_t form) {
    return KeptForms(words).of(form);
}

KeptForms::KeptForms(const Words& words) : words_(words), vocabulary_(nullptr) {
    const Vocabulary& kept = tls_vocabulary;
    if (words.scanned_by != 0 && words.scanned_by == kept.id()) vocabulary_ = &kept;
}

KeptForm KeptForms::of(std::uint32_t form) const {
    if (vocabulary_ == nullptr || form >= words_.forms.size()) return {};
    const auto& kept = *static_cast<const Vocabulary*>(vocabulary_);
    return {kept.generation(), kept.entry_of(form), true};
}

void append_surface(std::string_view text, const Word& w, std::string& out) {
    const std::size_t end = w.end();
    for (std::size_t pos = w.begin(); pos < end;) {
        // A run of ASCII is copied whole: only other characters can be invisible or malformed,
        // and only a '&' can start a character reference.
        std::size_t ascii = pos;
        while (ascii < end && static_cast<unsigned char>(text[ascii]) < 0x80 && text[ascii] != '&')
            ++ascii;
        out.append(text.data() + pos, ascii - pos);
        if ((pos = ascii) == end) break;
        std::uint32_t cp = 0;
        std::size_t n = 0;
        if (text[pos] == '&') {
            n = character_reference(text.data(), pos, end, &cp);
            if (n == 0) {
                out.push_back('&');
                ++pos;
                continue;
            }
        } else {
            n = unicode::decode_utf8(text.data(), pos, end, &cp);
            if (n == 0) {
                ++pos;
                continue;
            }
        }
        if (classify(cp) != Kind::Ignorable) {
            char bytes[4];
            out.append(bytes, encode(cp, bytes));
        }
        pos += n;
    }
}

}  // namespace kezo::keyphrase
