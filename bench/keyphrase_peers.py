"""Peer libraries on the keyphrase gold sets, scored with the protocol of keyphrase_quality.py.

Side-by-side measurement only, never run in CI. Needs the peers' environment:
    PYTHONPATH=build/dev /work/peers/bin/python bench/keyphrase_peers.py DATA_DIR [--kpcrowd-sample 150]
Peers, each with its documented defaults except the ten results asked for:
  yake        KeywordExtractor(lan, n=3, top=10)
  multi_rake  Rake(language_code=lang), first ten phrases of apply()
  sklearn     TfidfVectorizer(ngram_range=(1, 3), stop words of the language) fitted on the whole
              set; a document's ten highest-weighted n-grams (English: the library's own list;
              French and Portuguese: the same stop words Kezo's built-in tables hold)
  summa       keywords(text, language, scores=True), first ten
"""

import argparse
import os

# The peers' numerical libraries (numpy's OpenBLAS, OpenMP) start thread pools whose threads
# spin after each call: on a machine of few cores they slow whatever runs next, the peer itself
# included (scikit-learn's TfidfVectorizer took about 210 us a document on Inspec with one
# thread, 270 to 450 with the pool, and Kezo after it a third more). No peer here computes on
# several threads, so the pools get one, before any of them is imported. A caller's own
# setting stays.
for _pool in ("OPENBLAS_NUM_THREADS", "OMP_NUM_THREADS", "MKL_NUM_THREADS"):
    os.environ.setdefault(_pool, "1")

from keyphrase_quality import TOP  # noqa: E402 (after the pools are set), add_data_arguments, evaluate, print_table, selected_sets

NAMES = {"en": "english", "fr": "french", "pt": "portuguese"}


def yake_peer():
    import yake
    extractors = {}

    def run(text, language):
        if language not in extractors:
            extractors[language] = yake.KeywordExtractor(lan=language, n=3, top=TOP)
        return [k for k, _ in extractors[language].extract_keywords(text)]
    return run


def multi_rake_peer():
    from multi_rake import Rake
    rakes = {}

    def run(text, language):
        if language not in rakes:
            rakes[language] = Rake(language_code=language)
        return [k for k, _ in rakes[language].apply(text)[:TOP]]
    return run


def summa_peer():
    from summa import keywords

    def run(text, language):
        try:
            found = keywords.keywords(text, language=NAMES[language], scores=True)
        except (IndexError, ValueError, ZeroDivisionError):
            return []  # summa fails on texts with too few words
        return [k for k, _ in found[:TOP]]
    return run


def sklearn_ranker(docs, language):
    """Top-ten lists of a TF-IDF model fitted on the texts of the whole set."""
    from sklearn.feature_extraction.text import ENGLISH_STOP_WORDS, TfidfVectorizer
    if language == "en":
        stop = list(ENGLISH_STOP_WORDS)
    else:
        import kezo_native as kz
        lang = {"fr": kz.Language.French, "pt": kz.Language.Portuguese}[language]
        stop = list(kz.stopwords(lang))
    vectorizer = TfidfVectorizer(ngram_range=(1, 3), stop_words=stop)
    matrix = vectorizer.fit_transform([text for _, text, _ in docs])
    vocabulary = vectorizer.get_feature_names_out()
    lists = {}
    for row, (doc_id, _, _) in enumerate(docs):
        weights = matrix.getrow(row).tocoo()
        best = sorted(zip(weights.data, weights.col), key=lambda p: -p[0])[:TOP]
        lists[doc_id] = [vocabulary[c] for _, c in best]
    return lists


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_data_arguments(parser)
    parser.add_argument("--peers", default="yake,multi_rake,sklearn,summa")
    args = parser.parse_args()
    wanted = args.peers.split(",")
    makers = {"yake": yake_peer, "multi_rake": multi_rake_peer, "summa": summa_peer}
    results = {name: {} for name in wanted}
    names = []
    for shown, language, docs in selected_sets(args):
        names.append(shown)
        for name in wanted:
            if name == "sklearn":
                lists = sklearn_ranker(docs, language)
                by_text = {text: lists[doc_id] for doc_id, text, _ in docs}
                extract = lambda text, _lang, table=by_text: table[text]
            else:
                extract = makers[name]()
            results[name][shown] = evaluate(docs, language, extract)
            print(f"# {name} on {shown}: {results[name][shown].seconds:.1f} s", flush=True)
    print_table(results, names)


if __name__ == "__main__":
    main()
