#!/usr/bin/env python3
"""Accuracy of language identification on real text, with the old script detector beside it.

Usage: PYTHONPATH=build/dev python3 bench/language_id_accuracy.py DATA_DIR [--min-line-chars N]

DATA_DIR holds udhr/ (one file per language, second texts <code>_2.txt, ha_3.txt, variants/)
and keyphrases/<set>/docs/*.txt. A UDHR file is judged as a whole and line by line (lines of at
least --min-line-chars characters, default 40, a stricter test of short text); a keyphrase
document is judged as a whole. Prints accuracy per UDHR file and per set, then the confusion
matrix (rows: true language, columns: guess) of identify_language over all units.
"""
import argparse
import collections
import pathlib

import kezo_native as kn

L = kn.Language
FILE_LANGUAGES = {
    "en": L.English, "es": L.Spanish, "fr": L.French, "de": L.German, "it": L.Italian,
    "pt": L.Portuguese, "nl": L.Dutch, "ru": L.Russian, "zh": L.Chinese, "ja": L.Japanese,
    "ko": L.Korean, "ar": L.Arabic, "id": L.Indonesian, "ak": L.Twi, "gaa": L.Ga, "ee": L.Ewe,
    "ha": L.Hausa, "fat": L.Fante,
}
KEYPHRASE_SETS = {
    "inspec": L.English, "semeval2017": L.English, "kpcrowd500": L.English,
    "wikinews_fr": L.French, "pt_bn_kp110": L.Portuguese,
}


def best(text):
    return kn.identify_language(text, 1)[0][0]


class Tally:
    def __init__(self):
        self.right = collections.Counter()  # unit -> correct guesses
        self.total = collections.Counter()
        self.old_right = collections.Counter()
        self.confusion = collections.Counter()  # (true, guess) -> count
        self.misses = collections.defaultdict(list)

    def judge(self, unit, truth, text):
        guess = best(text)
        self.total[unit] += 1
        self.right[unit] += guess == truth
        self.old_right[unit] += kn.detect_language(text) == truth
        self.confusion[(truth, guess)] += 1
        if guess != truth:
            self.misses[unit].append((guess, text.strip()[:70]))

    def line(self, unit):
        n = self.total[unit]
        return (f"{unit:34s} {self.right[unit]:5d}/{n:<5d} {100 * self.right[unit] / n:6.2f} %"
                f"   old detector {100 * self.old_right[unit] / n:6.2f} %")


def udhr_files(root):
    paths = sorted((root / "udhr").glob("*.txt")) + sorted((root / "udhr/variants").glob("*.txt"))
    for path in paths:
        yield path, FILE_LANGUAGES[path.stem.split("_")[0]]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data_dir", type=pathlib.Path)
    parser.add_argument("--min-line-chars", type=int, default=40)
    parser.add_argument("--show-misses", type=int, default=3, help="misses printed per unit")
    args = parser.parse_args()
    tally = Tally()

    print("UDHR files (whole file, then lines):")
    for path, truth in udhr_files(args.data_dir):
        text = path.read_text(encoding="utf-8")
        name = str(path.relative_to(args.data_dir / "udhr"))
        tally.judge(f"{name} whole", truth, text)
        for line in text.splitlines():
            if len(line.strip()) >= args.min_line_chars:
                tally.judge(f"{name} lines", truth, line)
        for unit in (f"{name} whole", f"{name} lines"):
            if tally.total[unit]:
                print("  " + tally.line(unit))
                for guess, excerpt in tally.misses[unit][: args.show_misses]:
                    print(f"      -> {guess.name}: {excerpt}")

    print("\nKeyphrase documents:")
    for name, truth in KEYPHRASE_SETS.items():
        for path in sorted((args.data_dir / "keyphrases" / name / "docs").glob("*.txt")):
            tally.judge(name, truth, path.read_text(encoding="utf-8"))
        print("  " + tally.line(name))
        for guess, excerpt in tally.misses[name][: args.show_misses]:
            print(f"      -> {guess.name}: {excerpt}")

    def overall(label, units):
        right = sum(tally.right[u] for u in units)
        old = sum(tally.old_right[u] for u in units)
        total = sum(tally.total[u] for u in units)
        print(f"  {label:32s} {right:5d}/{total:<5d} {100 * right / total:6.2f} %"
              f"   old detector {100 * old / total:6.2f} %")

    print("\nOverall:")
    overall("UDHR files, whole", [u for u in tally.total if u.endswith(" whole")])
    overall("UDHR lines", [u for u in tally.total if u.endswith(" lines")])
    overall("keyphrase documents", list(KEYPHRASE_SETS))

    languages = sorted({t for t, _ in tally.confusion} | {g for _, g in tally.confusion}, key=int)
    codes = [kn.language_code(lang) for lang in languages]
    print("\nConfusion matrix of identify_language, all units (rows: truth, columns: guess):")
    print("      " + "".join(f"{c:>6s}" for c in codes))
    for truth, code in zip(languages, codes):
        if not any(tally.confusion[(truth, g)] for g in languages):
            continue
        row = (tally.confusion[(truth, guess)] or "." for guess in languages)
        print(f"{code:>6s}" + "".join(f"{cell:>6}" for cell in row))


if __name__ == "__main__":
    main()
