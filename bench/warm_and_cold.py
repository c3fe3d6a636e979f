"""What a pass over a gold set (Inspec by default) costs warm, right after the same pass, and
cold, right after scikit-learn's fit_transform has run in the same process: for Kezo's "rake"
loop and "tfidf" fit_extract, and for their peers (rake_nltk; TfidfVectorizer with 1- to
3-grams and its English stopwords). method_speed_rake_tfidf.py takes turns between all its
routes, so each route there starts after other work, as a service that does more than extract
would; this script shows how much of each figure is that warm-up. It also times every text of
the cold "rake" loop against the warm one, to show where the warm-up falls.

Measurement only, never run in CI. Needs the peers' environment:
    PYTHONPATH=build/dev:python /work/peers/bin/python bench/warm_and_cold.py DATA_DIR \
        [--set inspec] [--passes 9] [--workers 2]
"""

import argparse
import statistics
import time

from keyphrase_quality import load_set
from method_speed_rake_tfidf import kezo_runs, peer_runs

# Bands of the per-text timing: the warm-up falls on the first texts of a pass.
BANDS = ((0, 10), (10, 50), (50, 200), (200, None))


def routes(texts, workers):
    """The routes timed, the peers as method_speed_rake_tfidf.py runs them, and the work that
    leaves the cold ones cold (scikit-learn's fit_transform)."""
    ours, theirs = kezo_runs(texts, workers), peer_runs(texts)
    runs = {"kezo rake loop": ours["rake loop"], "rake_nltk": theirs["rake_nltk"],
            f"kezo fit_extract ({workers} threads)": ours["tfidf fit_extract"],
            "scikit-learn fit_transform": theirs["scikit-learn tfidf"]}
    return runs, theirs["scikit-learn tfidf"]


def seconds(run):
    start = time.perf_counter()
    run()
    return time.perf_counter() - start


def per_text(rake, texts):
    """Seconds of rake.extract on each text, in order."""
    out = []
    for text in texts:
        start = time.perf_counter()
        rake.extract(text)
        out.append(time.perf_counter() - start)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data", help="folder holding the gold sets")
    parser.add_argument("--set", default="inspec")
    parser.add_argument("--passes", type=int, default=9)
    parser.add_argument("--workers", type=int, default=2, help="threads of fit_extract")
    args = parser.parse_args()
    texts = [text for _, text, _ in load_set(args.data, args.set)]
    runs, other_work = routes(texts, args.workers)
    import kezo
    rake = kezo.Extractor(method="rake", language="en")

    warm = dict.fromkeys(runs, float("inf"))
    cold = dict(warm)
    warm_texts, cold_texts = [], []
    for _ in range(args.passes):
        for name, run in runs.items():
            run()
            warm[name] = min(warm[name], seconds(run))
            other_work()
            cold[name] = min(cold[name], seconds(run))
        per_text(rake, texts)
        warm_texts.append(per_text(rake, texts))
        other_work()
        cold_texts.append(per_text(rake, texts))

    print(f"{len(texts)} texts of {args.set}, best of {args.passes} passes")
    print(f"{'':<32} {'warm ms':>9} {'cold ms':>9} {'change':>8}")
    for name in runs:
        print(f"{name:<32} {warm[name] * 1e3:9.2f} {cold[name] * 1e3:9.2f} "
              f"{cold[name] / warm[name] - 1:+8.1%}")
    names = list(runs)
    for ours, peer in ((names[0], names[1]), (names[2], names[3])):
        print(f"{ours} against {peer}: {warm[peer] / warm[ours]:.1f}x warm, "
              f"{cold[peer] / cold[ours]:.1f}x cold")

    warm_median = [statistics.median(t) for t in zip(*warm_texts)]
    cold_median = [statistics.median(t) for t in zip(*cold_texts)]
    print("\nkezo rake loop, cold less warm per text (median of the passes)")
    for first, last in BANDS:
        band = slice(first, last)
        extra = sum(cold_median[band]) - sum(warm_median[band])
        count = len(warm_median[band])
        if count:
            label = f"texts {first + 1} to {first + count}"
            print(f"{label:<20} {extra / count * 1e6:+8.1f} us a text  ({extra * 1e3:+.3f} ms)")


if __name__ == "__main__":
    main()
