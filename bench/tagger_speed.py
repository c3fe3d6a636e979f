"""Speed of kezo.tag from Python: tokens per second on pre-split words and on text, and the
first-use load of each language's model (in a fresh interpreter per language).

    python bench/tagger_speed.py [--seconds 2]

The text is the English UDHR of tests/data, repeated to about 1 MB; words are its tokens in
runs of 25 (about a sentence) and in one list. Native figures: bench/bench_tagger.cpp.
"""

from __future__ import annotations

import argparse
import subprocess
import sys
import time
from pathlib import Path

import kezo

ROOT = Path(__file__).resolve().parent.parent


def rate(work, tokens: int, seconds: float) -> float:
    work()
    runs, start = 0, time.perf_counter()
    while time.perf_counter() - start < seconds:
        work()
        runs += 1
    return runs * tokens / (time.perf_counter() - start)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=2.0)
    args = parser.parse_args()
    text = (ROOT / "tests" / "data" / "udhr" / "en.txt").read_text(encoding="utf-8")
    text = text * max(1, (1 << 20) // len(text))
    words = [t.text for t in kezo.tag(text, language="en")]
    runs = [words[k : k + 25] for k in range(0, len(words), 25)]
    n = len(words)
    cases = {
        f"text, {len(text) / 1e6:.1f} MB, {n} tokens": lambda: kezo.tag(text, language="en"),
        "words, one list": lambda: kezo.tag(words, language="en"),
        "words, calls of 25": lambda: [kezo.tag(r, language="en") for r in runs],
    }
    for name, work in cases.items():
        print(f"{name}: {rate(work, n, args.seconds) / 1e3:,.0f} k tokens/s")
    code = (
        "import time, kezo, kezo_native as k; l = kezo.resolve_language('{0}'); "
        "s = time.perf_counter(); k.tag_words(['a'], l); print((time.perf_counter() - s) * 1e3)"
    )
    loads = {}
    for lang in kezo.tagger_languages():
        out = subprocess.run([sys.executable, "-c", code.format(lang)], check=True,
                             capture_output=True, text=True).stdout
        loads[lang] = float(out)
    print("first-use load, ms: " + ", ".join(f"{k} {v:.1f}" for k, v in loads.items()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
