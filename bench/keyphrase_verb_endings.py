"""Share of multi-word keyphrases of kezo.extract that end in a verb or an auxiliary, judged by
the gold part-of-speech tags of Universal Dependencies sentences.

The sentences of each language's files are joined, twenty at a time, into documents (words
separated by blanks, each sentence on a line of its own); every multi-word keyphrase of the top 10
is judged at each of its occurrences by the gold tag of its last word, and counts as verb-final
when most of its occurrences end in VERB or AUX.

    .venv/bin/python bench/keyphrase_verb_endings.py [--data ../shared/data/ud] [--lang en,de]
"""

from __future__ import annotations

import argparse
import bisect
from pathlib import Path

import kezo

ROOT = Path(__file__).resolve().parent.parent
LANGUAGES = ["en", "pt", "it", "id", "es", "fr", "de", "ru", "nl", "ha"]  # words split by blanks
SENTENCES_PER_DOCUMENT = 20


def sentences(path: Path) -> list[list[tuple[str, str]]]:
    out: list[list[tuple[str, str]]] = [[]]
    for line in path.read_text(encoding="utf-8").splitlines():
        if not line.strip():
            if out[-1]:
                out.append([])
            continue
        form, upos = line.split("\t")
        out[-1].append((form, upos))
    return [s for s in out if s]


def documents(data: Path, code: str):
    """(text, start offset of every word, gold tag of every word) per document."""
    every = [s for path in sorted((data / code).glob("*.tsv")) for s in sentences(path)]
    for first in range(0, len(every), SENTENCES_PER_DOCUMENT):
        lines, starts, tags, offset = [], [], [], 0
        for sentence in every[first:first + SENTENCES_PER_DOCUMENT]:
            for form, upos in sentence:
                starts.append(offset)
                tags.append(upos)
                offset += len(form) + 1
            lines.append(" ".join(form for form, _ in sentence))
        yield "\n".join(lines), starts, tags


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", type=Path, default=ROOT.parent / "shared" / "data" / "ud")
    parser.add_argument("--lang", default=",".join(LANGUAGES))
    args = parser.parse_args()
    print(f"{'lang':4} {'phrases':>8} {'verb-final':>10}")
    total = final = 0
    for code in args.lang.split(","):
        phrases = verb_final = 0
        for text, starts, tags in documents(args.data, code):
            for phrase in kezo.extract(text, language=code, top_k=10):
                if " " not in phrase.text:
                    continue
                ends = [tags[bisect.bisect_right(starts, end - 1) - 1] for _, end in phrase.spans]
                phrases += 1
                verb_final += 2 * sum(t in ("VERB", "AUX") for t in ends) > len(ends)
        print(f"{code:4} {phrases:8} {100 * verb_final / max(phrases, 1):9.1f}%")
        total += phrases
        final += verb_final
    print(f"{'all':4} {total:8} {100 * final / max(total, 1):9.1f}%")


if __name__ == "__main__":
    main()
