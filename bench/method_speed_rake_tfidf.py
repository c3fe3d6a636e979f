"""Seconds for the "rake" and "tfidf" methods from Python beside their namesake peers on one gold
set (Inspec by default), side by side in one process, taking turns; best of seven passes.

Kezo runs two ways, as a user with a folder of documents would: one Extractor called in a loop
(one thread), and Extractor.extract_batch over the whole list (every core). "tfidf" counts the
corpus first (kezo.corpus_frequencies, itself on every core in the batch route and on one
thread in the loop route) and then extracts every document with it. A third route,
Extractor.fit_extract, counts and extracts the same texts in one native pass (on one thread,
and on every core). With --no-spans every Kezo route is made with spans=False: the phrases and
scores without the offsets of their occurrences, which is what every peer here returns; the
routes keep their places, so the two runs compare like with like. The tfidf routes' peer is
scikit-learn's
TfidfVectorizer (1- to 3-grams, its English stopwords) on the same texts, timed two ways:
fit_transform alone (the weights, no keyphrases: the least a user waits), and fit_transform
followed by each document's ten highest-weighted n-grams read off its row, the route
keyphrase_peers.py scores the peer by (each row's slice of the sparse matrix sorted, as a
careful user would, rather than a row object made per document, and each column's n-gram read
from the fitted vocabulary). RAKE's peers are multi_rake
and rake_nltk as in method_quality_yake_rake.py, called per document. As the routes take turns,
each starts after other work; warm_and_cold.py shows what that warm-up costs each side.

Measurement only, never run in CI. Needs the peers' environment:
    PYTHONPATH=build/dev:python /work/peers/bin/python bench/method_speed_rake_tfidf.py DATA_DIR \
        [--set inspec] [--passes 7] [--workers N] [--rounds R] [--no-spans]
"""

import argparse
import statistics
import time

from keyphrase_quality import load_set
from method_quality_yake_rake import multi_rake_peer, rake_nltk_peer


def best_of(runs, passes):
    """The fastest of `passes` passes of each run, in wall-clock and in this process's CPU
    seconds, the runs taking turns within every pass so a machine whose load changes slows them
    alike. CPU seconds hardly move with the load of a shared machine, but add up the threads of
    a batch: they compare the one-thread routes."""
    wall = {name: float("inf") for name in runs}
    cpu = dict(wall)
    for _ in range(passes):
        for name, run in runs.items():
            start, start_cpu = time.perf_counter(), time.process_time()
            run()
            wall[name] = min(wall[name], time.perf_counter() - start)
            cpu[name] = min(cpu[name], time.process_time() - start_cpu)
    return wall, cpu


def kezo_runs(texts, workers, spans=True):
    import kezo

    rake = kezo.Extractor(method="rake", language="en", spans=spans)

    def rake_loop():
        for text in texts:
            rake.extract(text)

    def rake_batch():
        rake.extract_batch(texts, workers=workers)

    def tfidf_loop():
        corpus = kezo.corpus_frequencies(texts, language="en", max_n=3, workers=1)
        extractor = kezo.Extractor(method="tfidf", language="en", df=corpus, spans=spans)
        for text in texts:
            extractor.extract(text)

    def tfidf_batch():
        corpus = kezo.corpus_frequencies(texts, language="en", max_n=3, workers=workers)
        kezo.Extractor(method="tfidf", language="en", df=corpus, spans=spans).extract_batch(
            texts, workers=workers)

    def tfidf_one_pass(threads):
        return lambda: kezo.Extractor(method="tfidf", language="en", spans=spans).fit_extract(
            texts, threads)

    return {"rake loop": rake_loop, "rake batch": rake_batch,
            "tfidf loop": tfidf_loop, "tfidf batch": tfidf_batch,
            "tfidf fit_extract 1": tfidf_one_pass(1), "tfidf fit_extract": tfidf_one_pass(workers)}


