// Ranking, near-duplicate removal and the spelling shown for each keyphrase.
#include "selection.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>

#include "../core/flat_records.h"
#include "../core/thread_scratch.h"
#include "near_duplicates.h"

namespace kezo::keyphrase {
namespace {

bool ends_with_apostrophe(const std::string& text) {
    return text.size() >= 3 && text.compare(text.size() - 3, 3, "\xe2\x80\x99") == 0;
}

// The spelling of one occurrence: its words as written, joined by one blank (none between
// ideographs). Where case says nothing about names, at a sentence start or in a line written in
// title case, a word is lower-cased unless it is an acronym or has a capital inside
// ("États-Unis"); at a sentence start the first word keeps its capital when a later word of the
// phrase has one ("Mark Hawkins") or the tagger reads it as a proper noun ("Messi").
// *telling is set when the first word's case is the writer's own choice, or a name's. The spelling
// replaces what text held (its buffer is reused).
void spelling(const Candidates& c, const Phrase& p, std::uint32_t start, bool* telling,
              std::string& text) {
    const std::vector<Word>& words = c.words.words;
    const Word& first = words[start];
    const bool name = c.words.capital_tells_name(start);
    *telling = name;
    const bool title_line = !first.shows_case && !first.sentence_start;
    bool later_capital = false;
    for (std::size_t k = 1; k < p.size; ++k)
        later_capital = later_capital || words[start + k].capitalised;
    text.clear();
    for (std::size_t k = 0; k < p.size; ++k) {
        const Word& w = words[start + k];
        // No blank between ideographs, nor after an elided article ("d'avenir").
        if (k > 0 && !p.ideographic && text.back() != '\'' && !ends_with_apostrophe(text))
            text.push_back(' ');
        // A Korean genitive is counted as its noun but written with its particle ("신앙의 자유").
        bool as_written = w.all_caps || w.inner_capital || name || c.words.is_genitive(start + k);
        if (!as_written) as_written = title_line ? false : (k > 0 || later_capital);
        if (as_written)
            append_surface(c.text, w, text);
        else
            text.append(c.words.lower(w));
    }
}

// The places of the chosen phrases in their list, found by phrase: open addressing, at most a
// quarter full, so that a walk over every occurrence of a text mostly probes one empty slot.
class ChosenPlaces {
  public:
    struct Slot {
        std::uint32_t phrase = 0;
        std::uint32_t place = kFree;
    };
    static constexpr std::uint32_t kFree = UINT32_MAX;

    // slots is the room the table is kept in (its memory is reused).
    ChosenPlaces(const std::vector<std::uint32_t>& chosen, std::vector<Slot>& slots)
        : slots_(slots) {
        std::size_t size = 16;
        while (size < chosen.size() * 4) size <<= 1;
        slots_.assign(size, Slot());
        mask_ = size - 1;
        for (std::uint32_t k = 0; k < chosen.size(); ++k) {
            held_ |= std::uint64_t{1} << (chosen[k] & 63);
            std::size_t at = spread(chosen[k]);
            while (slots_[at].place != kFree) at = (at + 1) & mask_;
            slots_[at] = {chosen[k], k};
        }
    }

    // The place of phrase in chosen, or kFree. Most phrases of a text are not chosen, and most
    // of those are told apart by one bit.
    std::uint32_t find(std::uint32_t phrase) const {
        if (((held_ >> (phrase & 63)) & 1) == 0) return kFree;
        for (std::size_t at = spread(phrase);; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.place == kFree || slot.phrase == phrase) return slot.place;
        }
    }

