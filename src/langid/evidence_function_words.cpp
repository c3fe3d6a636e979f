// Hand-written identification evidence: function words of the West African languages beyond
// their built-in stopword tables, and the most frequent function words of every Latin-script
// language. Written from the grammar of each language (pronouns, particles, conjunctions,
// numerals) and checked against running text; Fante is told from Twi mostly by the spelling of
// its function words (dz, ts: "dze", "ntsi"; "hɔn" for Twi "wɔn", "dɛ" for "sɛ", "nye" for "ne").
#include <iterator>

#include "evidence_words.h"

namespace kezo::langid {
namespace {

constexpr const char* kAddedTwi[] = {
    "sɛ",    "wɔn",    "saa",  "de",   "nso",   "wɔde",  "ɛyɛ",   "nnipa",  "nyinaa",
    "nti",   "deɛ",    "berɛ", "bere", "ɛsɛ",   "nni",   "sɛdeɛ", "onipa",  "ɔde",
    "ɛwɔ",   "mmara",  "ne",   "so",   "yi",    "wɔ",    "ɛne",   "no",     "na",
    "biara", "obiara", "ɔno",  "ɛnam", "ɛno",   "wɔɔ",   "kyerɛ", "ama",    "ɔyɛ",
    "wɔyɛ",  "ɛfa",    "nea",  "ɛbɛ",  "sɛnea", "asase", "wiase", "adwuma",
};

constexpr const char* kAddedFante[] = {
    "dɛ",       "hɔn",    "do",      "nye",   "nyina",   "nyimpa", "dɛm",   "dze",   "wɔdze",
    "ɔdze",     "nnyi",   "onnyi",   "ntsi",  "anaadɛ",  "edzi",   "tsia",  "mbra",  "mbrɛ",
    "ebɛnadze", "ntsɛ",   "hom",     "ɔwɔ",   "ɔyɛ",     "wɔ",     "mu",    "na",    "no",
    "biara",    "obiara", "nkorɔfo", "adze",  "ewiadze", "dzi",    "baako", "ebien", "ebiasa",
    "anan",     "enum",   "esia",    "esuon", "awotwe",  "akron",  "du",
};

constexpr const char* kAddedGa[] = {
    "lɛ",    "ni",    "kɛ",      "nɔ",    "yɛ",     "fɛɛ",    "akɛ",   "mli",  "ji",   "ko",
    "shi",   "he",    "koni",    "hewɔ",  "hiɛ",    "yɔɔ",    "nɛɛ",   "kɛkɛ", "hu",   "ehe",
    "amɛ",   "aloo",  "nii",     "gbɛ",   "naa",    "mɛi",    "ekome", "enyɔ", "mɔ",   "baa",
    "kɛɛ",   "noni",  "lɛɛ",     "nakai", "ekomɛi", "fee",    "efee",  "tsɔ",  "bɔ",   "etsɛ",
    "tsɛ",   "gbɔmɔ", "mɛni",    "ani",   "nomɛi",  "shishi", "etɛ̃",   "etɛ",  "ejwɛ", "enumɔ",
    "ekpaa", "kpawo", "kpaanyɔ", "nɛɛhu", "nyɔŋma",
};

constexpr const char* kAddedEwe[] = {
    "le",    "la",   "ƒe",   "me",   "si",    "be",     "ɖe",   "kple", "dzi",     "ame",
    "siwo",  "ŋu",   "aɖe",  "o",    "sia",   "eƒe",    "nu",   "hena", "ta",      "gbɔ",
    "esi",   "eye",  "wo",   "va",   "tso",   "alo",    "nye",  "katã", "ɖesiaɖe", "amesiame",
    "aɖeke", "ge",   "na",   "wò",   "ye",    "ɖo",     "woƒe", "míe",  "mí",      "wòe",
    "gake",  "esia", "ŋuti", "dome", "ɖokui", "kpɔ",    "wɔ",   "ɖa",   "bubu",    "ɖeka",
    "ke",    "fifi", "vɔ",   "ɣe",   "ɖevi",  "ameawo", "eve",  "etɔ̃",  "etɔ",     "ene",
    "atɔ̃",   "atɔ",  "ade",  "adre", "enyi",  "asieke", "ewo",
};

constexpr const char* kAddedHausa[] = {
    "da",      "ya",      "kuma",   "ta",       "ba",       "cikin",   "shi",    "su",    "wannan",
    "yi",      "daga",    "ce",     "cewa",     "mai",      "za",      "ke",     "wanda", "wani",
    "wata",    "wa",      "ga",     "suka",     "kan",      "yana",    "aka",    "wajen", "haka",
    "hakan",   "dai",     "zuwa",   "ake",      "zai",      "nan",     "irin",   "yan",   "suna",
    "kai",     "har",     "yake",   "lokacin",  "don",      "domin",   "an",     "suke",  "sun",
    "sai",     "amma",    "tare",   "bayan",    "game",     "duk",     "dukkan", "kowa",  "kowane",
    "inda",    "yadda",   "saboda", "tsakanin", "waɗanda",  "wadanda", "ɗaya",   "daya",  "kasa",
    "ƙasa",    "kasar",   "ƙasar",  "wadannan", "waɗannan", "mutane",  "mutum",  "ko",    "gare",
    "kansa",   "shekara", "sannan", "kuwa",     "to",       "sosai",   "ita",    "mata",  "muna",
    "mun",     "ku",      "kun",    "ni",       "na",       "ne",      "sa",     "sha",   "biyu",
    "uku",     "huɗu",    "hudu",   "biyar",    "shida",    "bakwai",  "takwas", "tara",  "goma",
    "ashirin", "talatin", "hamsin", "ɗari",     "dari",     "dubu",
};

constexpr const char* kFrequentEnglish[] = {
    "the", "of",   "and", "to",   "in",    "is",  "that", "for",  "it",    "with",  "as",
    "was", "on",   "are", "by",   "this",  "be",  "from", "or",   "an",    "which", "at",
    "not", "have", "has", "were", "their", "its", "been", "they", "these", "we",    "can",
};

constexpr const char* kFrequentSpanish[] = {
    "de",  "la",   "que", "el",   "en",   "y",     "los",   "del",     "se",   "las", "por",
    "un",  "para", "con", "una",  "su",   "al",    "es",    "lo",      "como", "más", "pero",
    "sus", "le",   "ha",  "este", "esta", "entre", "sobre", "también", "o",    "fue", "son",
};

constexpr const char* kFrequentFrench[] = {
    "de",  "la",   "le",  "et",   "les", "des", "en",   "du",    "un",   "une", "est",
    "que", "dans", "qui", "pour", "pas", "au",  "sur",  "par",   "plus", "il",  "avec",
    "ce",  "à",    "aux", "sont", "été", "ou",  "elle", "cette", "ne",   "se",
};

constexpr const char* kFrequentGerman[] = {
    "der", "die",    "und", "in", "den", "von",   "zu",  "das",  "mit",  "sich", "des",
    "auf", "für",    "ist", "im", "dem", "nicht", "ein", "eine", "als",  "auch", "es",
    "an",  "werden", "aus", "er", "hat", "dass",  "sie", "oder", "wird", "zur",
};

constexpr const char* kFrequentItalian[] = {
    "di",  "e",     "il",  "la",   "che",  "in",  "a",   "per",  "un", "è",
    "del", "della", "i",   "le",   "non",  "una", "con", "si",   "da", "al",
    "dei", "delle", "gli", "alla", "sono", "nel", "o",   "come", "ha", "anche",
};

constexpr const char* kFrequentPortuguese[] = {
    "de",  "a",   "o",  "que", "e",    "do",   "da",  "em",   "um",  "para", "é",    "com",
    "não", "uma", "os", "no",  "se",   "na",   "por", "mais", "as",  "dos",  "como", "mas",
    "ao",  "das", "à",  "ou",  "pelo", "pela", "seu", "sua",  "são", "foi",
};

constexpr const char* kFrequentDutch[] = {
    "de",   "en",   "van",  "het",    "een",   "in",   "is",    "dat", "op",  "te",
    "zijn", "voor", "met",  "die",    "niet",  "aan",  "er",    "om",  "ook", "als",
    "bij",  "of",   "door", "worden", "wordt", "naar", "heeft", "hij", "zij",
};

constexpr const char* kFrequentIndonesian[] = {
    "yang",  "dan",   "di",     "ini",   "itu",   "dengan", "untuk",    "tidak", "dari",
    "dalam", "akan",  "pada",   "juga",  "ke",    "karena", "ada",      "oleh",  "adalah",
    "atau",  "bahwa", "mereka", "telah", "sudah", "dapat",  "tersebut",
};

constexpr const char* kFrequentHausa[] = {
    "da",     "a",  "ya",   "na",   "ta",   "ba",  "kuma", "cikin", "shi",   "su",
    "wannan", "yi", "daga", "ce",   "cewa", "mai", "za",   "ke",    "wanda", "ne",
    "sun",    "ga", "ko",   "wani", "wata", "an",  "suka", "aka",   "domin",
};

constexpr const char* kFrequentTwi[] = {
    "no", "sɛ",  "ne",  "na",  "mu",    "wɔ",     "ho",  "wɔn", "so",  "yi",  "biara", "obiara",
    "de", "saa", "nso", "nti", "nnipa", "nyinaa", "deɛ", "ɛsɛ", "nni", "ɛyɛ", "wɔde",  "ɔde",
};

constexpr const char* kFrequentFante[] = {
    "no",    "dɛ",  "na",  "mu",  "wɔ",     "ho",  "hɔn",  "do",   "nye",   "nyina", "obiara",
    "biara", "ɔyɛ", "ɔwɔ", "dze", "nyimpa", "dɛm", "ntsi", "nnyi", "onnyi", "wɔdze", "ɔdze",
};

constexpr const char* kFrequentGa[] = {
    "lɛ",  "ni", "kɛ",   "akɛ",  "nɔ",  "yɛ",  "fɛɛ",  "mli", "ji",  "ko",
    "shi", "he", "koni", "hewɔ", "ehe", "amɛ", "aloo", "hu",  "nɛɛ", "kɛkɛ",
};

constexpr const char* kFrequentEwe[] = {
    "le",   "la", "ƒe",  "me",  "be", "si",  "ɖe",  "kple", "dzi", "o",       "eye",  "ame",
    "siwo", "ŋu", "aɖe", "sia", "wo", "nye", "alo", "ta",   "tso", "ɖesiaɖe", "katã",
};

}  // namespace

const WordList kAddedFunctionWordLists[] = {
    {Language::Twi, kAddedTwi, std::size(kAddedTwi)},
    {Language::Fante, kAddedFante, std::size(kAddedFante)},
    {Language::Ga, kAddedGa, std::size(kAddedGa)},
    {Language::Ewe, kAddedEwe, std::size(kAddedEwe)},
    {Language::Hausa, kAddedHausa, std::size(kAddedHausa)},
};
const std::size_t kAddedFunctionWordListCount = std::size(kAddedFunctionWordLists);

const WordList kFrequentWordLists[] = {
    {Language::English, kFrequentEnglish, std::size(kFrequentEnglish)},
    {Language::Spanish, kFrequentSpanish, std::size(kFrequentSpanish)},
    {Language::French, kFrequentFrench, std::size(kFrequentFrench)},
    {Language::German, kFrequentGerman, std::size(kFrequentGerman)},
    {Language::Italian, kFrequentItalian, std::size(kFrequentItalian)},
    {Language::Portuguese, kFrequentPortuguese, std::size(kFrequentPortuguese)},
    {Language::Dutch, kFrequentDutch, std::size(kFrequentDutch)},
    {Language::Indonesian, kFrequentIndonesian, std::size(kFrequentIndonesian)},
    {Language::Hausa, kFrequentHausa, std::size(kFrequentHausa)},
    {Language::Twi, kFrequentTwi, std::size(kFrequentTwi)},
    {Language::Fante, kFrequentFante, std::size(kFrequentFante)},
    {Language::Ga, kFrequentGa, std::size(kFrequentGa)},
    {Language::Ewe, kFrequentEwe, std::size(kFrequentEwe)},
};
const std::size_t kFrequentWordListCount = std::size(kFrequentWordLists);

}  // namespace kezo::langid
