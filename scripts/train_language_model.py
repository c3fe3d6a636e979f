#!/usr/bin/env python3
"""Trains the character n-gram model of language identification (src/langid/model/ngrams.bin).

Usage: python3 scripts/train_language_model.py DATA_DIR [--out PATH]

DATA_DIR is the shared data folder (udhr/, ud/). The split between training and evaluation
text is fixed by scripts/langid_corpus.py. Classes: every supported language of the Latin,
Cyrillic and Arabic scripts, plus the unsupported languages trained on, each a class of its
own: a text whose best class is one of those is "none of the supported languages". Features
of a word: its letter n-grams of 1 to 4 letters (with the word's two edges as a letter) and
the word itself. A feature's weight in a class is the log of its smoothed probability there
over that of an unseen feature; only the most frequent features of each class are kept. The
hand-written function words of scripts/langid_function_words.txt count as extra occurrences.
Deterministic: the same data gives the same file.
"""

from __future__ import annotations

import argparse
import collections
import math
import pathlib
import struct
import sys
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import langid_corpus as corpus  # noqa: E402

MAX_ORDER = 4
ALPHA = 0.5  # additive smoothing of the counts
STEP = 1 / 16  # weight quantum: weights are stored as bytes
# Features kept per class and order (0: words): the supported languages' and the others'.
KEEP = {1: 400, 2: 3000, 3: 6000, 4: 6000, 0: 3000}
KEEP_OTHER = {4: 2500, 0: 800}
REJECTION_ORDERS = (4, 0)  # orders on which unsupported text is told from supported
MIN_COUNT = 2  # a feature seen once in a class tells little about it
FUNCTION_WORD_COUNT = 5  # occurrences credited to each hand-written function word
SUPPORTED = "en es fr de it pt nl id ak gaa ee ha fat ru ar".split()
# Letters written in place of the Akan and Ewe open vowels by fonts and keyboards without them.
LOOKALIKES = {0x3B5: 0x25B, 0x1D10: 0x254, 0x3FD: 0x254, 0x2184: 0x254, 0x2183: 0x254,
              0xA4DB: 0x254}
BOUNDARY, UNKNOWN, FIRST_LETTER = 1, 2, 3
WORD_FLAG = 1 << 63


def fold(cp: int) -> int:
    """Small letter of a Latin or Cyrillic letter, as the library's scan folds it."""
    cp = LOOKALIKES.get(cp, cp)
    if cp < 0x80:
        return cp | 0x20 if 0x41 <= cp <= 0x5A else cp
    if cp <= 0xDE:
        return cp + 0x20 if cp >= 0xC0 and cp != 0xD7 else cp
    if cp < 0x100:
        return cp
    if cp < 0x180:
        if cp == 0x178:
            return 0xFF
        if (cp <= 0x137 and cp != 0x130) or 0x14A <= cp <= 0x177:
            return cp + 1 if cp % 2 == 0 else cp
        if 0x139 <= cp <= 0x148 or 0x179 <= cp <= 0x17E:
            return cp + 1 if cp % 2 == 1 else cp
        return cp
    special = {0x181: 0x253, 0x186: 0x254, 0x189: 0x256, 0x18A: 0x257, 0x190: 0x25B,
               0x191: 0x192, 0x194: 0x263, 0x198: 0x199, 0x1B2: 0x28B, 0x1B3: 0x1B4,
               0x1E9E: 0xDF}
    if cp in special:
        return special[cp]
    if 0x1E00 <= cp <= 0x1EFF and not 0x1E96 <= cp <= 0x1E9F:
        return cp + 1 if cp % 2 == 0 else cp
    if 0x410 <= cp <= 0x42F:
        return cp + 0x20
    if 0x400 <= cp <= 0x40F:
        return cp + 0x50
    if 0x460 <= cp <= 0x52F and cp != 0x4C0 and not 0x4C1 <= cp <= 0x4CE:
        return cp + 1 if cp % 2 == 0 else cp
    if 0x4C1 <= cp <= 0x4CE:
        return cp + 1 if cp % 2 == 1 else cp
    return cp


