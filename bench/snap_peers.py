"""Snapping speed, build time and memory of kezo_native next to symspellpy and RapidFuzz.

Runs every library on the same dictionaries and the same queries in one process (the peers only
when importable), so the figures compare as ratios on a noisy machine. The queries are those of
bench/snap_queries.h, drawn by the same seeded generator:

- words_50k: 2 000 real misspellings whose correction is among the first 50 000 English words,
  against those 50 000 words; words_all: the same queries against all 235 886 words.
- cities: 1 000 city names with 1 or 2 random edits, against all 32 173 world cities.

Every call is timed on its own (perf_counter_ns around one Python call) and the median and mean
per query are printed. Memory: kezo_native's heap growth over the load (glibc mallinfo2, the
module's allocations are native), the peers' Python allocations (tracemalloc). symspellpy uses
its Levenshtein comparer, the distance kezo_native uses (its default counts a transposition as
one edit): the compiled one when editdistpy is installed, else the pure-Python one (the header
says which), and reports the single best suggestion (Verbosity.TOP); RapidFuzz scans every term with process.extractOne. The last columns count the
queries on which a peer finds a different smallest distance than kezo_native (0 expected; terms
are lower-cased with str.lower for the peers, which may differ from the native lower-casing on
rare letters).

Usage (never in CI; the peers live in their own virtual environment):
    PYTHONPATH=build/dev /work/peers/bin/python bench/snap_peers.py --terms-dir DIR
"""

import argparse
import ctypes
import gc
import os
import statistics
import time
import tracemalloc

import kezo_native as kz

try:
    from symspellpy import SymSpell, Verbosity
    from symspellpy.editdistance import DistanceAlgorithm, EditDistance

    try:
        import editdistpy  # noqa: F401  (symspellpy's compiled comparers)

        SYMSPELL_DISTANCE = DistanceAlgorithm.LEVENSHTEIN_FAST
    except ImportError:
        SYMSPELL_DISTANCE = DistanceAlgorithm.LEVENSHTEIN
except ImportError:
    SymSpell = None
try:
    from rapidfuzz import process
    from rapidfuzz.distance import Levenshtein
except ImportError:
    process = None

MASK = (1 << 64) - 1


