"""kezo.extract_batch on 1 thread and on N threads: documents per second, the speed-up, and CPU
time over wall time (how many cores were kept busy on average).

The native extraction calls release the interpreter lock, so on a machine with two free cores
two workers should approach twice the throughput of one, with CPU/wall close to 2.

Usage: PYTHONPATH=<build dir>:python python bench/batch_speedup.py [--docs DIR] [--repeat N]
    [--workers N] [--method M] [--chunk N]
With --chunk, the documents are handed over N at a time, one call after another, as a service
passes on each request's documents: the threads then wait between calls, and how soon they take
the next one shows. DIR is a directory of .txt documents (for instance the Inspec abstracts); without one the
paragraphs of tests/data/udhr/en.txt are used.
"""

from __future__ import annotations

import argparse
import pathlib
import time

import kezo

ROOT = pathlib.Path(__file__).resolve().parent.parent


def load_documents(directory: str | None) -> tuple[list[str], str]:
    if directory:
        path = pathlib.Path(directory)
        docs = [f.read_text(encoding="utf-8") for f in sorted(path.glob("*.txt"))]
        if docs:
            return docs, str(path)
    text = (ROOT / "tests" / "data" / "udhr" / "en.txt").read_text(encoding="utf-8")
    return [p for p in text.split("\n\n") if len(p) > 200], "tests/data/udhr/en.txt paragraphs"


def measure(
    docs: list[str], workers: int, method: str, chunk: int | None = None
) -> tuple[float, float, float]:
    """(documents per second, wall seconds, CPU seconds of the whole process)."""
    step = chunk or len(docs)
    wall, cpu = time.perf_counter(), time.process_time()
    for start in range(0, len(docs), step):
        kezo.extract_batch(docs[start : start + step], workers=workers, method=method, language="en")
    wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
    return len(docs) / wall, wall, cpu


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--docs", help="directory of .txt documents")
    parser.add_argument("--repeat", type=int, default=4, help="passes over the documents")
    parser.add_argument("--workers", type=int, default=2, help="threads of the parallel run")
    parser.add_argument("--method", default=kezo.DEFAULT_METHOD, choices=kezo.METHODS)
    parser.add_argument("--chunk", type=int, help="documents a call (default: all in one)")
    args = parser.parse_args()

    docs, source = load_documents(args.docs)
    docs = docs * args.repeat
    kezo.extract_batch(docs[:50], workers=1, method=args.method)  # warm-up
    chunks = f", {args.chunk} a call" if args.chunk else ""
    print(f"{len(docs)} documents from {source}, method {args.method}{chunks}")
    single, wall1, cpu1 = measure(docs, 1, args.method, args.chunk)
    print(f"1 worker  : {single:8.0f} docs/s   CPU/wall {cpu1 / wall1:.2f}")
    multi, wall2, cpu2 = measure(docs, args.workers, args.method, args.chunk)
    print(
        f"{args.workers} workers : {multi:8.0f} docs/s   CPU/wall {cpu2 / wall2:.2f}   "
        f"speed-up {multi / single:.2f}x"
    )
    identical = kezo.extract_batch(docs[:200], workers=args.workers, method=args.method) == [
        kezo.extract(doc, method=args.method) for doc in docs[:200]
    ]
    print(f"parallel results identical to serial ones: {identical}")


if __name__ == "__main__":
    main()
