// Candidate phrase features.
#include "phrase_features.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "kezo/unicode.h"

namespace kezo::keyphrase {

const char* const kFeatureNames[kFeatureCount] = {
    "bias",
    "length",
    "one_word",
    "three_words",
    "four_words",
    "one_word_by_l",
    "three_words_by_l",
    "four_words_by_l",
    "connector",
    "word_chars",
    "word_chars_by_l",
    "log_count",
    "log_count_by_l",
    "once",
    "one_word_by_log_count",
    "log_first",
    "log_first_by_l",
    "first_share",
    "in_title",
    "in_title_by_l",
    "maximal",
    "maximal_by_l",
    "recurring_unit",
    "capitalised",
    "capitalised_by_l",
    "one_word_by_capitalised",
    "all_caps",
    "after_opener",
    "before_auxiliary",
    "before_determiner",
    "last_ing",
    "last_ed",
    "first_ed",
    "adverb",
};

namespace {

// Function words that tell what kind of word stands next to a phrase. An opener (article,
// possessive, preposition) announces a noun phrase; an auxiliary after the phrase makes it a
// subject; a determiner after it means its last word was a verb ("algorithm computes the").
struct WordList {
    const std::string_view* words;
    std::size_t size;

    template <std::size_t N>
    constexpr WordList(const std::string_view (&list)[N]) : words(list), size(N) {}
    constexpr WordList() : words(nullptr), size(0) {}

