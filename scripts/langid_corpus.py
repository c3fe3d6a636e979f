"""Text for training and measuring language identification, split apart with a fixed seed.

Every source file is cut into blocks (paragraphs, or runs of sentences) and each block goes
either to training or to evaluation, so no sentence is on both sides; treebank files are kept
whole on one side; a share of the unsupported languages is held out entirely. The trainer
(scripts/train_language_model.py) and the accuracy bench (bench/language_id_accuracy.py) read
the same split from here.
"""

from __future__ import annotations

import pathlib
import random
import re
from typing import Iterator, NamedTuple

SEED = 20261207
EVAL_SHARE = 0.3  # of the blocks of a file shared by both sides
OTHER_HELD_OUT_SHARE = 0.35  # of the unsupported languages, never trained on
# Unsupported languages that resemble a supported one so closely that they are always trained
# on as a class of their own: the neighbours users meet most.
OTHER_ALWAYS_TRAINED = (
    "afr swh ibo yor glg cat ast fri ltz nds sco mly_latn jav sun ban min ada dag nzi fon lin "
    "ukr bel bul pes_1 urd"
).split()

# Files of each supported language: (path below the data folder, use): "all" goes to training,
# "split" is cut into blocks shared with evaluation, "eval" is evaluation only. Only text whose
# licence lets a model made from it ship is trained on (the Declaration: public domain; the
# treebanks: CC BY-SA 4.0; the Ga verses: CC BY 4.0); the news sentences (non-commercial), the
# Hausa articles and the keyphrase documents (no licence stated) are measured on, never learnt.
SOURCES: dict[str, list[tuple[str, str]]] = {
    "en": [("udhr/en.txt", "split"), ("ud/en/en_ewt-train.tsv", "all"),
           ("ud/en/en_ewt-dev.tsv", "eval"), ("keyphrases/inspec", "eval"),
           ("keyphrases/kpcrowd500", "eval"), ("keyphrases/semeval2017", "eval")],
    "es": [("udhr/es.txt", "split"), ("ud/es/es_gsd-dev.tsv", "all"),
           ("ud/es/es_gsd-test.tsv", "eval")],
    "fr": [("udhr/fr.txt", "split"), ("ud/fr/fr_gsd-dev.tsv", "all"),
           ("ud/fr/fr_gsd-test.tsv", "eval"), ("keyphrases/wikinews_fr", "eval")],
    "de": [("udhr/de.txt", "split"), ("udhr/variants/de_1901.txt", "eval"),
           ("ud/de/de_gsd-dev.tsv", "all"), ("ud/de/de_gsd-test.tsv", "eval")],
    "it": [("udhr/it.txt", "split"), ("ud/it/it_markit-train.tsv", "all"),
           ("ud/it/it_twittiro-train.tsv", "all"), ("ud/it/it_markit-dev.tsv", "eval"),
           ("ud/it/it_twittiro-dev.tsv", "eval")],
    "pt": [("udhr/pt.txt", "split"), ("udhr/variants/pt_PT.txt", "split"),
           ("ud/pt/pt_gsd-train.tsv", "all"), ("ud/pt/pt_gsd-dev.tsv", "eval"),
           ("keyphrases/pt_bn_kp110", "eval")],
    "nl": [("udhr/nl.txt", "split"), ("ud/nl/nl_lassysmall-dev.tsv", "all"),
           ("ud/nl/nl_lassysmall-test.tsv", "all"), ("ud/nl/nl_alpino-dev.tsv", "eval")],
    "id": [("udhr/id.txt", "split"), ("ud/id/id_csui-train.tsv", "all"),
           ("ud/id/id_gsd-dev.tsv", "eval")],
    "ru": [("udhr/ru.txt", "split"), ("ud/ru/ru_gsd-dev.tsv", "all"),
           ("ud/ru/ru_gsd-test.tsv", "eval")],
    "ar": [("udhr/ar.txt", "split")],
    "zh": [("udhr/zh.txt", "eval"), ("ud/zh/zh_gsdsimp-dev.tsv", "eval")],
    "ja": [("udhr/ja.txt", "eval"), ("ud/ja/ja_gsd-dev.tsv", "eval")],
    "ko": [("udhr/ko.txt", "eval"), ("ud/ko/ko_kaist-test.tsv", "eval")],
    "ak": [("udhr/ak.txt", "split"), ("udhr/variants/ak_asante.txt", "split"),
           ("udhr/ak_2.txt", "eval")],
    "gaa": [("udhr/gaa.txt", "split"), ("udhr/gaa_2.txt", "split")],
    "ee": [("udhr/ee.txt", "split"), ("udhr/ee_2.txt", "eval")],
    "ha": [("udhr/ha.txt", "split"), ("udhr/variants/ha_NE.txt", "split"),
           ("udhr/ha_2.txt", "eval"), ("udhr/ha_3.txt", "eval"),
           ("ud/ha/ha_northernautogramm-test.tsv", "all"),
           ("ud/ha/ha_southernautogramm-test.tsv", "eval")],
    "fat": [("udhr/fat.txt", "split")],
}

