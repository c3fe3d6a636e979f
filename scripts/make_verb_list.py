#!/usr/bin/env python3
"""Writes en.verbs beside the part-of-speech models: the English verbs the treebank writes only
as verbs, which the keyphrase pipeline reads to tell a verb after its subject from a noun of a
compound ("the approach detects faults", "solar panels require cleaning").

    python scripts/make_verb_list.py [--data /work/shared/data/ud] [--out python/kezo/data/tagger]

A base form is listed when it and its third-person form ("vary", "varies") are tagged VERB at
least twice in all of the English files together and never with another tag; forms ending in
-s, -ed or -ing, and words under three letters, are left out. One lower-cased form per line,
sorted. Deterministic: the same data give the same bytes.
"""

from __future__ import annotations

import argparse
import collections
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def third_person(base: str) -> str:
    if base.endswith("y") and len(base) > 2 and base[-2] not in "aeiou":
        return base[:-1] + "ies"
    if base.endswith(("s", "sh", "ch", "x", "z", "o")):
        return base + "es"
    return base + "s"


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", type=Path, default=Path("/work/shared/data/ud"))
    parser.add_argument("--out", type=Path, default=ROOT / "python" / "kezo" / "data" / "tagger")
    args = parser.parse_args()
    tags: dict[str, collections.Counter[str]] = collections.defaultdict(collections.Counter)
    for path in sorted((args.data / "en").glob("*.tsv")):
        for line in path.read_text(encoding="utf-8").splitlines():
            if line:
                form, upos = line.rsplit("\t", 1)
                if form.isalpha() and form.isascii():
                    tags[form.lower()][upos] += 1
    listed = []
    for base, counts in tags.items():
        if len(base) < 3 or base.endswith(("s", "ed", "ing")):
            continue
        both = counts + tags.get(third_person(base), collections.Counter())
        if both["VERB"] >= 2 and sum(both.values()) == both["VERB"]:
            listed.append(base)
    (args.out / "en.verbs").write_text("".join(f"{v}\n" for v in sorted(listed)), encoding="utf-8")
    print(f"{len(listed)} verbs written to {args.out / 'en.verbs'}")


if __name__ == "__main__":
    main()
