"""Part-of-speech accuracy of kezo.tag per language on held-out UD sentences, beside baselines.

    python bench/tagger_accuracy.py [--data /work/shared/data/ud] [--lang en,de]

Held out as scripts/train_tagger.py holds them out when it measures: the last tenth of the
sentences of each of a language's files. The shipped models are trained on every sentence, so
score models made with `train_tagger.py --held-out-only` (the figures train_tagger.py prints
are those). Gold tokens: each sentence's words go to
kezo.tag(words, language=...). Beside the accuracy: the most-frequent-tag baseline trained on the
other nine tenths (exact form; unseen forms NOUN) and the baseline the data's README gives for
the test split kept elsewhere.
"""

from __future__ import annotations

import argparse
import math
import re
import sys
from collections import Counter, defaultdict
from pathlib import Path

import kezo

LANGUAGES = ["en", "pt", "it", "id", "es", "fr", "de", "ru", "nl", "zh", "ja", "ko", "ha"]


def read(path: Path) -> list[list[tuple[str, str]]]:
    sentences, current = [], []
    for line in path.read_text(encoding="utf-8").split("\n"):
        if not line:
            if current:
                sentences.append(current)
                current = []
            continue
        form, upos = line.rsplit("\t", 1)
        current.append((form, upos))
    if current:
        sentences.append(current)
    return sentences


def split(files: list[Path]) -> tuple[list, list]:
    train, test = [], []
    for path in files:
        sentences = read(path)
        keep = len(sentences) - math.floor(0.1 * len(sentences))
        train += sentences[:keep]
        test += sentences[keep:]
    return train, test


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", type=Path, default=Path("/work/shared/data/ud"))
    parser.add_argument("--lang", default=",".join(LANGUAGES))
    args = parser.parse_args()
    readme = (args.data / "README.md").read_text(encoding="utf-8")
    section = readme.split("## Baseline to beat", 1)[-1].split("##", 1)[0]
    published = {c: float(v) for c, v in re.findall(r"\b([a-z]{2}) (\d+\.\d) %", section)}
    print(f"{'lang':4} {'kezo':>7} {'baseline':>8} {'README':>7} {'tokens':>7}")
    for code in args.lang.split(","):
        train, test = split(sorted((args.data / code).glob("*.tsv")))
        counts: defaultdict[str, Counter[str]] = defaultdict(Counter)
        for sentence in train:
            for form, upos in sentence:
                counts[form][upos] += 1
        lexicon = {form: c.most_common(1)[0][0] for form, c in counts.items()}
        tokens = right = base = 0
        for sentence in test:
            words = [form for form, _ in sentence]
            for (form, gold), guess in zip(sentence, kezo.tag(words, language=code)):
                tokens += 1
                right += guess == gold
                base += lexicon.get(form, "NOUN") == gold
        shown = f"{published[code]:.1f}%" if code in published else "-"
        print(f"{code:4} {right / tokens:7.2%} {base / tokens:8.2%} {shown:>7} {tokens:7}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