  private:
    std::size_t spread(std::uint32_t phrase) const {
        return static_cast<std::size_t>((phrase * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
    }
    std::vector<Slot>& slots_;
    std::size_t mask_ = 0;
    std::uint64_t held_ = 0;  // bit k set when a chosen phrase's index is k modulo 64
};

// What ranking and spelling a text's phrases work on, kept by each thread from one text to the
// next so that a text allocates only what it returns. A text that needed more than kKeptItems
// gives the memory back.
struct Scratch {
    static constexpr std::size_t kKeptItems = std::size_t{1} << 16;
    struct Form {
        std::string text;
        std::uint32_t count;
        bool telling;
    };
    // The spellings found for a chosen phrase: the first `used` of list, the others kept with
    // their room for the next text.
    struct Forms {
        std::vector<Form> list;
        std::uint32_t used = 0;
    };
    std::vector<std::uint32_t> order, chosen;  // phrases
    std::vector<ChosenPlaces::Slot> places;
    std::vector<Forms> forms;              // by chosen phrase, as far as any was needed
    std::vector<std::uint32_t> free_from;  // by chosen phrase
    // By chosen phrase, the bytes of the last occurrence spelt, the case context of its first
    // word and the form it gave: an occurrence written the same in the same context is spelt
    // the same, and a phrase mostly recurs as written before.
    struct LastSpelt {
        std::string_view written;
        unsigned context = 0;
        std::uint32_t form = 0;
    };
    std::vector<LastSpelt> last_spelt;
    std::vector<bool> first_terms;               // by term
    std::string text;                            // the spelling of the occurrence at hand
    std::vector<const std::string*> best_texts;  // by chosen phrase, its spelling shown

    void trim() {
        if (order.capacity() > kKeptItems || forms.size() > kKeptItems ||
            first_terms.capacity() > kKeptItems)
            *this = Scratch();
    }
};

// The most frequent spelling of each chosen phrase, counting only occurrences whose case tells
// something when there are any, appended to out's text as the text of entry k for chosen[k]
// (out holds one entry a chosen phrase, in that order, its spans none yet); and, when spans is
// true, the spans of its occurrences.
void spellings(const Candidates& c, const std::vector<std::uint32_t>& chosen, bool spans,
               FlatKeyphrases& out, Scratch& s) {
    using Form = Scratch::Form;
    const ChosenPlaces places(chosen, s.places);
    std::string& text = s.text;
    std::vector<Scratch::Forms>& forms = s.forms;
    if (forms.size() < chosen.size()) forms.resize(chosen.size());
    for (std::size_t k = 0; k < chosen.size(); ++k) forms[k].used = 0;
    s.last_spelt.assign(chosen.size(), Scratch::LastSpelt());
    std::vector<std::uint32_t>& free_from = s.free_from;
    free_from.assign(spans ? chosen.size() : 0, 0);
    std::vector<FlatKeyphrases::Entry>& entries = out.entries();
    if (spans) {
        // A phrase has a span for each of its occurrences at most.
        std::size_t room = 0;
        for (const std::uint32_t p : chosen) room += c.phrases[p].count;
        std::size_t next = out.reserve_spans(room);
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            entries[k].spans_begin = next;
            next += c.phrases[chosen[k]].count;
        }
    }
    ByteSpan* const span_buffer = out.span_buffer();
    const std::vector<Word>& words = c.words.words;
    // Where occurrences are found again from the words, only the starts of chosen phrases are
    // walked. Kept ones are read straight through: a place found by phrase costs less than the
    // term of a word, which is another read of memory long out of cache.
    std::vector<bool>& first_terms = s.first_terms;
    if (!c.occurrences_kept) {
        first_terms.assign(c.terms.size(), false);
        for (const std::uint32_t p : chosen) first_terms[c.term_of(c.phrases[p].first_word)] = true;
    }
    // What an occurrence of a chosen phrase adds, apart from the test every occurrence passes
    // through, which is inlined into the walk.
    const auto add_occurrence = [&](const Occurrence& o, std::uint32_t place) {
        if (spans && o.start >= free_from[place]) {
            // Occurrences come in text order, so a greedy pass keeps them apart.
            const std::uint32_t end = o.start + c.phrases[o.phrase].size;
            FlatKeyphrases::Entry& entry = entries[place];
            span_buffer[entry.spans_begin + entry.spans_size++] = {words[o.start].begin(),
                                                                   words[end - 1].end()};
            free_from[place] = end;
        }
        Scratch::Forms& found = forms[place];
        const Word& first = words[o.start];
        const std::uint64_t begin = first.begin();
        const std::string_view written =
            c.text.substr(begin, words[o.start + c.phrases[o.phrase].size - 1].end() - begin);
        const unsigned context = (first.shows_case ? 1u : 0u) | (first.sentence_start ? 2u : 0u);
        Scratch::LastSpelt& last = s.last_spelt[place];
        if (found.used > 0 && last.context == context && last.written == written) {
            ++found.list[last.form].count;
            return;
        }
        bool telling = false;
        spelling(c, c.phrases[o.phrase], o.start, &telling, text);
        const auto used_end = found.list.begin() + found.used;
        auto it = std::find_if(found.list.begin(), used_end, [&](const Form& form) {
            return form.telling == telling && form.text == text;
        });
        if (it == used_end) {
            if (found.used == found.list.size()) found.list.push_back({std::string(), 0, false});
            it = found.list.begin() + found.used++;
            it->text.assign(text);  // in the room an earlier text left
            it->count = 1;
            it->telling = telling;
        } else {
            ++it->count;
        }
        last = {written, context, static_cast<std::uint32_t>(it - found.list.begin())};
    };
    for_each_occurrence(
        c,
        [&](const Occurrence& o) {
            const std::uint32_t place = places.find(o.phrase);
            if (place != ChosenPlaces::kFree) add_occurrence(o, place);
        },
        c.occurrences_kept ? nullptr : &first_terms);
    // Telling forms first, then the most frequent; the first seen wins a tie. The texts are
    // measured first, so that out's text grows once.
    std::vector<const std::string*>& best_texts = s.best_texts;
    best_texts.assign(chosen.size(), nullptr);
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        const Form* best = nullptr;
        const Scratch::Forms& found = forms[k];
        for (std::uint32_t f = 0; f < found.used; ++f) {
            const Form& form = found.list[f];
            if (best == nullptr || (form.telling && !best->telling) ||
                (form.telling == best->telling && form.count > best->count))
                best = &form;
        }
        if (best == nullptr) continue;
        best_texts[k] = &best->text;
        bytes += best->text.size();
    }
    std::string& phrases = out.text_buffer();
    phrases.reserve(phrases.size() + bytes);
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        entries[k].text_begin = phrases.size();
        if (best_texts[k] != nullptr) phrases.append(*best_texts[k]);
        entries[k].text_size = phrases.size() - entries[k].text_begin;
    }
}

