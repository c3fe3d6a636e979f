// Built-in stopword lists: English, Spanish, French, German, Italian, Portuguese, Dutch.
// Entries keep their canonical order, duplicates and multi-word entries included; the bounds
// declared in builtin_tables.h and the checks after each list turn a wrong entry count into a
// compile error.
#include "builtin_tables.h"

namespace kezo::stopwords::detail {

// English: 127 entries.
constexpr const char* kEnglishWords[] = {
    "a",       "about",  "above",  "after", "again",   "against",  "all",        "am",
    "an",      "and",    "any",    "are",   "as",      "at",       "be",         "because",
    "been",    "before", "being",  "below", "between", "both",     "but",        "by",
    "can",     "cannot", "could",  "did",   "do",      "does",     "doing",      "down",
    "during",  "each",   "few",    "for",   "from",    "further",  "had",        "has",
    "have",    "having", "he",     "her",   "here",    "hers",     "herself",    "him",
    "himself", "his",    "how",    "i",     "if",      "in",       "into",       "is",
    "it",      "its",    "itself", "just",  "me",      "more",     "most",       "my",
    "myself",  "no",     "nor",    "not",   "now",     "of",       "off",        "on",
    "once",    "only",   "or",     "other", "our",     "ours",     "ourselves",  "out",
    "over",    "own",    "same",   "she",   "should",  "so",       "some",       "such",
    "than",    "that",   "the",    "their", "theirs",  "them",     "themselves", "then",
    "there",   "these",  "they",   "this",  "those",   "through",  "to",         "too",
    "under",   "until",  "up",     "very",  "was",     "we",       "were",       "what",
    "when",    "where",  "which",  "while", "who",     "whom",     "why",        "will",
    "with",    "would",  "you",    "your",  "yours",   "yourself", "yourselves",
};
static_assert(kEnglishWords[126] != nullptr, "English: fewer entries than declared");

// Spanish: 229 entries.
constexpr const char* kSpanishWords[] = {
    "a",         "al",         "algo",       "algunas",  "algunos",  "ante",      "antes",
    "como",      "con",        "contra",     "cual",     "cuando",   "de",        "del",
    "desde",     "donde",      "durante",    "e",        "el",       "ella",      "ellas",
    "ellos",     "en",         "entre",      "era",      "erais",    "eran",      "eras",
    "eres",      "es",         "esa",        "esas",     "ese",      "eso",       "esos",
    "esta",      "estaba",     "estabais",   "estaban",  "estabas",  "estad",     "estada",
    "estadas",   "estado",     "estados",    "estais",   "estamos",  "estan",     "estando",
    "estar",     "estara",     "estaran",    "estaras",  "estare",   "estareis",  "estaremos",
    "estaria",   "estariais",  "estariamos", "estarian", "estarias", "estas",     "este",
    "esto",      "estos",      "estoy",      "fui",      "fuimos",   "ha",        "habeis",
    "haber",     "habida",     "habidas",    "habido",   "habidos",  "habiendo",  "habra",
    "habran",    "habras",     "habre",      "habreis",  "habria",   "habriais",  "habriamos",
    "habrian",   "habrias",    "han",        "has",      "hasta",    "hay",       "hayas",
    "he",        "hemos",      "hube",       "hubo",     "la",       "las",       "le",
    "les",       "lo",         "los",        "mas",      "me",       "mi",        "mia",
    "mias",      "mio",        "mios",       "mis",      "mucho",    "muchos",    "muy",
    "nada",      "ni",         "no",         "nos",      "nosotras", "nosotros",  "nuestra",
    "nuestras",  "nuestro",    "nuestros",   "o",        "os",       "otra",      "otras",
    "otro",      "otros",      "para",       "pero",     "poco",     "por",       "porque",
    "que",       "quien",      "quienes",    "se",       "sea",      "seais",     "seamos",
    "sean",      "seas",       "sentid",     "sentida",  "sentidas", "sentido",   "sentidos",
    "sera",      "seran",      "seras",      "sere",     "sereis",   "seremos",   "seria",
    "seriais",   "seriamos",   "serian",     "serias",   "si",       "siente",    "sin",
    "sobre",     "sois",       "somos",      "son",      "soy",      "su",        "sus",
    "suya",      "suyas",      "suyo",       "suyos",    "tambien",  "tanto",     "te",
    "tendra",    "tendran",    "tendras",    "tendre",   "tendreis", "tendremos", "tendria",
    "tendriais", "tendriamos", "tendrian",   "tendrias", "tened",    "teneis",    "tenemos",
    "tenga",     "tengamos",   "tengan",     "tengas",   "tengo",    "tenida",    "tenidas",
    "tenido",    "tenidos",    "teniendo",   "tenia",    "teniais",  "teniamos",  "tenian",
    "tenias",    "ti",         "tiene",      "tienen",   "tienes",   "todo",      "todos",
    "tu",        "tus",        "tuya",       "tuyas",    "tuyo",     "tuyos",     "un",
    "una",       "uno",        "unos",       "vosotras", "vosotros", "vuestra",   "vuestras",
    "vuestro",   "vuestros",   "y",          "ya",       "yo",
};
static_assert(kSpanishWords[228] != nullptr, "Spanish: fewer entries than declared");

// French: 180 entries.
constexpr const char* kFrenchWords[] = {
    "a",       "ai",      "aie",    "aient",   "aies",     "ait",    "as",     "au",     "aux",
    "avaient", "avais",   "avait",  "avec",    "avez",     "aviez",  "avions", "avoir",  "avons",
    "ayant",   "ayez",    "ayons",  "c",       "ce",       "ceci",   "cela",   "celle",  "celles",
    "celui",   "ces",     "cet",    "cette",   "ceux",     "chez",   "ci",     "comme",  "d",
    "dans",    "de",      "des",    "du",      "elle",     "elles",  "en",     "encore", "entre",
    "es",      "est",     "et",     "etaient", "etais",    "etait",  "etant",  "etat",   "ete",
    "etiez",   "etions",  "etre",   "eu",      "eue",      "eues",   "eumes",  "eurent", "eus",
    "eusse",   "eussent", "eusses", "eussiez", "eussions", "eut",    "eutes",  "eux",    "fais",
    "faisait", "faisant", "fait",   "faites",  "fois",     "font",   "fumes",  "furent", "fus",
    "fusse",   "fussent", "fusses", "fussiez", "fussions", "fut",    "fute",   "fuites", "il",
    "ils",     "j",       "je",     "l",       "la",       "le",     "les",    "leur",   "leurs",
    "lui",     "m",       "ma",     "mais",    "me",       "mes",    "meme",   "memes",  "mien",
    "mienne",  "miennes", "miens",  "moi",     "mon",      "n",      "ne",     "nos",    "notre",
    "nous",    "on",      "ont",    "ou",      "par",      "pas",    "peu",    "pour",   "pourquoi",
    "quand",   "que",     "quel",   "quelle",  "quelles",  "quels",  "qui",    "s",      "sa",
    "sans",    "se",      "sera",   "serai",   "seraient", "serais", "serait", "seras",  "serez",
    "seriez",  "serions", "serons", "seront",  "ses",      "soi",    "soient", "sois",   "soit",
    "sommes",  "son",     "sont",   "sous",    "soyez",    "soyons", "suis",   "sur",    "t",
    "ta",      "te",      "tes",    "toi",     "ton",      "tu",     "un",     "une",    "vos",
    "votre",   "vous",    "y",      "ete",     "etes",     "etait",  "etions", "ete",    "etant",
};
static_assert(kFrenchWords[179] != nullptr, "French: fewer entries than declared");

// German: 231 entries.
constexpr const char* kGermanWords[] = {
    "aber",     "alle",      "allem",     "allen",    "aller",   "alles",    "als",
    "also",     "am",        "an",        "ander",    "andere",  "anderem",  "anderen",
    "anderer",  "anderes",   "anderm",    "andern",   "anderr",  "anders",   "auch",
    "auf",      "aus",       "bei",       "bin",      "bis",     "bist",     "da",
    "damit",    "dann",      "das",       "dasselbe", "dazu",    "dass",     "dein",
    "deine",    "deinem",    "deinen",    "deiner",   "deines",  "dem",      "demselben",
    "den",      "denn",      "denselben", "der",      "derer",   "derselbe", "derselben",
    "des",      "desselben", "dessen",    "dich",     "die",     "dies",     "diese",
    "dieselbe", "dieselben", "diesem",    "diesen",   "dieser",  "dieses",   "dir",
    "doch",     "dort",      "du",        "durch",    "ein",     "eine",     "einem",
    "einen",    "einer",     "eines",     "einig",    "einige",  "einigem",  "einigen",
    "einiger",  "einiges",   "einmal",    "er",       "es",      "etwas",    "euch",
    "euer",     "eure",      "eurem",     "euren",    "eurer",   "eures",    "fuer",
    "gegen",    "gewesen",   "hab",       "habe",     "haben",   "hat",      "hatte",
    "hatten",   "hier",      "hin",       "hinter",   "ich",     "ihm",      "ihn",
    "ihnen",    "ihr",       "ihre",      "ihrem",    "ihren",   "ihrer",    "ihres",
    "im",       "in",        "indem",     "ins",      "ist",     "jede",     "jedem",
    "jeden",    "jeder",     "jedes",     "jene",     "jenem",   "jenen",    "jener",
    "jenes",    "jetzt",     "kann",      "kein",     "keine",   "keinem",   "keinen",
    "keiner",   "keines",    "koennen",   "koennte",  "machen",  "man",      "manche",
    "manchem",  "manchen",   "mancher",   "manches",  "mein",    "meine",    "meinem",
    "meinen",   "meiner",    "meines",    "mich",     "mir",     "mit",      "muss",
    "musste",   "nach",      "nicht",     "nichts",   "noch",    "nun",      "nur",
    "ob",       "oder",      "ohne",      "sehr",     "sein",    "seine",    "seinem",
    "seinen",   "seiner",    "seines",    "selbst",   "sich",    "sie",      "sind",
    "so",       "solche",    "solchem",   "solchen",  "solcher", "solches",  "soll",
    "sollte",   "sondern",   "sonst",     "ueber",    "um",      "und",      "uns",
    "unsere",   "unserem",   "unseren",   "unser",    "unseres", "unter",    "viel",
    "vom",      "von",       "vor",       "während",  "war",     "waren",    "warst",
    "was",      "weg",       "weil",      "weiter",   "welche",  "welchem",  "welchen",
    "welcher",  "welches",   "wenn",      "werde",    "werden",  "wie",      "wieder",
    "will",     "wir",       "wird",      "wirst",    "wo",      "wollen",   "wollte",
    "würde",    "würden",    "zu",        "zum",      "zur",     "zwar",     "zwischen",
};
static_assert(kGermanWords[230] != nullptr, "German: fewer entries than declared");

// Italian: 174 entries.
constexpr const char* kItalianWords[] = {
    "a",       "ad",      "al",      "allo",   "ai",      "agli",   "alla",   "alle",    "con",
    "col",     "coi",     "da",      "dal",    "dallo",   "dai",    "dagli",  "dalla",   "dalle",
    "di",      "del",     "dello",   "dei",    "degli",   "della",  "delle",  "in",      "nel",
    "nello",   "nei",     "negli",   "nella",  "nelle",   "su",     "sul",    "sullo",   "sui",
    "sugli",   "sulla",   "sulle",   "per",    "tra",     "fra",    "e",      "ed",      "o",
    "ma",      "che",     "chi",     "cui",    "non",     "si",     "le",     "la",      "lo",
    "li",      "gli",     "le",      "un",     "una",     "uno",    "mio",    "mia",     "miei",
    "mie",     "tuo",     "tua",     "tuoi",   "tue",     "suo",    "sua",    "suoi",    "sue",
    "nostro",  "nostra",  "nostri",  "nostre", "vostro",  "vostra", "vostri", "vostre",  "loro",
    "è",       "era",     "erano",   "sei",    "siamo",   "siete",  "sono",   "essere",  "ho",
    "hai",     "ha",      "abbiamo", "avete",  "hanno",   "avere",  "aveva",  "avevano", "avrà",
    "avranno", "avrei",   "avremmo", "avrete", "fa",      "fanno",  "fare",   "faceva",  "facevano",
    "sta",     "stanno",  "stare",   "stava",  "stavano", "come",   "quando", "dove",    "perchè",
    "perché",  "quale",   "quali",   "quanto", "quanta",  "quanti", "quante", "questo",  "questa",
    "questi",  "queste",  "quello",  "quella", "quelli",  "quelle", "qui",    "qua",     "là",
    "lì",      "molto",   "molti",   "molta",  "molte",   "poco",   "pochi",  "poca",    "poche",
    "tanto",   "tanti",   "tanta",   "tante",  "più",     "meno",   "anche",  "ancora",  "allora",
    "sempre",  "mai",     "dopo",    "prima",  "adesso",  "ora",    "così",   "poi",     "però",
    "quindi",  "infatti", "dunque",  "cioè",   "io",      "tu",     "egli",   "ella",    "noi",
    "voi",     "essi",    "esse",
};
static_assert(kItalianWords[173] != nullptr, "Italian: fewer entries than declared");

// Portuguese: 181 entries.
constexpr const char* kPortugueseWords[] = {
    "a",       "as",      "o",         "os",      "um",         "uma",      "uns",     "umas",
    "de",      "do",      "da",        "dos",     "das",        "no",       "na",      "nos",
    "nas",     "em",      "por",       "para",    "com",        "sem",      "sob",     "sobre",
    "entre",   "até",     "desde",     "após",    "ante",       "contra",   "e",       "ou",
    "mas",     "porém",   "todavia",   "contudo", "entretanto", "que",      "se",      "porque",
    "porquê",  "embora",  "conquanto", "como",    "quando",     "onde",     "aonde",   "donde",
    "qual",    "quais",   "quem",      "cujo",    "cuja",       "cujos",    "cujas",   "eu",
    "tu",      "ele",     "ela",       "nós",     "vós",        "eles",     "elas",    "me",
    "te",      "se",      "lhe",       "nos",     "vos",        "lhes",     "meu",     "minha",
    "meus",    "minhas",  "teu",       "tua",     "teus",       "tuas",     "seu",     "sua",
    "seus",    "suas",    "nosso",     "nossa",   "nossos",     "nossas",   "vosso",   "vossa",
    "vossos",  "vossas",  "este",      "esta",    "estes",      "estas",    "aquele",  "aquela",
    "aqueles", "aquelas", "isto",      "isso",    "aquilo",     "ser",      "sendo",   "sido",
    "é",       "são",     "era",       "eras",    "éramos",     "fui",      "foste",   "foi",
    "fomos",   "foram",   "será",      "serão",   "ter",        "tendo",    "tido",    "tem",
    "tens",    "temos",   "tendes",    "tinha",   "tinhas",     "tínhamos", "tínheis", "tiveram",
    "haver",   "há",      "havemos",   "hão",     "hei",        "hás",      "há",      "houve",
    "fazer",   "faço",    "faz",       "fiz",     "feito",      "dizer",    "disse",   "diz",
    "dizer",   "ir",      "vou",       "vais",    "vai",        "vamos",    "ides",    "vão",
    "muito",   "muita",   "muitos",    "muitas",  "pouco",      "pouca",    "poucos",  "poucas",
    "mais",    "menos",   "já",        "ainda",   "sempre",     "nunca",    "também",  "tampouco",
    "talvez",  "quase",   "só",        "apenas",  "até",        "mesmo",    "até",     "assim",
    "então",   "aqui",    "ali",       "lá",      "cá",
};
static_assert(kPortugueseWords[180] != nullptr, "Portuguese: fewer entries than declared");

// Dutch: 102 entries.
constexpr const char* kDutchWords[] = {
    "aan",     "af",     "al",     "alles", "als",    "altijd", "andere", "ben",   "bij",
    "daar",    "dan",    "dat",    "de",    "der",    "deze",   "die",    "dit",   "doe",
    "doen",    "door",   "dus",    "een",   "eens",   "en",     "er",     "ge",    "geen",
    "geweest", "haar",   "had",    "heb",   "hebben", "heeft",  "hem",    "het",   "hij",
    "hoe",     "hun",    "iemand", "iets",  "ik",     "in",     "is",     "ja",    "je",
    "kan",     "kon",    "kunnen", "maar",  "me",     "meer",   "men",    "met",   "mij",
    "mijn",    "moet",   "na",     "naar",  "niet",   "niets",  "nog",    "of",    "om",
    "omdat",   "omhoog", "onder",  "ons",   "onze",   "ook",    "op",     "over",  "reeds",
    "te",      "tegen",  "toch",   "toen",  "tot",    "uit",    "uw",     "van",   "veel",
    "voor",    "waren",  "was",    "wat",   "we",     "wel",    "werd",   "wezen", "wie",
    "wij",     "worden", "zal",    "ze",    "zei",    "zelf",   "zich",   "zij",   "zijn",
    "zo",      "zonder", "zou",
};
static_assert(kDutchWords[101] != nullptr, "Dutch: fewer entries than declared");

}  // namespace kezo::stopwords::detail
