"""Ensemble throughput from Python on 1 and 2 threads, in documents per second.

The extraction calls release the interpreter lock, so two threads should process nearly twice
as many documents per second as one on a machine with two free cores.

Usage: PYTHONPATH=<build dir> python bench/throughput.py [--docs DIR] [--repeat N]
DIR defaults to ../shared/data/keyphrases/inspec/docs (the KEZO_INSPEC_DIR environment variable
overrides it); without it the paragraphs of tests/data/udhr/en.txt are used.
"""

import argparse
import os
import pathlib
import time
from concurrent.futures import ThreadPoolExecutor

import kezo_native as kz

ROOT = pathlib.Path(__file__).resolve().parent.parent


def load_documents(directory):
    path = pathlib.Path(directory)
    if path.is_dir():
        docs = [f.read_text(encoding="utf-8") for f in sorted(path.glob("*.txt"))]
        if docs:
            return docs, str(path)
    text = (ROOT / "tests" / "data" / "udhr" / "en.txt").read_text(encoding="utf-8")
    paragraphs = [p for p in text.split("\n\n") if len(p) > 200]
    return paragraphs, "tests/data/udhr/en.txt paragraphs"


def run(docs, threads, config):
    start = time.perf_counter()
    if threads == 1:
        for doc in docs:
            kz.extract_keywords_ensemble(doc, config)
    else:
        with ThreadPoolExecutor(max_workers=threads) as pool:
            chunk = (len(docs) + threads - 1) // threads
            parts = [docs[k:k + chunk] for k in range(0, len(docs), chunk)]
            list(pool.map(lambda part: [kz.extract_keywords_ensemble(d, config) for d in part],
                          parts))
    return len(docs) / (time.perf_counter() - start)


def main():
    default = os.environ.get("KEZO_INSPEC_DIR", str(ROOT.parent / "shared/data/keyphrases/inspec/docs"))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--docs", default=default, help="directory of .txt documents")
    parser.add_argument("--repeat", type=int, default=4, help="passes over the documents")
    args = parser.parse_args()

    docs, source = load_documents(args.docs)
    docs = docs * args.repeat
    config = kz.EnsembleConfig()
    config.language = kz.Language.English
    run(docs[:50], 1, config)  # warm-up
    print(f"{len(docs)} documents from {source}")
    single = run(docs, 1, config)
    print(f"1 thread : {single:10.0f} docs/s")
    double = run(docs, 2, config)
    print(f"2 threads: {double:10.0f} docs/s  ({double / single:.2f}x)")


if __name__ == "__main__":
    main()