# Syntactic words the treebanks split out of one written word, joined back as written.
_CONTRACTIONS = {
    "fr": {"de le": "du", "de les": "des", "à le": "au", "à les": "aux"},
    "es": {"de el": "del", "a el": "al"},
    "pt": {"de o": "do", "de a": "da", "de os": "dos", "de as": "das", "em o": "no",
           "em a": "na", "em os": "nos", "em as": "nas", "a o": "ao", "a os": "aos",
           "a a": "à", "por o": "pelo", "por a": "pela", "por os": "pelos", "por as": "pelas",
           "em um": "num", "em uma": "numa", "de ele": "dele", "de ela": "dela",
           "em este": "neste", "em esta": "nesta", "de este": "deste", "de esta": "desta"},
    "it": {f"{p} {a}": f"{c}{s}" for p, c in (("di", "de"), ("a", "a"), ("da", "da"),
                                              ("in", "ne"), ("su", "su"))
           for a, s in (("il", "l"), ("lo", "llo"), ("la", "lla"), ("i", "i"),
                        ("gli", "gli"), ("le", "lle"))},
    "de": {"in dem": "im", "zu dem": "zum", "zu der": "zur", "an dem": "am", "von dem": "vom",
           "in das": "ins", "an das": "ans", "bei dem": "beim"},
}
_SPACE_BEFORE = re.compile(r" ([,.;:!?)\]»%])")
_SPACE_AFTER = re.compile(r"([(\[«]) ")


class Unit(NamedTuple):
    """One piece of text with its language code and where it came from."""

    language: str
    source: str
    text: str


def ud_sentences(path: pathlib.Path, language: str) -> list[str]:
    """The sentences of a FORM<TAB>UPOS file, written back as running text."""
    sentences, words = [], []
    for line in path.read_text(encoding="utf-8").splitlines() + [""]:
        if line:
            words.append(line.split("\t", 1)[0])
            continue
        if words:
            text = " ".join(words)
            for split, joined in _CONTRACTIONS.get(language, {}).items():
                text = re.sub(rf"(?<!\w){split}(?!\w)", joined, text)
            if language == "id":
                text = re.sub(r" (nya|ku|mu|lah|kah|pun)(?!\w)", r"\1", text)
            text = _SPACE_AFTER.sub(r"\1", _SPACE_BEFORE.sub(r"\1", text))
            sentences.append(text)
            words = []
    return sentences


def blocks(path: pathlib.Path, language: str) -> list[str]:
    """A file cut into blocks: paragraphs where blank lines part them, else runs of 6 lines;
    treebank sentences and keyphrase documents one by one."""
    if path.is_dir():
        return [p.read_text(encoding="utf-8") for p in sorted((path / "docs").glob("*.txt"))]
    if path.suffix == ".tsv":
        return ud_sentences(path, language)
    text = path.read_text(encoding="utf-8")
    if "\n\n" in text:
        return [b for b in text.split("\n\n") if b.strip()]
    lines = [line for line in text.splitlines() if line.strip()]
    return ["\n".join(lines[i:i + 6]) for i in range(0, len(lines), 6)]


def _is_eval(name: str, index: int, share: float = EVAL_SHARE) -> bool:
    return random.Random(f"{SEED}:{name}:{index}").random() < share


def supported_split(data: pathlib.Path) -> tuple[dict[str, list[str]], list[Unit]]:
    """Training text of every supported language, and its evaluation blocks."""
    train: dict[str, list[str]] = {}
    held: list[Unit] = []
    for language, files in SOURCES.items():
        for name, share in files:
            for i, block in enumerate(blocks(data / name, language)):
                if share == "eval" or (share == "split" and _is_eval(name, i)):
                    held.append(Unit(language, name, block))
                else:
                    train.setdefault(language, []).append(block)
    return train, held


def other_languages(data: pathlib.Path) -> tuple[list[pathlib.Path], list[pathlib.Path]]:
    """The unsupported languages' files: (trained on, held out entirely)."""
    trained, held_out = [], []
    for path in sorted((data / "udhr/other").glob("*.txt")):
        if path.stem not in OTHER_ALWAYS_TRAINED and _is_eval("other", hash_stem(path.stem),
                                                               OTHER_HELD_OUT_SHARE):
            held_out.append(path)
        else:
            trained.append(path)
    return trained, held_out


def hash_stem(stem: str) -> int:
    """A stable number for a file name (Python's own hash of str changes between runs)."""
    return sum((i + 1) * ord(c) for i, c in enumerate(stem))


def other_split(data: pathlib.Path) -> tuple[dict[str, list[str]], list[Unit], list[Unit]]:
    """Training text of the trained unsupported languages, evaluation blocks of theirs, and
    the whole text of the held-out ones as evaluation blocks."""
    trained, held_out = other_languages(data)
    train: dict[str, list[str]] = {}
    seen: list[Unit] = []
    for path in trained:
        for i, block in enumerate(blocks(path, path.stem)):
            if _is_eval(path.stem, i):
                seen.append(Unit("und", path.stem, block))
            else:
                train.setdefault(path.stem, []).append(block)
    unseen = [Unit("und", p.stem, b) for p in held_out for b in blocks(p, p.stem)]
    return train, seen, unseen


BANDS = ((20, 59, "short"), (60, 200, "medium"), (201, 10**9, "long"))


def band(text: str) -> str:
    """The length band of a text, counted in characters of its stripped form."""
    n = len(text.strip())
    return next((name for low, high, name in BANDS if low <= n <= high), "tiny")


def eval_units(held: list[Unit], seed: int = SEED) -> Iterator[Unit]:
    """Evaluation texts of every band from held-out blocks: each block whole, each of its
    lines, and a word-aligned window of 20 to 59 characters from each line longer than that."""
    rng = random.Random(seed)
    for unit in held:
        yield unit
        lines = [line.strip() for line in unit.text.splitlines() if line.strip()]
        if len(lines) > 1:
            yield from (Unit(unit.language, unit.source, line) for line in lines)
        for line in lines:
            if len(line) <= 59:
                continue
            words = line.split()
            start = rng.randrange(len(words))
            window = ""
            for word in words[start:]:
                if len(window) + len(word) + 1 > 59:
                    break
                window = f"{window} {word}".strip()
            if len(window) >= 20:
                yield Unit(unit.language, unit.source, window)
