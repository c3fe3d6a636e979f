// Context word lists: articles, prepositions, auxiliaries and determiners per language.
#include "context_words.h"

namespace kezo::keyphrase {
namespace {

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

}  // namespace

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

}  // namespace kezo::keyphrase
