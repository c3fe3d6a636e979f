"""Generates src/stopwords/supplement_data.cpp, the supplementary stopword lists (the keyphrase
pipeline's extra stopwords, and word evidence of language identification).

Source: stopwords-iso (MIT licence), as packaged in the PyPI package stopwordsiso 0.7.1
(stopwordsiso/stopwords-iso.json); upstream https://github.com/stopwords-iso/stopwords-iso.
Kept for each supported language the list covers: every entry of one word that is not already in
the library's built-in table, minus the content words listed in EXCLUDED, which were chosen by
measurement (see --audit), plus the West African function words of ADDED (this project's own). Entries with digits or blanks are left out: the pipeline never sees
such tokens as words.

    PYTHONPATH=build/dev python3 scripts/make_stopword_supplements.py stopwords-iso.json \
        > src/stopwords/supplement_data.cpp
    PYTHONPATH=build/dev python3 scripts/make_stopword_supplements.py stopwords-iso.json \
        --audit DATA_DIR   # how often each kept word occurs inside the gold keys of DATA_DIR
"""

import argparse
import collections
import hashlib
import json
import pathlib
import re
import sys
import unicodedata

# Language enumerator -> stopwords-iso code. Twi, Ga, Ewe and Fante have no list there.
LANGUAGES = [
    ("English", "en"), ("Spanish", "es"), ("French", "fr"), ("German", "de"),
    ("Italian", "it"), ("Portuguese", "pt"), ("Dutch", "nl"), ("Russian", "ru"),
    ("Chinese", "zh"), ("Japanese", "ja"), ("Korean", "ko"), ("Arabic", "ar"),
    ("Indonesian", "id"), ("Twi", "ak"), ("Ga", "gaa"), ("Ewe", "ee"), ("Hausa", "ha"),
    ("Fante", "fat"),
]

# Function words of the West African languages that the source lacks (it has no list for Twi, Ga,
# Ewe and Fante, and a short one for Hausa): this project's own, written from the grammar of each
# language. Only pronouns, particles, auxiliaries, conjunctions, postpositions, demonstratives,
# quantifiers and numerals; no nouns or full verbs, which can be keys.
ADDED = {
    "ha": {
        "cewa", "za", "zai", "zan", "zata", "zasu", "zamu", "suka", "kan", "yana", "tana", "aka",
        "ake", "yake", "take", "suke", "suna", "sun", "an", "wajen", "haka", "hakan", "dai",
        "nan", "irin", "tare", "bayan", "game", "duk", "dukkan", "kowa", "kowane", "inda",
        "yadda", "saboda", "tsakanin", "waɗanda", "wadanda", "waɗannan", "wadannan", "gare",
        "kansa", "sannan", "kuwa", "to", "sosai", "muna", "mun", "kun", "sa", "wani", "wata",
        "har", "domin", "ɗaya", "daya", "biyu", "uku", "huɗu", "hudu", "biyar", "shida",
        "bakwai", "takwas", "tara", "goma",
    },
    "ak": {
        "wɔde", "ɛyɛ", "nyinaa", "ɛsɛ", "ɔde", "ɛwɔ", "ɛnam", "ɛno", "wɔɔ", "ama", "ɔyɛ",
        "wɔyɛ", "ɛfa",
    },
    "fat": {
        "hɔn", "do", "nye", "nyina", "dɛm", "wɔdze", "ɔdze", "nnyi", "onnyi", "ntsi", "anaadɛ",
        "tsia", "ɔwɔ", "ɔyɛ", "biara", "obiara", "baako", "ebien", "ebiasa", "anan", "enum",
        "esia", "esuon", "awotwe", "akron", "du",
    },
    "gaa": {
        "fɛɛ", "ji", "koni", "hewɔ", "nɛɛ", "kɛkɛ", "amɛ", "aloo", "noni", "nakai", "ekomɛi",
        "mɛni", "ani", "nomɛi", "enyɔ", "etɛ", "ejwɛ", "enumɔ",
    },
    "ee": {
        "si", "siwo", "aɖe", "eƒe", "hena", "gbɔ", "esi", "tso", "katã", "ɖesiaɖe", "aɖeke",
        "ge", "ye", "woƒe", "míe", "mí", "wòe", "esia", "ŋuti", "dome", "ɖokui", "bubu",
        "ɖeka", "fifi", "eve", "etɔ̃", "etɔ", "ene", "atɔ̃", "atɔ", "ade", "adre", "enyi",
        "asieke", "ewo",
    },
}

