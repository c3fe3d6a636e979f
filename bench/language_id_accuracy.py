#!/usr/bin/env python3
"""Accuracy of language identification on held-out text, by language and length, and its speed.

Usage: PYTHONPATH=build/dev python3 bench/language_id_accuracy.py DATA_DIR [--extra DIR]

DATA_DIR is the shared data folder. The evaluation text is the part of it the model never
learnt from (scripts/langid_corpus.py fixes the split): held-out blocks of the Declaration and
the Ga verses, the treebanks' held-out files, the news sentences, Hausa articles and keyphrase
documents, and the Declaration in unsupported languages: blocks of those the model has a class
for, and whole languages it never saw. --extra adds evaluation-only files <code>_<name>.txt.
Each block is judged whole, line by line, and as a word-aligned window of 20 to 59 characters
of each longer line; bands: short 20-59 characters, medium 60-200, long over 200.
Prints accuracy per language and band, the share of unsupported text answered "und", the
supported text wrongly answered "und", the most common confusions, how well confidence matches
accuracy, and short texts per second through kezo.detect.
"""

from __future__ import annotations

import argparse
import collections
import pathlib
import sys
import time

import kezo
import kezo_native as kn

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "scripts"))
import langid_corpus as corpus  # noqa: E402

BIG = "en es fr de it pt nl id ru ar zh ja ko".split()
WEST_AFRICAN = "ha ak fat gaa ee".split()
BAND_NAMES = [name for _, _, name in corpus.BANDS]


def guess(text: str) -> tuple[str, float]:
    found = kn.identify_language(text, 1)
    return (kn.language_code(found[0][0]), found[0][1]) if found else ("und", 0.0)


class Tally:
    def __init__(self) -> None:
        self.right: collections.Counter[tuple[str, str]] = collections.Counter()
        self.total: collections.Counter[tuple[str, str]] = collections.Counter()
        self.confusions: collections.Counter[tuple[str, str]] = collections.Counter()
        self.calibration: collections.Counter[tuple[int, bool]] = collections.Counter()

    def judge(self, group: str, truth: str, text: str) -> None:
        band = corpus.band(text)
        if band == "tiny":
            return
        answer, confidence = guess(text)
        for key in ((group, band), (group, "all")):
            self.total[key] += 1
            self.right[key] += answer == truth
        if answer != truth:
            self.confusions[(group, answer)] += 1
        if answer != "und":
            self.calibration[(min(9, int(confidence * 10)), answer == truth)] += 1

    def cell(self, group: str, band: str) -> str:
        n = self.total[(group, band)]
        return f"{100 * self.right[(group, band)] / n:6.2f} % {n:>5d}" if n else f"{'-':>14s}"

    def pooled(self, groups: list[str], band: str) -> str:
        n = sum(self.total[(g, band)] for g in groups)
        r = sum(self.right[(g, band)] for g in groups)
        return f"{100 * r / n:6.2f} % {n:>5d}" if n else f"{'-':>14s}"


def measure_speed(texts: list[str], seconds: float = 2.0) -> float:
    count, start = 0, time.perf_counter()
    while time.perf_counter() - start < seconds:
        for text in texts:
            kezo.detect(text)
        count += len(texts)
    return count / (time.perf_counter() - start)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data_dir", type=pathlib.Path)
    parser.add_argument("--extra", type=pathlib.Path, help="evaluation-only <code>_*.txt files")
    args = parser.parse_args()
    _, held = corpus.supported_split(args.data_dir)
    if args.extra:
        for path in sorted(args.extra.glob("*_*.txt")):
            code = path.stem.split("_")[0]
            held += [corpus.Unit(code, path.name, b) for b in corpus.blocks(path, code)]
    _, other_seen, other_unseen = corpus.other_split(args.data_dir)
    tally = Tally()
    short_texts = []
    for unit in corpus.eval_units(held):
        tally.judge(unit.language, unit.language, unit.text)
        if corpus.band(unit.text) == "short":
            short_texts.append(unit.text)
    for group, units in (("und: trained", other_seen), ("und: unseen", other_unseen)):
        for unit in corpus.eval_units(units):
            tally.judge(group, "und", unit.text)

    header = f"{'':14s}" + "".join(f"{b:>16s}" for b in BAND_NAMES + ["all"])
    print("Right answers (accuracy, texts) by language and length band:\n" + header)
    languages = [c for c in BIG + WEST_AFRICAN if tally.total[(c, "all")]]
    for code in languages:
        print(f"{code:14s}" + "".join(f"{tally.cell(code, b):>16s}" for b in BAND_NAMES + ["all"]))
    print(f"{'big 13':14s}" + "".join(f"{tally.pooled(BIG, b):>16s}"
                                      for b in BAND_NAMES + ["all"]))
    print("\nUnsupported text answered und:\n" + header)
    for group in ("und: trained", "und: unseen"):
        print(f"{group:14s}" + "".join(f"{tally.cell(group, b):>16s}"
                                       for b in BAND_NAMES + ["all"]))
    wrongly = sum(tally.confusions[(c, "und")] for c in languages)
    total = sum(tally.total[(c, "all")] for c in languages)
    print(f"\nSupported text answered und: {100 * wrongly / total:.2f} % of {total}")
    print("Commonest confusions (truth -> answer):",
          ", ".join(f"{t}->{a} {n}" for (t, a), n in tally.confusions.most_common(24)))
    print("\nConfidence against accuracy of the answers given:")
    for decile in range(10):
        right, wrong = tally.calibration[(decile, True)], tally.calibration[(decile, False)]
        if right + wrong:
            print(f"  confidence {decile / 10:.1f}-{(decile + 1) / 10:.1f}: "
                  f"{100 * right / (right + wrong):6.2f} % right of {right + wrong}")
    print(f"\nkezo.detect on short texts: {measure_speed(short_texts[:2000]):,.0f} per second")


if __name__ == "__main__":
    main()