class SplitMix64:
    """The generator of bench/snap_queries.h."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)

    def below(self, n):
        return self.next() % n


def draw(n, k, rng):
    index = list(range(n))
    k = min(k, n)
    for i in range(k):
        j = i + rng.below(n - i)
        index[i], index[j] = index[j], index[i]
    return index[:k]


def read_lines(path, limit=None):
    with open(path, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f]
    lines = [line for line in lines if line]
    return lines if limit is None else lines[:limit]


def misspelled_words(terms_dir, words, count):
    known = set(words)
    candidates = []
    for line in read_lines(os.path.join(terms_dir, "misspellings.tsv")):
        wrong, _, right = line.partition("\t")
        if _ and right in known:
            candidates.append(wrong)
    return [candidates[i] for i in draw(len(candidates), count, SplitMix64(1))]


def edited_names(names, count):
    rng = SplitMix64(2)
    queries = []
    for pick in draw(len(names), count, rng):
        cps = list(names[pick])
        for _ in range(1 + rng.below(2)):
            op = 1 if not cps else rng.below(3)
            if op == 0:
                at = rng.below(len(cps))
                cps[at] = chr(ord("a") + rng.below(26))
            elif op == 1:
                at = rng.below(len(cps) + 1)
                cps.insert(at, chr(ord("a") + rng.below(26)))
            else:
                del cps[rng.below(len(cps))]
        queries.append("".join(cps))
    return queries


class MallInfo2(ctypes.Structure):
    _fields_ = [(name, ctypes.c_size_t) for name in (
        "arena", "ordblks", "smblks", "hblks", "hblkhd", "usmblks", "fsmblks", "uordblks",
        "fordblks", "keepcost")]


_libc = ctypes.CDLL(None)
_libc.mallinfo2.restype = MallInfo2


def native_heap():
    info = _libc.mallinfo2()
    return info.uordblks + info.hblkhd


def timed(fn, queries):
    """Median and mean microseconds per call, and the results."""
    results, times = [], []
    for q in queries:
        t0 = time.perf_counter_ns()
        r = fn(q)
        times.append(time.perf_counter_ns() - t0)
        results.append(r)
    return statistics.median(times) / 1e3, statistics.fmean(times) / 1e3, results


def python_allocations(build):
    gc.collect()
    tracemalloc.start()
    before = tracemalloc.get_traced_memory()[0]
    t0 = time.perf_counter()
    obj = build()
    seconds = time.perf_counter() - t0
    size = tracemalloc.get_traced_memory()[0] - before
    tracemalloc.stop()
    return obj, seconds, size


def run_case(name, terms, queries, distances, rapidfuzz_queries):
    mib = 1024 * 1024
    lowered_terms = [t.lower() for t in terms]
    lowered_queries = [q.lower() for q in queries]
    print(f"\n## {name}: {len(terms)} terms, {len(queries)} queries")

    policy = kz.TenantCachePolicy()
    policy.max_terms_per_tenant = len(terms)
    policy.max_updates_per_minute = 0
    kz.set_tenant_cache_policy(policy)
    tenant = "peers-" + name
    gc.collect()
    heap = native_heap()
    t0 = time.perf_counter()
    kz.load_tenant_dictionary(tenant, terms)
    build = time.perf_counter() - t0
    real = (native_heap() - heap) / mib
    accounted = kz.get_tenant_metrics(tenant).memory_bytes / mib
    print(f"kezo_native: build {build:.3f} s, heap {real:.1f} MiB "
          f"(accounted memory_bytes {accounted:.1f} MiB)")

    sym = None
    if SymSpell is not None:
        def build_symspell():
            s = SymSpell(max(distances), 7, 1, EditDistance(SYMSPELL_DISTANCE))
            for t in lowered_terms:
                s.create_dictionary_entry(t, 1)
            return s

        sym, seconds, size = python_allocations(build_symspell)
        print(f"symspellpy ({SYMSPELL_DISTANCE.name}): build {seconds:.3f} s, "
              f"{size / mib:.1f} MiB")
    if process is not None:
        choices, _, size = python_allocations(lambda: [t.lower() for t in terms])
        print(f"RapidFuzz: the term list, {size / mib:.1f} MiB; scans the first "
              f"{min(rapidfuzz_queries, len(queries))} queries")

    print("| distance | kezo median / mean µs | batch µs per term | symspellpy median (ratio) "
          "| RapidFuzz median (ratio) | differ symspellpy | differ RapidFuzz |")
    print("|---:|---:|---:|---:|---:|---:|---:|")
    for d in distances:
        _, _, detailed = timed(lambda q: kz.snap_term_detailed(tenant, q, d), queries)
        med, mean, _ = timed(lambda q: kz.snap_term(tenant, q, d), queries)
        t0 = time.perf_counter_ns()
        kz.snap_terms(tenant, queries, d)
        batch = (time.perf_counter_ns() - t0) / 1e3 / len(queries)
        ours = [m.distance if m.matched else None for m in detailed]
        row = [f"{d}", f"{med:.1f} / {mean:.1f}", f"{batch:.2f}"]
        differ_sym = differ_rf = "-"
        if sym is not None:
            s_med, _, found = timed(lambda q: sym.lookup(q, Verbosity.TOP, d), lowered_queries)
            row.append(f"{s_med:.1f} ({s_med / med:.1f}x)")
            theirs = [f[0].distance if f else None for f in found]
            differ_sym = str(sum(a != b for a, b in zip(ours, theirs)))
        else:
            row.append("-")
        if process is not None:
            subset = lowered_queries[:rapidfuzz_queries]
            r_med, _, found = timed(
                lambda q: process.extractOne(q, choices, scorer=Levenshtein.distance,
                                             score_cutoff=d), subset)
            row.append(f"{r_med:.1f} ({r_med / med:.1f}x)")
            theirs = [None if f is None else int(f[1]) for f in found]
            differ_rf = str(sum(a != b for a, b in zip(ours, theirs)))
        else:
            row.append("-")
        print("| " + " | ".join(row + [differ_sym, differ_rf]) + " |")
    kz.unload_tenant(tenant)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--terms-dir", default=os.path.join(
        os.path.dirname(__file__), "..", "..", "..", "shared", "data", "terms"))
    parser.add_argument("--rapidfuzz-queries-all-words", type=int, default=300,
                        help="queries RapidFuzz scans all 235 886 words for (each takes ms)")
    args = parser.parse_args()
    words_file = os.path.join(args.terms_dir, "english_words.txt")
    words = read_lines(words_file, 50000)
    word_queries = misspelled_words(args.terms_dir, words, 2000)
    cities = read_lines(os.path.join(args.terms_dir, "world_cities.txt"))
    run_case("words_50k", words, word_queries, (1, 2), len(word_queries))
    run_case("cities", cities, edited_names(cities, 1000), (1, 2), 1000)
    run_case("words_all", read_lines(words_file), word_queries, (1, 2),
             args.rapidfuzz_queries_all_words)


if __name__ == "__main__":
    main()