# Content words of the lists: topics readers pick as keys, left out of the supplement.
# English, French, Portuguese: measured with --audit on the gold sets. A word is left out when
# it sits in at least three gold keys and in at least as many gold keys per document holding
# it as an average content word of the same texts. Function words (pronouns, prepositions,
# adverbs, interjections) stay stopwords whatever the audit says: their hits come from other
# senses ("US" the country, "plus" in a name), which the pipeline tells apart by their capitals.
# Other languages have no gold set here: their nouns (topics, places, people) are left out by
# hand, the kinds of words the measurement removed in the other three.
EXCLUDED = {
    "en": {
        "ad", "affected", "announce", "asking", "associated", "backward", "bill", "billion",
        "bottom", "brief", "cc", "cg", "changes", "ci", "click", "co", "computer", "copy", "cr",
        "effect", "eight", "face", "fire", "former", "fr", "ga", "general", "gm", "gov", "gp",
        "groups", "gs", "gt", "html", "hundred", "immediate", "index", "information", "inner",
        "interest", "interests", "length", "low", "ls", "ltd", "man", "md", "men", "mg",
        "microsoft", "million", "mine", "mm", "mn", "ms", "mw", "mx", "na", "nc", "ni", "numbers",
        "opening", "ordered", "ordering", "orders", "page", "pages", "pe", "pl", "pm", "points",
        "problem", "problems", "pt", "research", "reserved", "round", "sa", "sc", "sd",
        "sensible", "sh", "shell", "si", "site", "sl", "sm", "smaller", "smallest", "sn",
        "state", "states", "su", "sup", "system", "test", "text", "thin", "tip", "today",
        "turning", "tv", "un", "web", "words", "working", "world", "young", "younger", "zr",
    },
    "fr": {"nouveau"},
    "pt": {"estado", "geral", "poder", "primeiro", "sistema", "trabalho", "viagem", "área"},
    "es": {
        "acuerdo", "cosas", "cuenta", "dia", "dias", "día", "días", "ejemplo", "empleo", "fin",
        "final", "general", "horas", "lado", "lugar", "manera", "medio", "modo", "momento",
        "pais", "paìs", "parte", "tiempo", "total", "trabajo", "uso", "valor", "verdad",
    },
    "it": {
        "anni", "anno", "ansa", "attesa", "caso", "citta", "città", "conclusione", "consiglio",
        "cortesia", "esempio", "favore", "fine", "forza", "futuro", "generale", "gente",
        "giorni", "giorno", "gruppo", "lato", "luogo", "mesi", "mondo", "modo", "momento", "nome",
        "ore", "paese", "parte", "persone", "piedi", "posto", "press", "registrazione", "scola",
        "scopo", "tempo", "titolo", "uomo", "vita",
    },
    "de": {
        "beispiel", "ende", "gott", "jahr", "jahre", "jahren", "mann", "mensch", "menschen",
        "mittel", "ordnung", "recht", "rechte", "rechten", "sache", "schluss", "startseite",
        "suche", "tag", "tage", "tagen", "teil", "uhr", "zeit",
    },
    "ru": {
        "вода", "война", "вопрос", "время", "времени", "взгляд", "вечер", "вид", "глаз", "голова",
        "голос", "год", "года", "году", "город", "дверь", "дело", "дел", "день", "деньги", "дом",
        "дорога", "друг", "душа", "жена", "женщина", "книга", "комната", "конец", "лицо", "люди",
        "мать", "машина", "место", "минута", "мир", "мира", "москва", "народ", "нога", "ночь",
        "окно", "отец", "плечо", "пол", "путь", "работа", "ребенок", "россия", "рука", "русский",
        "свет", "сила", "слово", "случай", "советский", "стол", "сторона", "страна", "товарищ",
        "улица", "утро", "час", "часть",
    },
    "id": {"tempat"},
}


def words_of(iso, code, exclude=True):
    kept = set()
    for entry in iso.get(code, []):
        word = unicodedata.normalize("NFC", entry.strip().lower().replace("\u2019", "'"))
        if not word or " " in word or re.search(r"\d", word):
            continue
        if exclude and word in EXCLUDED.get(code, set()):
            continue
        kept.add(word)
    return sorted(kept | ADDED.get(code, set()))