def peer_runs(texts):
    multi, nltk = multi_rake_peer(), rake_nltk_peer()

    from sklearn.feature_extraction.text import ENGLISH_STOP_WORDS, TfidfVectorizer

    def vectorizer():
        return TfidfVectorizer(ngram_range=(1, 3), stop_words=list(ENGLISH_STOP_WORDS))

    def sklearn_top10():
        import numpy
        fitted = vectorizer()
        matrix = fitted.fit_transform(texts)
        # Each column's n-gram, placed by index in one pass over the vocabulary:
        # get_feature_names_out() sorts every n-gram of the corpus first, which took about a
        # sixth of this route's time on Inspec.
        names = [""] * len(fitted.vocabulary_)
        for name, column in fitted.vocabulary_.items():
            names[column] = name
        keyphrases = []
        for row in range(matrix.shape[0]):
            start, end = matrix.indptr[row], matrix.indptr[row + 1]
            weights, columns = matrix.data[start:end], matrix.indices[start:end]
            best = numpy.argsort(-weights, kind="stable")[:10]
            keyphrases.append([(names[columns[k]], float(weights[k])) for k in best])
        return keyphrases

    return {"multi_rake": lambda: [multi(t, "en") for t in texts],
            "rake_nltk": lambda: [nltk(t, "en") for t in texts],
            "scikit-learn tfidf": lambda: vectorizer().fit_transform(texts),
            "sklearn tfidf top10": sklearn_top10}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data", help="folder holding the gold sets")
    parser.add_argument("--set", default="inspec")
    parser.add_argument("--passes", type=int, default=7)
    parser.add_argument("--workers", type=int, default=None, help="threads of the batch route")
    parser.add_argument("--rounds", type=int, default=1,
                        help="whole measurements in a row; more than one adds each ratio's median")
    parser.add_argument("--no-spans", action="store_true",
                        help="make every Kezo route with spans=False")
    args = parser.parse_args()
    texts = [text for _, text, _ in load_set(args.data, args.set)]
    ours, theirs = kezo_runs(texts, args.workers, not args.no_spans), peer_runs(texts)
    ratios = {}  # (route, peer) -> the wall ratio of every round
    for _ in range(args.rounds):
        wall, cpu = best_of({**ours, **theirs}, args.passes)
        report(texts, args, ours, theirs, wall, cpu, ratios)
    if args.rounds > 1:
        print(f"\nmedian wall ratios over {args.rounds} rounds (lowest, highest)")
        for (mine, peer), values in ratios.items():
            values = sorted(values)
            print(f"{mine:<22}  {statistics.median(values):6.1f}x {peer}"
                  f"  ({values[0]:.1f} to {values[-1]:.1f})")


ROUTES = (
    ("rake", ("multi_rake", "rake_nltk"), ("loop", "batch")),
    ("tfidf", ("scikit-learn tfidf", "sklearn tfidf top10"),
     ("loop", "batch", "fit_extract 1", "fit_extract")),
)


def report(texts, args, ours, theirs, wall, cpu, ratios):
    """One round's seconds and ratios, the ratios also added to ``ratios``."""
    print(f"{len(texts)} texts of {args.set}, best of {args.passes} passes")
    print(f"{'':<20} {'wall s':>8} {'us/doc':>8}   {'CPU s':>8} {'us/doc':>8}")
    for name in {**ours, **theirs}:
        print(f"{name:<20} {wall[name]:8.3f} {wall[name] / len(texts) * 1e6:8.1f}   "
              f"{cpu[name]:8.3f} {cpu[name] / len(texts) * 1e6:8.1f}")
    print("\nratios, peer seconds over Kezo's (wall; CPU for the one-thread loop)")
    for method, peers, routes in ROUTES:
        for route in routes:
            mine = f"{method} {route}"
            for p in peers:
                ratios.setdefault((mine, p), []).append(wall[p] / wall[mine])
            line = "".join(f"  {wall[p] / wall[mine]:6.1f}x {p}" for p in peers)
            if route in ("loop", "fit_extract 1"):
                line += "   CPU:" + "".join(f"  {cpu[p] / cpu[mine]:6.1f}x" for p in peers)
            print(f"{mine:<22}{line}")


if __name__ == "__main__":
    main()