def script(cp: int) -> str:
    """"latin", "cyrillic", "arabic", "mark", "other" (a letter of another script) or ""."""
    cp = LOOKALIKES.get(cp, cp)
    ch = chr(cp)
    category = unicodedata.category(ch)
    if category[0] == "M":
        return "mark"
    if category[0] != "L":
        return ""
    if cp < 0x2B0 or 0x1E00 <= cp <= 0x1EFF:
        return "latin"
    if 0x400 <= cp <= 0x52F:
        return "cyrillic"
    if 0x600 <= cp <= 0x6FF or 0x750 <= cp <= 0x77F or 0xFB50 <= cp <= 0xFDFF \
            or 0xFE70 <= cp <= 0xFEFF:
        return "arabic"
    return "other"


def words(text: str, halves: bool = False) -> list:
    """The words of text in the three modelled scripts, as folded code points; with `halves`,
    (word, what it counts in halves) pairs: a capitalised word other than the first of a
    sentence or line counts one half, any other two, as the library's scan counts them."""
    found, word, word_script = [], [], ""
    weight, sentence_start = 2, True
    for ch in text:
        cp = ord(ch)
        kind = script(cp)
        if kind == "mark":
            continue
        if kind in ("latin", "cyrillic", "arabic"):
            if word and kind != word_script:
                found.append((word, weight))
                word = []
            if not word:
                capital = fold(cp) != LOOKALIKES.get(cp, cp)
                weight = 1 if capital and not sentence_start else 2
                sentence_start = False
            word.append(fold(cp))
            word_script = kind
            continue
        if word:
            found.append((word, weight))
        word = []
        if ch in ".!?\n":
            sentence_start = True
    if word:
        found.append((word, weight))
    return found if halves else [w for w, _ in found]