def builtin(language_name):
    """Built-in stopwords of the language, when the module is importable (to skip duplicates)."""
    try:
        import kezo_native as kz
    except ImportError:
        return set()
    return set(kz.stopwords(getattr(kz.Language, language_name)))


def cpp_string(word):
    return '"' + word.replace("\\", "\\\\").replace('"', '\\"') + '"'


def generate(iso, digest):
    out = [
        "// Generated by scripts/make_stopword_supplements.py from stopwords-iso (MIT licence),",
        "// PyPI package stopwordsiso 0.7.1, stopwords-iso.json sha256 " + digest[:16] + "...,",
        "// and the script's own West African function words.",
        "// Do not edit by hand; see README.md in this folder.",
        "#include <iterator>",
        "",
        '#include "supplement_lists.h"',
        "",
        "namespace kezo::stopwords::detail {",
        "",
        "// clang-format off",
    ]
    entries = []
    for name, code in LANGUAGES:
        skip = builtin(name)
        words = [w for w in words_of(iso, code) if w not in skip]
        ident = f"k{name}Supplement"
        out.append(f"// {name} ({code}): {len(words)} entries.")
        out.append(f"constexpr const char* {ident}[] = {{")
        line = "   "
        for w in words:
            piece = " " + cpp_string(w) + ","
            if len(line) + len(piece) > 100:
                out.append(line)
                line = "   "
            line += piece
        if line.strip():
            out.append(line)
        out.append("};")
        out.append("")
        entries.append(f"    {{Language::{name}, {ident}, std::size({ident})}},")
    out.append("// clang-format on")
    out.append("")
    out.append("const SupplementList kSupplementLists[] = {")
    out.extend(entries)
    out.append("};")
    out.append("const std::size_t kSupplementListCount = std::size(kSupplementLists);")
    out.append("")
    out.append("}  // namespace kezo::stopwords::detail")
    return "\n".join(out) + "\n"


def audit(iso, data_dir):
    """Per listed word: documents and gold keys holding it; the words the rule leaves out."""
    sets = {"en": ["inspec", "semeval2017", "kpcrowd500"], "fr": ["wikinews_fr"],
            "pt": ["pt_bn_kp110"]}
    names = dict((code, name) for name, code in LANGUAGES)
    for code, folders in sets.items():
        skip = builtin(names[code])
        words = set(w for w in words_of(iso, code, exclude=False) if w not in skip)
        in_docs, in_keys = collections.Counter(), collections.Counter()
        all_docs, all_keys = collections.Counter(), collections.Counter()
        for folder in folders:
            root = pathlib.Path(data_dir) / folder
            for doc in (root / "docs").glob("*.txt"):
                tokens = set(re.findall(r"[\w'-]+", doc.read_text(encoding="utf-8").lower()))
                all_docs.update(tokens)
                in_docs.update(tokens & words)
                keys = (root / "keys" / (doc.stem + ".key")).read_text(encoding="utf-8").lower()
                for key in keys.splitlines():
                    key_words = set(re.findall(r"[\w'-]+", key))
                    all_keys.update(key_words)
                    in_keys.update(key_words & words)
        content = [w for w in all_docs if w not in words and all_docs[w] >= 5]
        average = sum(all_keys[w] for w in content) / max(1, sum(all_docs[w] for w in content))
        print(f"== {code}: {len(words)} words; an average content word is in "
              f"{average:.3f} gold keys per document holding it")
        # A word of the list is a content word when it sits in at least three gold keys and in
        # at least as many keys per document holding it as an average content word.
        chosen = sorted(w for w in words
                        if in_keys[w] >= 3 and in_keys[w] / max(1, in_docs[w]) >= average)
        for w in sorted(chosen, key=lambda w: -in_keys[w] / max(1, in_docs[w])):
            print(f"{w:>20} keys {in_keys[w]:4d} docs {in_docs[w]:4d} "
                  f"rate {in_keys[w] / max(1, in_docs[w]):.3f}")
        print(f"    {code!r}: {{" + ", ".join(repr(w) for w in chosen) + "},")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("json", help="stopwords-iso.json")
    parser.add_argument("--audit", metavar="DATA_DIR", help="print gold-key rates instead")
    args = parser.parse_args()
    raw = pathlib.Path(args.json).read_bytes()
    iso = json.loads(raw)
    if args.audit:
        audit(iso, args.audit)
    else:
        sys.stdout.write(generate(iso, hashlib.sha256(raw).hexdigest()))


if __name__ == "__main__":
    main()