void select_into(const Candidates& c, const std::vector<double>& scores,
                 const SelectionOptions& options, Scratch& s, FlatKeyphrases& out) {
    std::vector<std::uint32_t>& order = s.order;
    order.clear();
    for (std::uint32_t p = 0; p < c.phrases.size(); ++p)
        if (is_offered(c.phrases[p]) && (options.offered == nullptr || (*options.offered)[p]))
            order.push_back(p);
    // Two phrases never tie: the same first word and length is the same phrase.
    const auto ranks_before = [&](std::uint32_t a, std::uint32_t b) {
        if (scores[a] != scores[b]) return scores[a] > scores[b];
        const Phrase& pa = c.phrases[a];
        const Phrase& pb = c.phrases[b];
        if (pa.first_word != pb.first_word) return pa.first_word < pb.first_word;
        return pa.size < pb.size;
    };
    const std::size_t wanted = options.top_k == 0 ? order.size() : options.top_k;
    std::vector<std::uint32_t>& chosen = s.chosen;
    // NaN compares false: it keeps everything, as a threshold above 1 does.
    const bool filtered = !options.keep_near_duplicates && options.near_duplicate_threshold <= 1.0;
    if (!filtered) {
        // Only the phrases returned need their places.
        const std::size_t kept = std::min(wanted, order.size());
        std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kept),
                          order.end(), ranks_before);
        chosen.assign(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kept));
    } else {
        std::sort(order.begin(), order.end(), ranks_before);
        // Every phrase is offered, whatever top_k: a recurring phrase far down the order may
        // still replace phrases taken early, and a shorter list must be the start of a longer.
        NearDuplicateFilter filter(c, options.near_duplicate_threshold, order);
        for (std::uint32_t p : order) filter.offer(p);
        chosen = filter.kept(wanted);
    }

    out.clear();
    std::vector<FlatKeyphrases::Entry>& entries = out.entries();
    entries.resize(chosen.size());
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        const Phrase& p = c.phrases[chosen[k]];
        FlatKeyphrases::Entry& entry = entries[k];
        entry.score = scores[chosen[k]];
        entry.count = p.count;
        entry.first_position = p.first_word;
    }
    spellings(c, chosen, options.spans, out, s);
}

}  // namespace

void select_keyphrases(const Candidates& c, const std::vector<double>& scores,
                       const SelectionOptions& options, FlatKeyphrases& out) {
    Scratch& s = thread_scratch<Scratch>();
    select_into(c, scores, options, s, out);
    s.trim();
}

std::vector<SpannedKeyword> select_keyphrases(const Candidates& c,
                                              const std::vector<double>& scores,
                                              const SelectionOptions& options) {
    return records_of([&](FlatKeyphrases& out) { select_keyphrases(c, scores, options, out); });
}

}  // namespace kezo::keyphrase
