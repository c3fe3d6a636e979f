"""F1@10 of the "textrank" and "tfidf" methods beside their namesake peers, and their speed.

Protocol as bench/keyphrase_quality.py (top 10, micro F1 at 10, stemmed match, language given,
one run). Peers: summa's keywords (ratio 0.2 default, top 10 by its score; language by name)
and scikit-learn's TfidfVectorizer (ngram_range (1, 3), stop_words: scikit-learn's English list
for English and Kezo's built-in list for French and Portuguese, fitted on the whole set, the
top 10 of each document's row). Kezo's tfidf is given kezo.corpus_frequencies over the same
set. Speed: seconds over Inspec from Python, summa per document against method="textrank",
TfidfVectorizer fit + transform against corpus_frequencies + extract of every document.

Usage (peers and nltk from the peers' environment, kezo from a build):
    PYTHONPATH=build/dev:python /work/peers/bin/python bench/method_quality_textrank_tfidf.py \
        /work/shared/data/keyphrases [--sets inspec,...] [--no-peers] [--systems a,b]
"""

import argparse
import pathlib
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from keyphrase_quality import Score, Matcher, TOP, add_data_arguments, print_table, selected_sets  # noqa: E402

LANGUAGE_NAMES = {"en": "english", "fr": "french", "pt": "portuguese"}


def score_set(docs, language, phrases_of):
    """Score of phrases_of(docs) -> one list of phrases per document, and its seconds."""
    matcher = Matcher(language)
    score = Score()
    start = time.perf_counter()
    returned = phrases_of(docs)
    score.seconds = time.perf_counter() - start
    for (_, _, gold), phrases in zip(docs, returned):
        score.add(matcher, phrases, gold)
    return score


def kezo_systems(language):
    import kezo

    def method(name, **options):
        def run(docs):
            return [[k.text for k in kezo.extract(t, method=name, language=language, **options)]
                    for _, t, _ in docs]
        return run

    def tfidf_corpus(docs):
        corpus = kezo.corpus_frequencies([t for _, t, _ in docs], language=language, max_n=3)
        extractor = kezo.Extractor(method="tfidf", language=language, df=corpus)
        return [[k.text for k in extractor.extract(t)] for _, t, _ in docs]

    return {
        "kezo textrank": method("textrank"),
        "kezo tfidf + corpus": tfidf_corpus,
        "kezo tfidf, no corpus": method("tfidf"),
        "kezo ensemble": method("ensemble"),
        "kezo keyphrase": method("keyphrase"),
    }


def peer_systems(language):
    def summa_run(docs):
        from summa import keywords
        out = []
        for _, text, _ in docs:
            try:
                found = keywords.keywords(text, language=LANGUAGE_NAMES[language], split=True,
                                          scores=True)
            except Exception:  # summa fails on texts without a usable word graph
                found = []
            out.append([phrase for phrase, _ in found[:TOP]])
        return out

    def sklearn_run(docs):
        import numpy as np
        from sklearn.feature_extraction.text import ENGLISH_STOP_WORDS, TfidfVectorizer
        if language == "en":
            stop = list(ENGLISH_STOP_WORDS)
        else:
            import kezo_native
            stop = list(kezo_native.stopwords({"fr": kezo_native.Language.French,
                                               "pt": kezo_native.Language.Portuguese}[language]))
        vectorizer = TfidfVectorizer(ngram_range=(1, 3), stop_words=stop)
        matrix = vectorizer.fit_transform([t for _, t, _ in docs]).tocsr()
        names = vectorizer.get_feature_names_out()
        out = []
        for row in range(matrix.shape[0]):
            start, end = matrix.indptr[row], matrix.indptr[row + 1]
            columns, weights = matrix.indices[start:end], matrix.data[start:end]
            best = np.argsort(-weights, kind="stable")[:TOP]
            out.append([names[columns[k]] for k in best])
        return out

    return {"summa": summa_run, "scikit-learn tfidf": sklearn_run}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_data_arguments(parser)
    parser.add_argument("--no-peers", action="store_true", help="run Kezo's methods only")
    parser.add_argument("--systems", default="", help="comma-separated system names to run")
    args = parser.parse_args()
    wanted = set(filter(None, args.systems.split(",")))
    results, names = {}, []
    for shown, language, docs in selected_sets(args):
        names.append(shown)
        systems = kezo_systems(language)
        if not args.no_peers:
            systems.update(peer_systems(language))
        for system, run in systems.items():
            if wanted and system not in wanted:
                continue
            results.setdefault(system, {})[shown] = score_set(docs, language, run)
    print_table(results, names)
    print("\nseconds per set:")
    for system, by_set in results.items():
        print(f"{system:<28}" + "".join(f"| {by_set[n].seconds:8.2f} " if n in by_set else "|"
                                        for n in names))


if __name__ == "__main__":
    main()
