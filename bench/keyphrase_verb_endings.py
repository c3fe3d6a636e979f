"""Share of multi-word keyphrases of kezo.extract that end in a verb or an auxiliary, and of
single-word keyphrases that are verbs or function words, judged by the gold part-of-speech tags
of Universal Dependencies sentences.

The sentences of each language's files are joined, twenty at a time, into documents (words
separated by blanks, each sentence on a line of its own); every keyphrase of the top 10 is judged
at each of its occurrences by the gold tag of its last word, and counts as verb-final (or, for a
single word, as a verb or a function word) when most of its occurrences end so. Function words:
ADV, DET, PRON, ADP, CCONJ, SCONJ, PART, INTJ, AUX.

The shipped models were trained on these sentences. --held-out reads only the last tenth of each
file, the part `scripts/train_tagger.py --held-out-only --out DIR` leaves out, and --models DIR
tags with those models instead.

    .venv/bin/python bench/keyphrase_verb_endings.py [--data ../shared/data/ud] [--lang en,de] \
        [--held-out --models DIR]
"""

from __future__ import annotations

import argparse
import bisect
from pathlib import Path

import kezo_native

ROOT = Path(__file__).resolve().parent.parent
LANGUAGES = ["en", "pt", "it", "id", "es", "fr", "de", "ru", "nl", "ha", "ko"]  # split by blanks
SENTENCES_PER_DOCUMENT = 20
FUNCTION = {"ADV", "DET", "PRON", "ADP", "CCONJ", "SCONJ", "PART", "INTJ", "AUX"}


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


def documents(data: Path, code: str, held_out: bool = False):
    """(text, start offset of every word, gold tag of every word) per document."""
    every = []
    for path in sorted((data / code).glob("*.tsv")):
        read = sentences(path)
        every += read[len(read) - len(read) // 10:] if held_out else read
    for first in range(0, len(every), SENTENCES_PER_DOCUMENT):
        lines, starts, tags, offset = [], [], [], 0
        for sentence in every[first:first + SENTENCES_PER_DOCUMENT]:
            for form, upos in sentence:
                starts.append(offset)
                tags.append(upos)
                offset += len(form) + 1
            lines.append(" ".join(form for form, _ in sentence))
        yield "\n".join(lines), starts, tags


def mostly(tags: list[str], kinds: set[str]) -> bool:
    """Whether most of the tags are of kinds."""
    return 2 * sum(t in kinds for t in tags) > len(tags)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", type=Path, default=ROOT.parent / "shared" / "data" / "ud")
    parser.add_argument("--lang", default=",".join(LANGUAGES))
    parser.add_argument("--held-out", action="store_true", help="the last tenth of each file only")
    parser.add_argument("--models", help="tagger models to use instead of the shipped ones")
    args = parser.parse_args()
    if args.models:
        kezo_native.set_tagger_directory(args.models)
    import kezo  # after the models are chosen: it sets its own where none is

    print(f"{'lang':4} {'phrases':>8} {'verb-final':>10}   {'words':>6} {'verbs':>6} {'function':>8}")
    for code in args.lang.split(","):
        phrases = verb_final = words = verbs = function = 0
        for text, starts, tags in documents(args.data, code, args.held_out):
            for phrase in kezo.extract(text, language=code, top_k=10):
                ends = [tags[bisect.bisect_right(starts, end - 1) - 1] for _, end in phrase.spans]
                if " " not in phrase.text:
                    words += 1
                    verbs += mostly(ends, {"VERB"})
                    function += mostly(ends, FUNCTION)
                    continue
                phrases += 1
                verb_final += mostly(ends, {"VERB", "AUX"})
        print(f"{code:4} {phrases:8} {100 * verb_final / max(phrases, 1):9.1f}%   {words:6} "
              f"{100 * verbs / max(words, 1):5.1f}% {100 * function / max(words, 1):7.1f}%")


if __name__ == "__main__":
    main()
