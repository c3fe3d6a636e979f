"""Cost of extraction at the option caps of the kezo package (max_n 8, window 10) against the
defaults, on ideograph runs, where every character is a token and a whole run is one block of
candidates: the worst case for long phrases.

Usage: PYTHONPATH=<build dir>:python python bench/option_caps.py [--repeat N]
"""

from __future__ import annotations

import argparse
import random
import time

import kezo
import kezo_native as kz


def ideographs(count: int, seed: int) -> str:
    """``count`` random ideographs, none of them a stopword, so the text is one unbroken run."""
    rng = random.Random(seed)
    stop = set(kz.stopwords(kz.Language.Chinese))
    chars: list[str] = []
    while len(chars) < count:
        char = chr(rng.randrange(0x4E00, 0x9FA5))
        if char not in stop:
            chars.append(char)
    return "".join(chars)


def native_uncapped_ms(text: str) -> float:
    """TF-IDF through kezo_native with max_n at its largest value, which nothing caps."""
    config = kz.ExtractConfig()
    config.algorithm, config.language, config.max_n = (
        kz.Algorithm.TFIDF,
        kz.Language.Chinese,
        2**32 - 1,
    )
    start = time.perf_counter()
    kz.extract_keywords(text, config)
    return (time.perf_counter() - start) * 1000


def millis(repeat: int, **options: object) -> float:
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        kezo.extract(**options)  # type: ignore[arg-type]
        best = min(best, time.perf_counter() - start)
    return best * 1000


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=5, help="best of this many runs")
    args = parser.parse_args()
    for count in (300, 800):
        text = ideographs(count, seed=count)
        print(f"{count} ideographs (best of {args.repeat}, ms)")
        for method in ("tfidf", "yake", "textrank", "rake", "ensemble"):
            default = millis(args.repeat, text=text, method=method, language="zh")
            capped = millis(args.repeat, text=text, method=method, language="zh", max_n=8)
            line = f"  {method:9s} default {default:7.2f}   max_n 8 {capped:7.2f}"
            if method in ("yake", "textrank"):
                window = millis(args.repeat, text=text, method=method, language="zh", window=10)
                both = millis(
                    args.repeat, text=text, method=method, language="zh", max_n=8, window=10
                )
                line += f"   window 10 {window:7.2f}   both {both:7.2f}"
            print(line)
        print(f"  kezo_native TF-IDF with max_n 4294967295: {native_uncapped_ms(text):.0f} ms")


if __name__ == "__main__":
    main()