    bool contains(std::string_view word) const {
        return std::find(words, words + size, word) != words + size;
    }
};

struct ContextWords {
    WordList openers, auxiliaries, determiners;
};

constexpr std::string_view kEnglishOpeners[] = {
    "the", "a",    "an", "this", "that", "these", "those", "its", "their", "our",  "his",    "her",
    "my",  "your", "of", "for",  "in",   "on",    "with",  "by",  "from",  "into", "between"};
constexpr std::string_view kEnglishAuxiliaries[] = {"is",     "are",   "was",   "were", "has",
                                                    "have",   "had",   "can",   "will", "may",
                                                    "should", "would", "could", "must"};
constexpr std::string_view kEnglishDeterminers[] = {"the",   "a",   "an",    "this", "these",
                                                    "those", "its", "their", "our"};
constexpr std::string_view kFrenchOpeners[] = {
    "le",   "la",   "les", "l'", "un",  "une",   "des", "du",  "de", "d'",  "au",   "aux",  "sur",
    "pour", "dans", "par", "ce", "cet", "cette", "ces", "son", "sa", "ses", "leur", "leurs"};
constexpr std::string_view kFrenchAuxiliaries[] = {"est", "sont", "était",  "étaient", "a",
                                                   "ont", "sera", "seront", "peut",    "peuvent"};
constexpr std::string_view kFrenchDeterminers[] = {"le",  "la", "les",   "l'", "un",
                                                   "une", "ce", "cette", "ces"};
constexpr std::string_view kPortugueseOpeners[] = {
    "o",    "a",   "os",  "as",    "um",   "uma",  "do",   "da",   "dos", "das",
    "no",   "na",  "nos", "nas",   "ao",   "aos",  "pelo", "pela", "de",  "em",
    "para", "por", "com", "sobre", "este", "esta", "esse", "essa", "seu", "sua"};
constexpr std::string_view kPortugueseAuxiliaries[] = {
    "é", "são", "foi", "foram", "era", "tem", "têm", "está", "estão", "pode", "podem"};
constexpr std::string_view kPortugueseDeterminers[] = {"o",   "a",    "os",   "as",   "um",
                                                       "uma", "este", "esta", "esse", "essa"};
constexpr std::string_view kSpanishOpeners[] = {"el",  "la",    "los",  "las",  "un",   "una",
                                                "del", "al",    "de",   "en",   "para", "por",
                                                "con", "sobre", "este", "esta", "su",   "sus"};
constexpr std::string_view kSpanishAuxiliaries[] = {"es",  "son",  "fue",   "fueron", "era",   "ha",
                                                    "han", "está", "están", "puede",  "pueden"};
constexpr std::string_view kSpanishDeterminers[] = {"el", "la",  "los",  "las",
                                                    "un", "una", "este", "esta"};
constexpr std::string_view kItalianOpeners[] = {
    "il",  "lo",    "la",    "i",  "gli",  "le", "l'", "un",  "una", "del", "della",
    "dei", "degli", "delle", "al", "alla", "di", "in", "per", "con", "su"};
constexpr std::string_view kItalianAuxiliaries[] = {"è",  "sono",  "era", "erano",
                                                    "ha", "hanno", "può", "possono"};
constexpr std::string_view kItalianDeterminers[] = {"il", "lo", "la", "gli",
                                                    "le", "l'", "un", "una"};
constexpr std::string_view kGermanOpeners[] = {
    "der",   "die", "das", "den", "dem", "des", "ein", "eine", "einen", "einem",
    "einer", "im",  "vom", "zum", "zur", "mit", "für", "von",  "auf"};
constexpr std::string_view kGermanAuxiliaries[] = {"ist",   "sind", "war",    "waren", "hat",
                                                   "haben", "wird", "werden", "kann",  "können"};
constexpr std::string_view kGermanDeterminers[] = {"der", "die", "das", "den",
                                                   "dem", "ein", "eine"};
constexpr std::string_view kDutchOpeners[] = {"de", "het", "een", "van", "in", "op", "voor", "met"};
constexpr std::string_view kDutchAuxiliaries[] = {"is",     "zijn",  "was",    "waren", "heeft",
                                                  "hebben", "wordt", "worden", "kan"};
constexpr std::string_view kDutchDeterminers[] = {"de", "het", "een"};

const ContextWords kEnglish = {kEnglishOpeners, kEnglishAuxiliaries, kEnglishDeterminers};
const ContextWords kFrench = {kFrenchOpeners, kFrenchAuxiliaries, kFrenchDeterminers};
const ContextWords kPortuguese = {kPortugueseOpeners, kPortugueseAuxiliaries,
                                  kPortugueseDeterminers};
const ContextWords kSpanish = {kSpanishOpeners, kSpanishAuxiliaries, kSpanishDeterminers};
const ContextWords kItalian = {kItalianOpeners, kItalianAuxiliaries, kItalianDeterminers};
const ContextWords kGerman = {kGermanOpeners, kGermanAuxiliaries, kGermanDeterminers};
const ContextWords kDutch = {kDutchOpeners, kDutchAuxiliaries, kDutchDeterminers};
const ContextWords kNone = {};

const ContextWords& context_words(Language lang) {
    switch (lang) {
        case Language::Auto:
        case Language::English:
            return kEnglish;
        case Language::French:
            return kFrench;
        case Language::Portuguese:
            return kPortuguese;
        case Language::Spanish:
            return kSpanish;
        case Language::Italian:
            return kItalian;
        case Language::German:
            return kGerman;
        case Language::Dutch:
            return kDutch;
        default:
            return kNone;
    }
}

bool ends_with(std::string_view word, std::string_view suffix) {
    return word.size() > suffix.size() + 2 &&
           word.compare(word.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::size_t code_points(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char b : text) count += (b & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

bool is_adverb(Language lang, std::string_view word) {
    switch (lang) {
        case Language::Auto:
        case Language::English:
            return ends_with(word, "ly");
        case Language::French:
            return ends_with(word, "ment");
        case Language::Portuguese:
        case Language::Spanish:
        case Language::Italian:
            return ends_with(word, "mente");
        default:
            return false;
    }
}

}  // namespace

std::vector<FeatureRow> phrase_features(const Candidates& c, Language lang) {
    const std::vector<Word>& words = c.words;
    const std::size_t n = words.size();
    const auto content = [&](std::size_t i) {
        const std::uint32_t t = c.word_term[i];
        return t != kNoTerm && !c.terms[t].connector;
    };

    // Per phrase: occurrences that are maximal runs, and the neighbours seen.
    struct Counts {
        double maximal = 0, opener = 0, auxiliary = 0, determiner = 0;
    };
    std::vector<Counts> counts(c.phrases.size());
    const ContextWords& context = context_words(lang);
    for (const Occurrence& o : c.occurrences) {
        const std::size_t start = o.start;
        const std::size_t end = start + c.phrases[o.phrase].terms.size();
        const std::uint32_t segment = words[start].segment;
        const bool left_inside = start > 0 && words[start - 1].segment == segment;
        const bool right_inside = end < n && words[end].segment == segment;
        Counts& k = counts[o.phrase];
        if ((!left_inside || !content(start - 1)) && (!right_inside || !content(end)))
            k.maximal += 1;
        if (left_inside && context.openers.contains(words[start - 1].lower)) k.opener += 1;
        if (right_inside) {
            if (context.auxiliaries.contains(words[end].lower)) k.auxiliary += 1;
            if (context.determiners.contains(words[end].lower)) k.determiner += 1;
        }
    }

    // The commonest phrase that extends each phrase by one word at either end.
    std::vector<double> extension(c.phrases.size(), 0.0);
    for (const Phrase& q : c.phrases) {
        const std::size_t size = q.terms.size();
        if (size < 2) continue;
        for (const std::size_t from : {std::size_t{0}, std::size_t{1}}) {
            const auto found = c.phrase_index.find(phrase_key(q.terms.data() + from, size - 1));
            if (found != c.phrase_index.end())
                extension[found->second] = std::max<double>(extension[found->second], q.count);
        }
    }

    const double content_words = std::max<double>(c.content_words, 1.0);
    const double length = std::log(std::clamp(content_words, 10.0, 5000.0));
    const bool english = lang == Language::English || lang == Language::Auto;
    std::vector<FeatureRow> rows(c.phrases.size());
    for (std::size_t p = 0; p < c.phrases.size(); ++p) {
        const Phrase& phrase = c.phrases[p];
        FeatureRow& f = rows[p];
        f.fill(0.0);
        const double count = phrase.count;
        const double size = phrase.content_words;
        bool capitalised = false, all_caps = false, adverb = false;
        double chars = 0.0;
        for (std::size_t k = 0; k < phrase.terms.size(); ++k) {
            const Word& w = words[phrase.first_word + k];
            if (c.terms[phrase.terms[k]].connector) continue;
            chars += static_cast<double>(code_points(w.lower));
            capitalised = capitalised || (w.capitalised && w.shows_case);
            all_caps = all_caps || w.all_caps;
            adverb = adverb || is_adverb(lang, w.lower);
        }
        const std::string& first = words[phrase.first_word].lower;
        const std::string& last = words[phrase.first_word + phrase.terms.size() - 1].lower;
        const double log_count = std::log(count);
        const double log_first = std::log(1.0 + phrase.first_content);
        const double word_chars = std::log(std::max(chars / size, 1.0));
        const double in_title = words[phrase.first_word].sentence == 0 ? 1.0 : 0.0;
        const double maximal = counts[p].maximal / count;

        f[kBias] = 1.0;
        f[kLength] = length;
        f[kOneWord] = size == 1 ? 1.0 : 0.0;
        f[kThreeWords] = size == 3 ? 1.0 : 0.0;
        f[kFourWords] = size >= 4 ? 1.0 : 0.0;
        f[kOneWordByL] = f[kOneWord] * length;
        f[kThreeWordsByL] = f[kThreeWords] * length;
        f[kFourWordsByL] = f[kFourWords] * length;
        f[kConnector] = phrase.terms.size() > phrase.content_words ? 1.0 : 0.0;
        f[kWordChars] = word_chars;
        f[kWordCharsByL] = word_chars * length;
        f[kLogCount] = log_count;
        f[kLogCountByL] = log_count * length;
        f[kOnce] = count == 1 ? 1.0 : 0.0;
        f[kOneWordByLogCount] = f[kOneWord] * log_count;
        f[kLogFirst] = log_first;
        f[kLogFirstByL] = log_first * length;
        f[kFirstShare] = phrase.first_content / content_words;
        f[kInTitle] = in_title;
        f[kInTitleByL] = in_title * length;
        f[kMaximal] = maximal;
        f[kMaximalByL] = maximal * length;
        f[kRecurringUnit] = std::log(count / std::max(extension[p], 1.0));
        f[kCapitalised] = capitalised ? 1.0 : 0.0;
        f[kCapitalisedByL] = f[kCapitalised] * length;
        f[kOneWordByCapitalised] = f[kOneWord] * f[kCapitalised];
        f[kAllCaps] = all_caps ? 1.0 : 0.0;
        f[kAfterOpener] = counts[p].opener / count;
        f[kBeforeAuxiliary] = counts[p].auxiliary / count;
        f[kBeforeDeterminer] = counts[p].determiner / count;
        f[kLastIng] = english && ends_with(last, "ing") ? 1.0 : 0.0;
        f[kLastEd] = english && ends_with(last, "ed") ? 1.0 : 0.0;
        f[kFirstEd] = english && ends_with(first, "ed") ? 1.0 : 0.0;
        f[kAdverb] = adverb ? 1.0 : 0.0;
    }
    return rows;
}

}  // namespace kezo::keyphrase
