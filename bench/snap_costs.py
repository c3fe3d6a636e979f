"""Worst-case costs of tenant dictionaries through the kezo package: the time to load 50,000
random terms of 8 and of 128 letters, the longest stall another Python thread sees meanwhile,
and single snaps on the 128-letter dictionary at large distance bounds, for a random query, a
dictionary term with two edits and a short word; then the same on the 8-letter dictionary.

Usage: PYTHONPATH=<build dir>:python python bench/snap_costs.py [--terms N] [--repeat N]
"""

from __future__ import annotations

import argparse
import random
import statistics
import string
import threading
import time

import kezo


def random_terms(count: int, length: int, seed: int) -> list[str]:
    rng = random.Random(seed)
    return ["".join(rng.choices(string.ascii_lowercase, k=length)) for _ in range(count)]


def two_edits(term: str, seed: int) -> str:
    rng = random.Random(seed)
    chars = list(term)
    chars[rng.randrange(len(chars))] = "#"
    del chars[rng.randrange(len(chars))]
    return "".join(chars)


class StallMeter:
    """A thread that wakes every millisecond and records the longest gap between wake-ups: how
    long it could not take the interpreter lock (plus its own sleep)."""

    def __init__(self) -> None:
        self.longest = 0.0
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def _run(self) -> None:
        last = time.perf_counter()
        while not self._stop.is_set():
            time.sleep(0.001)
            now = time.perf_counter()
            self.longest = max(self.longest, now - last)
            last = now

    def __enter__(self) -> StallMeter:
        self._thread.start()
        time.sleep(0.01)
        return self

    def __exit__(self, *exc: object) -> None:
        self._stop.set()
        self._thread.join()


def timed_load(tenant: str, terms: list[str]) -> tuple[float, float]:
    """(load seconds, longest stall seconds) of one kezo.load_dictionary call."""
    with StallMeter() as meter:
        start = time.perf_counter()
        report = kezo.load_dictionary(tenant, terms)
        seconds = time.perf_counter() - start
    assert report.accepted == len(terms), report
    return seconds, meter.longest


def snap_ms(tenant: str, query: str, bound: int, repeat: int) -> tuple[float, str]:
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        result = kezo.snap(tenant, query, max_distance=bound)
        times.append(time.perf_counter() - start)
    answer = f"distance {result.distance}" if result.matched else "no match"
    return statistics.median(times) * 1000, answer


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--terms", type=int, default=50_000)
    parser.add_argument("--repeat", type=int, default=5, help="snaps timed per case (median)")
    args = parser.parse_args()
    kezo.set_cache_policy(max_updates_per_minute=0, max_terms_per_tenant=args.terms)

    long_terms = random_terms(args.terms, 128, seed=128)
    short_terms = random_terms(args.terms, 8, seed=8)
    for length, terms in ((8, short_terms), (128, long_terms)):
        seconds, stall = timed_load(f"bench-{length}", terms)
        print(f"load {args.terms:,} x {length:>3} letters: {seconds:7.3f} s, "
              f"longest stall of another thread {stall:6.3f} s")

    queries = {
        "random 128 letters": random_terms(1, 128, seed=1)[0],
        "a term, 2 edits": two_edits(long_terms[args.terms // 2], seed=2),
        "short word": "keyword",
    }
    for bound in (2**31 - 1, 128, 32, 2):
        for name, query in queries.items():
            ms, answer = snap_ms("bench-128", query, bound, args.repeat)
            print(f"snap max_distance={bound:<10} {name:<19} {ms:9.3f} ms  ({answer})")

    short_queries = {
        "random 8 letters": random_terms(1, 8, seed=3)[0],
        "a term, 2 edits": two_edits(short_terms[args.terms // 2], seed=4),
    }
    for bound in (2**31 - 1, 2):
        for name, query in short_queries.items():
            ms, answer = snap_ms("bench-8", query, bound, args.repeat)
            print(f"8 letters: snap max_distance={bound:<10} {name:<17} {ms:9.3f} ms  ({answer})")


if __name__ == "__main__":
    main()
