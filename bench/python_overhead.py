"""What the Python layer adds: Extractor.extract against the bare native call on a short text
(the call without spans, and the one with spans that Extractor makes),
and kezo.words against re.findall(r"\\w+", text.lower()) on 1 MB, side by side in one run.

Usage: PYTHONPATH=<build dir>:python python bench/python_overhead.py [DOCS_DIR]
DOCS_DIR: a folder of .txt documents joined into the 1 MB text (for example
DATA/keyphrases/nguyen2007/docs); without it the UDHR texts of tests/data/udhr are repeated.
Each figure is the best of several rounds, and the rounds of the two sides alternate, so load
from other processes hits both alike.
"""

from __future__ import annotations

import pathlib
import re
import sys
import time
from typing import Callable

import kezo
import kezo_native

ROOT = pathlib.Path(__file__).resolve().parent.parent
SHORT = "Solar panels convert sunlight into electricity on sunny rooftops everywhere."


def best_of_alternating(
    calls: dict[str, Callable[[], object]], number: int, rounds: int = 7
) -> dict[str, float]:
    best = dict.fromkeys(calls, float("inf"))
    for _ in range(rounds):
        for name, call in calls.items():
            start = time.perf_counter()
            for _ in range(number):
                call()
            best[name] = min(best[name], (time.perf_counter() - start) / number)
    return best


def megabyte(folder: str | None) -> tuple[str, str]:
    if folder:
        files = sorted(pathlib.Path(folder).glob("*.txt"))
        where = folder
    else:
        files = sorted((ROOT / "tests" / "data" / "udhr").glob("*.txt"))
        where = "tests/data/udhr, repeated"
    text = ""
    while len(text) < 1_000_000:
        for path in files:
            text += path.read_text(encoding="utf-8", errors="replace") + "\n"
            if len(text) >= 1_000_000:
                break
        if not folder and not files:
            raise SystemExit("no texts found")
    return text[:1_000_000], where


def main() -> None:
    config = kezo_native.KeyphraseConfig()
    extractor = kezo.Extractor()
    short = best_of_alternating(
        {
            "native extract_keyphrases": lambda: kezo_native.extract_keyphrases(SHORT, config),
            "native ..._spanned": lambda: kezo_native.extract_keyphrases_spanned(SHORT, config),
            "Extractor.extract": lambda: extractor.extract(SHORT),
            "kezo.extract": lambda: kezo.extract(SHORT),
        },
        number=2000,
    )
    native = short["native extract_keyphrases"]
    print(f"10-word text ({len(SHORT.split())} words), default method, language auto:")
    for name, seconds in short.items():
        print(f"  {name:28} {seconds * 1e6:7.2f} us  {seconds / native:5.2f}x native")

    text, where = megabyte(sys.argv[1] if len(sys.argv) > 1 else None)
    big = best_of_alternating(
        {
            're.findall(r"\\w+", lower)': lambda: re.findall(r"\w+", text.lower()),
            "kezo.words": lambda: kezo.words(text),
            'kezo.words(language="en")': lambda: kezo.words(text, "en"),
        },
        number=3,
    )
    baseline = big['re.findall(r"\\w+", lower)']
    print(f"1 MB of text ({where}), {len(kezo.words(text))} words:")
    for name, seconds in big.items():
        print(
            f"  {name:28} {seconds * 1e3:7.2f} ms  {len(text) / seconds / 1e6:6.1f} MB/s  "
            f"{baseline / seconds:5.2f}x re.findall"
        )


if __name__ == "__main__":
    main()
