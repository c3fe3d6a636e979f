// Korean particles cut from the nouns they follow.
#include "korean_particles.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "kezo/stopwords.h"

namespace kezo::keyphrase {
namespace {

// What a particle makes of the noun before it: the genitive ("의", "과의") joins it to the noun
// after it; any other ends its phrase.
enum class Role : std::uint8_t { kNone, kEnds, kGenitive };

struct Particle {
    std::string_view text;
    Role role;
};

// Particles written after a noun, longest first so a compound is cut whole. The plural "들" is
// part of the noun and stays ("사람들이" is "사람들" and "이").
constexpr Role E = Role::kEnds, G = Role::kGenitive;
constexpr std::array<Particle, 41> kParticles = {{
    {"으로부터의", G}, {"으로부터", E}, {"로부터의", G}, {"으로서의", G}, {"에서는", E},
    {"에서의", G},     {"에서도", E},   {"에게는", E},   {"에게도", E},   {"에게서", E},
    {"으로는", E},     {"으로서", E},   {"으로써", E},   {"로부터", E},   {"에서", E},
    {"에게", E},       {"에는", E},     {"에도", E},     {"에의", G},     {"으로", E},
    {"로는", E},       {"로서", E},     {"로써", E},     {"부터", E},     {"까지", E},
    {"처럼", E},       {"보다", E},     {"과의", G},     {"와의", G},     {"이나", E},
    {"이", E},         {"가", E},       {"은", E},       {"는", E},       {"을", E},
    {"를", E},         {"의", G},       {"에", E},       {"와", E},       {"과", E},
    {"도", E},
}};

// Code points of s, valid UTF-8.
std::size_t code_points(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

struct Cut {
    std::string_view noun;
    Role role = Role::kNone;  // of the particle written last
};

// Whether a noun of two syllables or more may be cut from p without more evidence: the object
// and topic particles and the "and" after a vowel end almost no noun that long ("가을", "마을"
// and "기와" have one syllable before).
bool ends_few_nouns(std::string_view p) {
    return p == "은" || p == "는" || p == "을" || p == "를" || p == "와";
}

// Whether noun is a plural ("유권자들", "작품들"), after which any particle is one: "들" ends no
// noun of two syllables or more but as the plural ("나들이" has one before).
bool is_plural(std::string_view noun) {
    constexpr std::string_view kPlural = "들";
    return ends_after(noun, kPlural) &&
           code_points(noun.substr(0, noun.size() - kPlural.size())) >= 2;
}

// Whether a stopword before p is a word of its own ("것이", "그는"; not "수도", the capital).
bool follows_stopwords(std::string_view p) {
    return p == "이" || p == "가" || ends_few_nouns(p);
}

// The noun of form with its particles cut. A particle of one syllable is cut only where the
// noun is attested without it (nouns end in such syllables: "국가", "고양이", "민주주의"); a
// longer one, which no noun ends in, wherever it follows a syllable or more.
Cut noun_of(std::string_view form, const std::unordered_map<std::string_view, std::uint32_t>& forms,
            bool noun_and) {
    std::string other;
    const auto attested = [&](std::string_view noun, std::string_view cut) {
        if (forms.count(noun) != 0) return true;
        if (code_points(noun) < 2) return false;
        for (const Particle& particle : kParticles) {
            if (particle.text == cut) continue;
            other.assign(noun);
            other += particle.text;
            if (forms.count(other) != 0) return true;
        }
        return false;
    };
    Cut cut{form};
    for (bool again = true; again;) {
        again = false;
        for (const Particle& particle : kParticles) {
            const std::string_view p = particle.text;
            if (!ends_after(cut.noun, p)) continue;
            const std::string_view noun = cut.noun.substr(0, cut.noun.size() - p.size());
            const std::size_t syllables = code_points(noun);
            // The tagger read "과" or "와" as the particle "and" here.
            const bool read_as_and =
                noun_and && cut.role == Role::kNone && (p == "과" || p == "와");
            if (code_points(p) == 1 && !read_as_and && !attested(noun, p) &&
                !(ends_few_nouns(p) && syllables >= 2) && !is_plural(noun) &&
                !(follows_stopwords(p) && stopwords::is_stop(Language::Korean, noun)))
                continue;
            if (cut.role == Role::kNone) cut.role = particle.role;
            cut.noun = noun;
            again = true;
            break;
        }
    }
    return cut;
}

}  // namespace

void split_korean_particles(std::string_view text, Words& words) {
    if (words.nominal.empty()) return;
    std::unordered_map<std::string_view, std::uint32_t> index_of;  // the text's forms
    for (std::uint32_t f = 0; f < words.forms.size(); ++f) index_of.emplace(words.forms[f], f);
    const auto old_forms = static_cast<std::uint32_t>(words.forms.size());
    // Per form of a nominal word, its noun's form and the role of its last particle.
    struct Noun {
        std::uint32_t form = UINT32_MAX;  // UINT32_MAX until asked
        Role role = Role::kNone;
        bool stop = false;  // the noun is a stopword
    };
    std::vector<Noun> noun_of_form(old_forms);
    std::vector<std::string> added;  // nouns the text never writes alone, form old_forms + k
    std::unordered_map<std::string, std::uint32_t> added_index;
    std::vector<Word>& w = words.words;
    std::vector<char> ends(w.size(), 0);  // a particle after word i ends its phrase
    bool changed = false;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const char flag = words.nominal[i];
        if (w[i].stop || flag == kNotNominal || flag == kNoCandidate) continue;
        const std::string_view form = words.forms[w[i].form];
        // Only where the word is written as its form: no invisible character inside it.
        if (w[i].bytes != form.size() || text.substr(w[i].begin(), w[i].bytes) != form) continue;
        Noun& noun = noun_of_form[w[i].form];
        if (noun.form == UINT32_MAX) {
            const Cut cut = noun_of(form, index_of, flag == kNounAnd);
            noun.role = cut.role;
            noun.stop = cut.role != Role::kNone && stopwords::is_stop(Language::Korean, cut.noun);
            if (cut.role == Role::kNone) {
                noun.form = w[i].form;
            } else if (const auto known = index_of.find(cut.noun); known != index_of.end()) {
                noun.form = known->second;
            } else {
                const auto made = static_cast<std::uint32_t>(old_forms + added.size());
                const auto [at, fresh] = added_index.emplace(std::string(cut.noun), made);
                if (fresh) added.push_back(at->first);
                noun.form = at->second;
            }
        }
        if (noun.role == Role::kNone) {
            // A word that may end in the genitive ("의") leads the word after it, as one does.
            if ((flag == kNominal || flag == kName) && ends_after(form, "의") && i + 1 < w.size() &&
                w[i + 1].segment == w[i].segment && !w[i + 1].stop) {
                words.nominal[i] = kGenitive;
            }
            continue;
        }
        changed = true;
        w[i].form = noun.form;
        if (noun.stop) {  // "것이": a function word with its particle
            w[i].stop = 1;
            ends[i] = 1;
            continue;
        }
        if (noun.role == Role::kGenitive) {
            // Counted as its noun, written with its particle: it leads the noun after it
            // ("신앙의 자유") and is no phrase by itself.
            words.nominal[i] = kGenitive;
            continue;
        }
        const std::size_t noun_bytes = noun.form < old_forms ? words.forms[noun.form].size()
                                                             : added[noun.form - old_forms].size();
        w[i].bytes = static_cast<std::uint32_t>(noun_bytes);
        if (flag == kNounAnd) words.nominal[i] = kNominal;  // its "and" is cut
        ends[i] = 1;
    }
    if (!changed) return;
    for (const std::string& noun : added) words.forms.push_back(noun);
    words.scanned_by = 0;  // the shortened words' forms were not scanned
    // A segment ends after each word whose particle ends its phrase: every later word's segment
    // number grows by one more, unless a segment starts there anyway.
    std::uint32_t shift = 0;
    std::uint32_t before = w.empty() ? 0 : w[0].segment;
    for (std::size_t i = 1; i < w.size(); ++i) {
        const std::uint32_t segment = w[i].segment;
        if (ends[i - 1] && segment == before) ++shift;
        before = segment;
        w[i].segment = (segment + shift) & 7u;
    }
}

}  // namespace kezo::keyphrase
