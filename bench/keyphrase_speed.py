"""Keyphrase pipeline speed from Python on one thread, in Inspec abstracts per second, natively
and through kezo.extract.

The ensemble runs on the same abstracts in the same process, so the two rates can be compared
as a ratio on a busy machine.

Usage: PYTHONPATH=<build dir> python bench/keyphrase_speed.py [DOCS_DIR] [--repeat N]
DOCS_DIR defaults to ../shared/data/keyphrases/inspec/docs.
"""

import argparse
import pathlib
import time

import kezo
import kezo_native as kz

ROOT = pathlib.Path(__file__).resolve().parent.parent


def rate(docs, call):
    start = time.perf_counter()
    for doc in docs:
        call(doc)
    return len(docs) / (time.perf_counter() - start)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("docs", nargs="?", default=str(ROOT.parent / "shared/data/keyphrases/inspec/docs"))
    parser.add_argument("--repeat", type=int, default=4, help="passes over the documents")
    args = parser.parse_args()
    docs = [p.read_text(encoding="utf-8") for p in sorted(pathlib.Path(args.docs).glob("*.txt"))]
    if not docs:
        raise SystemExit(f"no .txt documents in {args.docs}")
    config = kz.KeyphraseConfig(language=kz.Language.English)
    auto = kz.KeyphraseConfig()
    ensemble = kz.EnsembleConfig()
    ensemble.language = kz.Language.English
    rate(docs[:50], lambda d: kz.extract_keyphrases(d, config))  # warm-up
    docs = docs * args.repeat
    given = rate(docs, lambda d: kz.extract_keyphrases(d, config))
    identified = rate(docs, lambda d: kz.extract_keyphrases(d, auto))
    merged = rate(docs, lambda d: kz.extract_keywords_ensemble(d, ensemble))
    product = rate(docs, lambda d: kezo.extract(d, language="en"))
    print(f"{len(docs)} documents, one thread")
    print(f"extract_keyphrases, language given: {given:8.0f} docs/s")
    print(f"extract_keyphrases, Language.Auto:  {identified:8.0f} docs/s")
    print(f"extract_keywords_ensemble:          {merged:8.0f} docs/s "
          f"(keyphrases / ensemble = {given / merged:.2f})")
    print(f"kezo.extract, language given:       {product:8.0f} docs/s "
          f"(kezo.extract / ensemble = {product / merged:.2f})")


if __name__ == "__main__":
    main()
