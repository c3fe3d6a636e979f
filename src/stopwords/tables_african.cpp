// Built-in stopword lists: Twi, Ga, Ewe, Hausa and Fante.
// Entries keep their canonical order, duplicates and multi-word entries included; the bounds
// declared in builtin_tables.h and the checks after each list turn a wrong entry count into a
// compile error.
#include "builtin_tables.h"

namespace kezo::stopwords::detail {

// Twi: 235 entries.
constexpr const char* kTwiWords[] = {
    "a",         "aa",     "anaa",       "anaa",       "anaasɛ",   "anka",      "ansa",
    "anti",      "enti",   "ɛnti",       "na",         "ne",       "no",        "nni",
    "nnipa",     "nso",    "nko",        "nkutoo",     "ara",      "koraa",     "sɛ",
    "sɛe",       "sɛnea",  "sɛdeɛ",      "sɛde",       "saa",      "saa ara",   "saa na",
    "wɔ",        "wo",     "me",         "yɛn",        "mo",       "wɔn",       "ɔn",
    "ɔno",       "yɛ",     "yɛn",        "yɛmo",       "de",       "ma",        "faa",
    "fa",        "gye",    "gyee",       "hyɛ",        "toa",      "to",        "di",
    "yɛe",       "ho",     "mu",         "so",         "ase",      "anim",      "akyi",
    "ntam",      "nkyɛn",  "mfinimfini", "yi",         "wei",      "eyi",       "eyiye",
    "eyi mu",    "ha",     "hɔ",         "he",         "ehe",      "baabi",     "bi",
    "biribi",    "obi",    "obiara",     "obiara nso", "hwee",     "biribiara", "dɛn",
    "deɛn",      "den",    "hen",        "hefo",       "hena",     "hwan",      "hwɛn",
    "berɛ",      "bere",   "dabɛn",      "da",         "nnɛ",      "anɔpa",     "anwummere",
    "anadwo",    "ɛnnɛ",   "ɔkyena",     "nkyirimma",  "daa",      "berebi",    "ba",
    "bra",       "braa",   "kɔ",         "kɔɔ",        "bɛ",       "bɛyɛ",      "re",
    "rebɛ",      "rekɔ",   "aba",        "akɔ",        "afi",      "firi",      "fi",
    "sane",      "san",    "toa",        "gyae",       "ka",       "kaa",       "kasa",
    "bisa",      "buaa",   "hunuu",      "hu",         "tee",      "tie",       "boa",
    "ma",        "maa",    "fa",         "faa",        "som",      "yɛ",        "yɛɛ",
    "pa",        "bɔne",   "ketewa",     "kɛse",       "tenten",   "tia",       "dodow",
    "pi",        "awiei",  "ahyɛase",    "ahyɛaseɛ",   "awiee",    "akyire",    "anim",
    "ɛne",       "ene",    "ɛnnɛ",       "ɛberɛ",      "berɛ",     "bere",      "saa bere no",
    "nti",       "ntia",   "esiane",     "efisɛ",      "ɛfiri sɛ", "fisɛ",      "sɛnti",
    "anaasɛ",    "anaa",   "nea",        "deɛ",        "a",        "ɔ",         "ɛ",
    "ye",        "ya",     "nom",        "fo",         "mu",       "so",        "ho",
    "ara",       "kwa",    "pɛ",         "nkutoo",     "biako",    "mmienu",    "mmiɛnsa",
    "anan",      "anum",   "nsia",       "nson",       "nwɔtwe",   "nkron",     "du",
    "yiye",      "kakra",  "bebree",     "dodow",      "paa",      "koraa",     "saa",
    "wei",       "ɛyi",    "eyi",        "no",         "yi",       "ha",        "hɔ",
    "mu",        "so",     "me",         "wo",         "yɛn",      "mo",        "wɔn",
    "ɔno",       "ɔ",      "ma",         "woho",       "meho",     "yɛ",        "wɔ",
    "da",        "te",     "tra",        "gyina",      "sɔre",     "tena",      "nante",
    "mprempren", "seesei", "afei",       "afe",        "bosome",   "nnawɔtwe",  "dakye",
    "nnora",     "nnansa", "daakye",     "bere biara",
};
static_assert(kTwiWords[234] != nullptr, "Twi: fewer entries than declared");

// Ga: 37 entries.
constexpr const char* kGaWords[] = {
    "a",  "akɛ", "amlɔ", "anaa", "ba",  "be", "bo", "e",    "ekome", "enyo", "fioo", "gbɛ", "haa",
    "hã", "ha",  "hɔ",   "he",   "kɛ",  "ke", "lɛ", "le",   "mɛi",   "mi",   "mli",  "naa", "ni",
    "no", "nɔ",  "ŋmɛ",  "ŋɔɔ",  "nyɛ", "ɔ",  "pɛ", "sane", "shi",   "tsɔ",  "yoo",
};
static_assert(kGaWords[36] != nullptr, "Ga: fewer entries than declared");

// Ewe: 34 entries.
constexpr const char* kEweWords[] = {
    "a",    "afi", "afika", "ale", "alo", "ame", "be", "e",  "ema", "ekema", "eye", "ƒe",
    "gake", "ɖe",  "kple",  "la",  "le",  "ma",  "me", "mi", "mia", "ne",    "nu",  "ŋu",
    "nuka", "o",   "sia",   "va",  "wo",  "wò",  "ya", "yi", "nye", "esime",
};
static_assert(kEweWords[33] != nullptr, "Ewe: fewer entries than declared");

// Hausa: 35 entries.
constexpr const char* kHausaWords[] = {
    "a",   "amma",  "ba",    "babu",   "ce",     "cikin", "da",    "daga", "don",
    "ga",  "idan",  "ita",   "kai",    "ke",     "ko",    "ku",    "kuma", "lokacin",
    "mai", "mu",    "na",    "ne",     "ni",     "sai",   "shi",   "su",   "ta",
    "wa",  "wacce", "wanda", "wancan", "wannan", "ya",    "yanzu", "zuwa",
};
static_assert(kHausaWords[34] != nullptr, "Hausa: fewer entries than declared");

// Fante: 38 entries.
constexpr const char* kFanteWords[] = {
    "a",   "ana",      "anaa", "ara",  "ase", "ba",  "ber", "bi",   "biribi", "dɛ",
    "dze", "ebɛnadze", "eyi",  "enti", "ha",  "hɔ",  "ho",  "hom",  "hwan",   "kɔ",
    "ma",  "me",       "mu",   "na",   "ne",  "nnɛ", "no",  "ntsɛ", "obi",    "ɔkyena",
    "ɔno", "sɛ",       "wɔ",   "wo",   "wɔn", "yɛ",  "yɛɛ", "yɛn",
};
static_assert(kFanteWords[37] != nullptr, "Fante: fewer entries than declared");

}  // namespace kezo::stopwords::detail