def word_hash(symbols: list[int]) -> int:
    value = 14695981039346656037
    for s in symbols:
        value = ((value ^ s) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return value | WORD_FLAG


def features(text: str, alphabet: dict[int, int], halves: bool = False) -> collections.Counter:
    """Counts of the features of text: n-gram keys pack 10-bit letter indices, first letter
    lowest; word keys carry the top bit. With `halves`, counted as the library's scan counts
    them when it identifies a text (in halves, see words())."""
    counts: collections.Counter[int] = collections.Counter()
    for word, weight in words(text, True) if halves else ((w, 1) for w in words(text)):
        symbols = [BOUNDARY] + [alphabet.get(cp, UNKNOWN) for cp in word] + [BOUNDARY]
        counts[word_hash(symbols)] += weight
        for end in range(1, len(symbols)):
            key = 0
            for n in range(1, MAX_ORDER + 1):
                start = end - n + 1
                if start < 0:
                    break
                key = (key << 10) | symbols[start]
                if n > 1 or symbols[end] != BOUNDARY:
                    counts[key] += weight
    return counts


def order(key: int) -> int:
    if key & WORD_FLAG:
        return 0
    n = 0
    while key:
        key >>= 10
        n += 1
    return n


class Model:
    """Per class and feature the weight log P(feature | class) - log P(unseen feature | class),
    with additive smoothing; the score of a class is the text's log-likelihood under it.
    The supported classes keep features of every order and choose the language; the unsupported
    classes keep only REJECTION_ORDERS, and the text's score on those orders alone, against
    every class, tells whether a supported language fits at all. So a letter or letter pair,
    common to hundreds of languages, is looked up for the few supported ones only."""

    def __init__(self, train: dict[str, list[str]]):
        letters: collections.Counter[int] = collections.Counter()
        for blocks in train.values():
            for block in blocks:
                for word in words(block):
                    letters.update(word)
        self.alphabet = {cp: FIRST_LETTER + i for i, (cp, n) in
                         enumerate(sorted(letters.items(), key=lambda kv: (-kv[1], kv[0])))
                         if n >= 3 and FIRST_LETTER + i < 1024}
        self.classes = sorted(train, key=lambda c: (c not in SUPPORTED, c))
        counts = {c: features("\n".join(train[c]), self.alphabet) for c in self.classes}
        for c, extra in function_words().items():
            for word in extra:
                for key, n in features(word, self.alphabet).items():
                    counts[c][key] += FUNCTION_WORD_COUNT * n
        vocabulary = collections.Counter(order(k) for k in set().union(*counts.values()))
        self.unseen: dict[str, list[float]] = {}
        # key -> {class index: weight in STEP}
        self.features: dict[int, dict[int, int]] = collections.defaultdict(dict)
        for ci, c in enumerate(self.classes):
            keep = KEEP if c in SUPPORTED else KEEP_OTHER
            totals: collections.Counter[int] = collections.Counter()
            by_order: dict[int, list[tuple[int, int]]] = collections.defaultdict(list)
            for key, n in counts[c].items():
                totals[order(key)] += n
                by_order[order(key)].append((n, key))
            self.unseen[c] = [math.log(ALPHA / (totals[o] + ALPHA * vocabulary[o] + 1))
                              for o in range(MAX_ORDER + 1)]
            for o, items in by_order.items():
                items.sort(reverse=True)
                for n, key in items[:keep.get(o, 0)]:
                    q = round(math.log((n + ALPHA) / ALPHA) / STEP)
                    if n >= MIN_COUNT and q > 0:
                        self.features[key][ci] = min(q, 255)

    def scores(self, text: str) -> tuple[list[float], list[float]]:
        """The text's log-likelihood under each class on all orders (meaningful for the
        supported classes) and on REJECTION_ORDERS alone (for every class)."""
        feats = {k: n / 2 for k, n in features(text, self.alphabet, halves=True).items()}
        per_order: collections.Counter[int] = collections.Counter()
        for key, n in feats.items():
            per_order[order(key)] += n
        full = [sum(self.unseen[c][o] * per_order[o] for o in per_order) for c in self.classes]
        rejection = [sum(self.unseen[c][o] * per_order[o] for o in REJECTION_ORDERS)
                     for c in self.classes]
        for key, n in feats.items():
            for ci, q in self.features.get(key, {}).items():
                full[ci] += n * q * STEP
                if order(key) in REJECTION_ORDERS:
                    rejection[ci] += n * q * STEP
        self.last_rejection_features = sum(per_order[o] for o in REJECTION_ORDERS)
        return full, rejection

    def write(self, path: pathlib.Path) -> None:
        out = bytearray(b"KZLM")
        out += struct.pack("<HHB", len(self.classes), len(self.alphabet), MAX_ORDER)
        for c in self.classes:
            code = c.encode() if c in SUPPORTED else b""
            out += struct.pack("<B", len(code)) + code
            out += struct.pack(f"<{MAX_ORDER + 1}f", *self.unseen[c])
        for cp, index in sorted(self.alphabet.items(), key=lambda kv: kv[1]):
            out += struct.pack("<I", cp)
        out += struct.pack("<I", len(self.features))
        for key in sorted(self.features):
            row = self.features[key]
            out += struct.pack("<QB", key, len(row))
            for ci, q in sorted(row.items()):
                out += struct.pack("<BB", ci, q)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(bytes(out))


def function_words() -> dict[str, list[str]]:
    """The hand-written function words of scripts/langid_function_words.txt, by language."""
    lists = {}
    path = pathlib.Path(__file__).resolve().parent / "langid_function_words.txt"
    for line in path.read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            code, words_ = line.split(":", 1)
            lists[code] = words_.split()
    return lists


def training_classes(train: dict[str, list[str]],
                     other_train: dict[str, list[str]]) -> dict[str, list[str]]:
    """The classes of the model: the supported languages, and the unsupported ones with enough
    text in the modelled scripts."""
    classes = {c: blocks for c, blocks in train.items() if c in SUPPORTED}
    classes.update({c: blocks for c, blocks in other_train.items()
                    if sum(len(w) for b in blocks for w in words(b)) >= 2000})
    return classes


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data_dir", type=pathlib.Path)
    parser.add_argument("--out", type=pathlib.Path,
                        default=pathlib.Path(__file__).resolve().parents[1]
                        / "src/langid/model/ngrams.bin")
    args = parser.parse_args()
    train, _ = corpus.supported_split(args.data_dir)
    other_train, _, _ = corpus.other_split(args.data_dir)
    model = Model(training_classes(train, other_train))
    model.write(args.out)
    entries = sum(len(row) for row in model.features.values())
    print(f"{len(model.classes)} classes, {len(model.alphabet)} letters, "
          f"{len(model.features)} features, {entries} class entries, "
          f"{args.out.stat().st_size} bytes")


if __name__ == "__main__":
    main()
