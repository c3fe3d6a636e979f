#include "noun_phrases.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "candidates.h"
#include "english_verbs.h"
#include "kezo/tagger.h"

namespace kezo::keyphrase {
namespace {

// The model of lang, or null. A model once loaded stays for the rest of the process (load_tagger
// keeps it), so it is remembered here and later calls cost one atomic load; without one, the
// directory is asked again each time (a model may arrive with a directory set later).
const Tagger* tagger_of(Language lang) {
    static std::array<std::atomic<const Tagger*>, kLanguageCount + 1> known{};
    const auto index = static_cast<std::size_t>(lang);
    if (index == 0 || index > kLanguageCount) return nullptr;
    if (const Tagger* tagger = known[index].load(std::memory_order_acquire)) return tagger;
    if (tagger_directory().empty() || !has_tagger(lang)) return nullptr;
    try {
        const Tagger* tagger = load_tagger(lang).get();
        known[index].store(tagger, std::memory_order_release);
        return tagger;
    } catch (const TaggerModelError&) {
        return nullptr;  // a damaged model costs the filter, never the extraction
    }
}

bool is_nominal(Upos tag) {
    // X holds foreign words and codes, which names take in ("Empress of Ireland").
    return tag == Upos::NOUN || tag == Upos::PROPN || tag == Upos::ADJ || tag == Upos::NUM ||
           tag == Upos::X;
}

// Adverbs, pronouns, determiners, adpositions, conjunctions, particles, interjections and
// auxiliaries: the function words a stopword list may lack.
bool is_function(Upos tag) {
    return tag == Upos::ADV || tag == Upos::DET || tag == Upos::PRON || tag == Upos::ADP ||
           tag == Upos::CCONJ || tag == Upos::SCONJ || tag == Upos::PART || tag == Upos::INTJ ||
           tag == Upos::AUX;
}

// Articles and the particles of family names, which names hold with a capital in many languages
// ("The Hague", "Le Monde", "El País", "Die Zeit", "Van Gogh", "De Gaulle", "Da Silva"), and the
// Portuguese "São" of saints' names, a verb ("are") in lower case. Sorted by byte.
bool is_name_particle(std::string_view lower) {
    static constexpr std::array<std::string_view, 31> kParticles = {
        "al",  "da", "das", "de",         "del", "della", "dem", "den", "der", "des", "di",
        "die", "do", "dos", "du",         "el",  "gli",   "het", "il",  "la",  "las", "le",
        "les", "lo", "los", "s\xC3\xA3o", "ten", "ter",   "the", "van", "von"};
    return std::binary_search(kParticles.begin(), kParticles.end(), lower);
}

// Whether a Korean word ends in "과" or "와" ("and"), which the treebank tags as a conjunction
// where the word is a noun with that particle ("존엄성과": dignity and).
bool is_korean_and(std::string_view form) {
    return ends_after(form, "과") || ends_after(form, "와");
}

// Whether lower is a French or Portuguese verb joined by hyphens to the pronoun after it
// ("explique-t-il", "faut-il", "dis-moi", "celle-ci"; "trata-se", "valorizou-se", "fazê-lo"): a
// predicate or a pronoun, never a name, though its hyphen would keep it as a term. "Nous" and
// "vous" are left out: "rendez-vous" is a noun.
bool is_verb_with_pronoun(Language lang, std::string_view lower) {
    static constexpr std::array<std::string_view, 18> kFrench = {
        "ce", "ci", "elle", "elles", "en",  "il",  "ils", "je",  "la",
        "là", "le", "les",  "leur",  "lui", "moi", "on",  "toi", "y"};
    static constexpr std::array<std::string_view, 18> kPortuguese = {
        "a",  "as",  "la", "las", "lhe", "lhes", "lo", "los", "me",
        "na", "nas", "no", "nos", "o",   "os",   "se", "te",  "vos"};
    const std::size_t hyphen = lower.rfind('-');
    if (hyphen == std::string_view::npos || hyphen == 0) return false;
    const std::string_view pronoun = lower.substr(hyphen + 1);
    const auto listed = [&](const auto& list) {
        return std::find(list.begin(), list.end(), pronoun) != list.end();
    };
    return (lang == Language::French && listed(kFrench)) ||
           (lang == Language::Portuguese && listed(kPortuguese));
}

// Past participles English writes after a noun to make one adjective of the two, hyphenated or
// not ("knowledge based", "computer aided", "user defined").
bool is_compound_participle(std::string_view form) {
    static constexpr std::array<std::string_view, 22> kCompound = {
        "aided",     "assisted", "based",   "centered", "centred",  "controlled",
        "coupled",   "defined",  "driven",  "enabled",  "focused",  "funded",
        "generated", "guided",   "induced", "mediated", "oriented", "owned",
        "powered",   "related",  "shaped",  "weighted"};
    return std::find(kCompound.begin(), kCompound.end(), form) != kCompound.end();
}

// An English participle or gerund before a noun modifies it as an adjective does ("distributed
// systems", "reading comprehension"), though the tagger reads it as a verb. Right after a noun or
// pronoun, a past participle is that word's verb ("the company announced new products", "the
// bank raised interest rates") unless the two make one adjective before a noun that follows
// directly, in the same segment ("knowledge based systems"). A gerund after a noun is mostly part
// of a name ("machine learning", "data mining"), but before an adjective or a number it is that
// noun's verb too ("cats living more than 25 years").
bool is_modifying_participle(Language lang, std::string_view form, bool after_noun,
                             bool next_adjacent, Upos next) {
    if (lang != Language::English && lang != Language::Auto) return false;
    const auto ends = [&](std::string_view end) {
        return form.size() > end.size() + 2 &&
               form.compare(form.size() - end.size(), end.size(), end) == 0;
    };
    const bool gerund = ends("ing");
    if (!gerund && !ends("ed")) return false;
    const bool noun_next = next == Upos::NOUN || next == Upos::PROPN;
    if (after_noun && !gerund) return next_adjacent && noun_next && is_compound_participle(form);
    if (after_noun) return noun_next || next == Upos::VERB || next == Upos::X;
    return is_nominal(next) || next == Upos::VERB;
}

// Whether a lower-cased English noun looks plural: -s, but not -ss, -us or -is ("class",
// "status", "analysis").
bool looks_plural(std::string_view lower) {
    const std::size_t n = lower.size();
    return n > 3 && lower[n - 1] == 's' && lower[n - 2] != 's' && lower[n - 2] != 'u' &&
           lower[n - 2] != 'i';
}

// The English model reads a verb right after its subject as a noun of a compound where its
// training text had few such sentences ("the approach detects faults", "the Federal Reserve
// raises rates"). A word it reads as a noun or an adjective right after a noun or a name, in
// the same segment, is read as a verb when it agrees with that word as a verb would: the
// third-person form of a listed verb after a singular noun or a name, or the base form of one
// after a plural noun (english_verbs.h). tags are those of words [first, end), changed in place.
void read_agreeing_verbs(const Words& words, std::size_t first, std::size_t end,
                         std::vector<Upos>& tags) {
    const std::vector<Word>& w = words.words;
    for (std::size_t k = 1; first + k < end; ++k) {
        if ((tags[k] != Upos::NOUN && tags[k] != Upos::ADJ) ||
            (tags[k - 1] != Upos::NOUN && tags[k - 1] != Upos::PROPN) ||
            w[first + k].segment != w[first + k - 1].segment)
            continue;
        const std::string_view subject = words.lower(w[first + k - 1]);
        const bool singular = tags[k - 1] == Upos::PROPN || !looks_plural(subject);
        if (is_listed_verb(words.lower(w[first + k]), singular)) tags[k] = Upos::VERB;
    }
}

// How the tagger read the occurrences of one form: each count +1 for an occurrence read so, -1
// for each other.
struct FormVotes {
    std::int32_t nominal = 0;      // a word of a noun phrase
    std::int32_t adjective = 0;    // of the nominal occurrences, an adjective: in English a form
                                   // mostly read so ends no phrase, which ends in its noun
    std::int32_t function = 0;     // a function word
    std::int32_t name = 0;         // a proper noun
    std::int32_t noun_and = 0;     // of the nominal occurrences, a Korean noun with "and"
    bool written_as_name = false;  // somewhere capitalised where case tells, or in capitals
    bool written_lower = false;    // somewhere in lower case
};

}  // namespace

std::vector<char> noun_phrase_words(std::string_view text, const Words& words, Language lang) {
    std::vector<char> nominal;
    if (lang == Language::Chinese || lang == Language::Japanese) return nominal;
    const Tagger* tagger = tagger_of(lang);
    if (tagger == nullptr) return nominal;
    constexpr std::size_t kMaxRun = 256;
    const std::vector<Word>& w = words.words;
    const bool english = lang == Language::English || lang == Language::Auto;
    // A Korean verb or adjective is one word with its endings ("가진다", "것이다", "없는"): a
    // predicate, never a name of what a text is about, so it counts as a function word there.
    const bool verbs_are_function = lang == Language::Korean;
    // German writes every noun with a capital: at a sentence start too, so there the capital is
    // kept as a name's is.
    const bool nouns_capitalised = lang == Language::German;
    std::vector<FormVotes> votes(words.forms.size());
    std::vector<std::string_view> run;
    std::vector<Upos> tags;
    std::size_t first = 0;
    for (std::size_t i = 0; i <= w.size(); ++i) {
        if (i < w.size() && (i == first || (!w[i].sentence_start && i - first < kMaxRun))) continue;
        run.clear();
        for (std::size_t k = first; k < i; ++k)
            run.push_back(text.substr(w[k].begin(), w[k].bytes));
        // The scan keeps no punctuation, but the tagger learnt sentences that end in a mark: a
        // last word reads as a verb or a noun by it.
        run.push_back(".");
        tagger->tag(run, &tags);
        if (english) read_agreeing_verbs(words, first, i, tags);
        for (std::size_t k = 0; k + 1 < tags.size(); ++k) {
            const Word& word = w[first + k];
            const bool after_noun =
                k > 0 && (tags[k - 1] == Upos::NOUN || tags[k - 1] == Upos::PROPN ||
                          tags[k - 1] == Upos::PRON);
            // A number or mark between two words is no word of the scan, but ends the segment.
            const bool next_adjacent =
                first + k + 1 < i && w[first + k + 1].segment == word.segment;
            const bool noun_and =
                verbs_are_function && tags[k] == Upos::CCONJ && is_korean_and(words.lower(word));
            const bool yes =
                (is_nominal(tags[k]) && !(verbs_are_function && tags[k] == Upos::ADJ)) ||
                noun_and ||
                (tags[k] == Upos::VERB &&
                 is_modifying_participle(lang, words.lower(word), after_noun, next_adjacent,
                                         tags[k + 1]));
            FormVotes& v = votes[word.form];
            v.nominal += yes ? 1 : -1;
            if (yes) v.adjective += tags[k] == Upos::ADJ ? 1 : -1;
            if (yes) v.noun_and += noun_and ? 1 : -1;
            const bool function =
                !yes && (is_function(tags[k]) ||
                         (verbs_are_function && (tags[k] == Upos::VERB || tags[k] == Upos::ADJ)));
            v.function += function ? 1 : -1;
            v.name +=
                tags[k] == Upos::PROPN || (nouns_capitalised && tags[k] == Upos::NOUN) ? 1 : -1;
            v.written_as_name = v.written_as_name || (word.capitalised && word.shows_case) ||
                                word.all_caps || word.inner_capital;
            v.written_lower = v.written_lower || !word.capitalised;
        }
        first = i;
    }
    // Decided per form, by most of its occurrences: a tagger that misreads one sentence does not
    // split a name the rest of the text uses whole.
    std::vector<char> of_form(votes.size());
    for (std::size_t f = 0; f < votes.size(); ++f) {
        const FormVotes& v = votes[f];
        // The tagger is least sure of a word written as a name or a term, so such a word is
        // never taken for a function word; nor is a word written in lower case for a name.
        const std::string_view form = words.forms[f];
        of_form[f] =
            (v.function > 0 && !v.written_as_name && form.find('-') == std::string_view::npos) ||
                    is_verb_with_pronoun(lang, form)
                ? kNoCandidate
            : v.nominal < 0                  ? kNotNominal
            : english && v.adjective > 0     ? kLeadingNominal
            : v.noun_and > 0                 ? kNounAnd
            : v.name > 0 && !v.written_lower ? kName
                                             : kNominal;
    }
    nominal.resize(w.size());
    for (std::size_t i = 0; i < w.size(); ++i) nominal[i] = of_form[w[i].form];
    return nominal;
}

namespace {

// A stopword the scan lifts where its capital tells a name ("New" of "New York") stops at a
// sentence start, where a capital tells nothing. Where the text lifts the same form before the
// same word elsewhere, the sentence start is that name too: "New York" starting a sentence of a
// text that names New York.
void lift_names_at_sentence_starts(Words& words) {
    std::vector<Word>& w = words.words;
    // (form, next form) of every word lifted so, as one 64-bit key.
    std::vector<std::uint64_t> lifted;
    const auto pair = [&](std::size_t i) { return std::uint64_t{w[i].form} << 32 | w[i + 1].form; };
    for (std::size_t i = 0; i + 1 < w.size(); ++i)
        if (!w[i].stop && w[i].capitalised && w[i].shows_case && words.nominal[i] != kNameArticle &&
            w[i + 1].segment == w[i].segment && !w[i + 1].stop)
            lifted.push_back(pair(i));
    if (lifted.empty()) return;
    std::sort(lifted.begin(), lifted.end());
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
        Word& word = w[i];
        if (!word.stop || !word.sentence_start || !word.capitalised || word.all_caps ||
            w[i + 1].segment != word.segment || w[i + 1].stop || !w[i + 1].capitalised)
            continue;
        if (std::binary_search(lifted.begin(), lifted.end(), pair(i))) word.stop = 0;
    }
}

}  // namespace

void join_names(Words& words, Language lang) {
    if (words.nominal.empty()) return;
    std::vector<Word>& w = words.words;
    for (std::size_t i = 1; i + 1 < w.size(); ++i) {
        Word& word = w[i];
        const Word& next = w[i + 1];
        if (!word.stop || !word.capitalised || word.all_caps || !word.shows_case ||
            word.line_start || w[i - 1].segment != word.segment)
            continue;
        if (next.stop || !next.capitalised || !next.has_letter || next.segment != word.segment ||
            !is_name_particle(words.lower(word)))
            continue;
        // The name is the one word after it: a longer one ("The Wall Street Journal", "The
        // University of Waikato") is known by its words without the article.
        if (i + 2 < w.size() && w[i + 2].segment == word.segment &&
            (w[i + 2].capitalised || is_connector(lang, words.lower(i + 2))))
            continue;
        word.stop = 0;
        words.nominal[i] = kNameArticle;
    }
    lift_names_at_sentence_starts(words);
}

}  // namespace kezo::keyphrase
