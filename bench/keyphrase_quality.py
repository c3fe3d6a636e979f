"""Keyphrase quality on gold sets: P/R/F1 at 5 and 10, micro-averaged over the documents.

Protocol. Each system returns at most ten keyphrases per document. A returned phrase and a gold
key match when they are equal after lower-casing, collapsing runs of blanks into one blank and
stemming every blank-separated word (Porter for English, Snowball for French and Portuguese,
both from nltk). Every distinct gold key of a document counts once, however many returned phrases
match it; the recall denominator holds all gold keys of the document, present in the text or not.
Precision, recall and F1 at k are micro-averaged: matched keys, returned phrases and gold keys are
summed over all documents of a set before dividing. Figures are percentages.

Usage (nltk comes from the peers' environment, the module from a build):
    PYTHONPATH=build/dev /work/peers/bin/python bench/keyphrase_quality.py DATA_DIR
DATA_DIR holds inspec/, semeval2017/, kpcrowd500/, wikinews_fr/, pt_bn_kp110/ and the long
documents of nguyen2007/ and theses100/, each with
docs/<id>.txt and keys/<id>.key (one gold key per line). --kpcrowd-sample 150 evaluates a sample
of 150 KPCrowd documents (seed 13) instead of all 500, to compare with slow peers.
"""

import argparse
import functools
import pathlib
import random
import sys
import time

# (folder, name shown, language code)
SETS = [
    ("inspec", "Inspec", "en"),
    ("semeval2017", "SemEval2017", "en"),
    ("kpcrowd500", "KPCrowd", "en"),
    ("wikinews_fr", "WikiNews-fr", "fr"),
    ("pt_bn_kp110", "PT-BN-KP", "pt"),
    ("nguyen2007", "Nguyen2007", "en"),
    ("theses100", "Theses100", "en"),
]
KS = (5, 10)
TOP = 10


def load_set(data_dir, folder, sample=None, seed=13):
    """[(doc id, text, [gold keys])] sorted by id; a random sample of `sample` documents if set."""
    root = pathlib.Path(data_dir) / folder
    ids = sorted(p.stem for p in (root / "docs").glob("*.txt"))
    if sample is not None and sample < len(ids):
        ids = sorted(random.Random(seed).sample(ids, sample))
    docs = []
    for doc_id in ids:
        text = (root / "docs" / f"{doc_id}.txt").read_text(encoding="utf-8")
        key_file = root / "keys" / f"{doc_id}.key"
        keys = key_file.read_text(encoding="utf-8").splitlines() if key_file.exists() else []
        docs.append((doc_id, text, [k for k in keys if k.strip()]))
    return docs


class Matcher:
    """Normal form of a phrase: lower-cased, blanks collapsed, every word stemmed."""

    def __init__(self, language):
        try:
            from nltk.stem import PorterStemmer, SnowballStemmer
        except ImportError:
            sys.exit("nltk is needed for the stemmers: run with /work/peers/bin/python")
        stemmer = (PorterStemmer() if language == "en" else
                   SnowballStemmer({"fr": "french", "pt": "portuguese"}[language]))
        self._stem = functools.lru_cache(maxsize=None)(stemmer.stem)

    def normal(self, phrase):
        return " ".join(self._stem(w) for w in phrase.lower().split())


class Score:
    """Running sums of one system on one set."""

    def __init__(self):
        self.matched = {k: 0 for k in KS}
        self.returned = {k: 0 for k in KS}
        self.gold = 0
        self.seconds = 0.0

    def add(self, matcher, returned, gold):
        gold_set = {matcher.normal(g) for g in gold}
        gold_set.discard("")
        self.gold += len(gold_set)
        normal = [matcher.normal(p) for p in returned[:TOP]]
        for k in KS:
            top = normal[:k]
            self.returned[k] += len(top)
            self.matched[k] += len(gold_set & set(top))

    def prf(self, k):
        p = self.matched[k] / self.returned[k] if self.returned[k] else 0.0
        r = self.matched[k] / self.gold if self.gold else 0.0
        f = 2 * p * r / (p + r) if p + r else 0.0
        return 100 * p, 100 * r, 100 * f


def evaluate(docs, language, extract):
    """Score of extract(text, language code) -> list of phrases over docs."""
    matcher = Matcher(language)
    score = Score()
    for _, text, gold in docs:
        start = time.perf_counter()
        returned = extract(text, language)
        score.seconds += time.perf_counter() - start
        score.add(matcher, returned, gold)
    return score


def print_table(results, set_names):
    """results: {system: {set name: Score}}"""
    header = f"{'system':<28}" + "".join(f"| {name:^34}" for name in set_names)
    print(header)
    sub = f"{'':<28}" + "".join(
        f"| {'P@5':>5} {'R@5':>5} {'F@5':>5} {'P@10':>5} {'R@10':>5} {'F@10':>5}"
        for _ in set_names)
    print(sub)
    for system, by_set in results.items():
        row = f"{system:<28}"
        for name in set_names:
            s = by_set.get(name)
            if s is None:
                row += "| " + " " * 34
                continue
            cells = [v for k in KS for v in s.prf(k)]
            row += "| " + " ".join(f"{v:5.1f}" for v in cells)
        print(row, flush=True)


def add_data_arguments(parser):
    parser.add_argument("data", help="folder holding the seven gold sets")
    parser.add_argument("--sets", default=",".join(s[0] for s in SETS),
                        help="comma-separated folders to evaluate (default: all seven)")
    parser.add_argument("--kpcrowd-sample", type=int, default=None, metavar="N",
                        help="evaluate N KPCrowd documents drawn with seed 13 instead of all")


def selected_sets(args):
    wanted = set(args.sets.split(","))
    for folder, name, language in SETS:
        if folder in wanted:
            sample = args.kpcrowd_sample if folder == "kpcrowd500" else None
            shown = f"{name} ({sample})" if sample else name
            yield shown, language, load_set(args.data, folder, sample)


# ---- Kezo systems ---------------------------------------------------------------------------


def kezo_systems(kz, overrides, with_auto, pipeline_only):
    codes = {"en": kz.Language.English, "fr": kz.Language.French, "pt": kz.Language.Portuguese}

    def pipeline(auto):
        def run(text, language):
            config = kz.KeyphraseConfig()
            for name, value in overrides.items():
                setattr(config, name, type(getattr(config, name))(value))
            config.top_k = TOP
            config.language = kz.Language.Auto if auto else codes[language]
            return [k.text for k in kz.extract_keyphrases(text, config)]
        return run

    def single(algorithm, auto=False):
        def run(text, language):
            config = kz.ExtractConfig()
            config.algorithm = algorithm
            config.top_k = TOP
            config.language = kz.Language.Auto if auto else codes[language]
            return [k.text for k in kz.extract_keywords(text, config)]
        return run

    def ensemble(text, language):
        config = kz.EnsembleConfig()
        config.top_k = TOP
        config.language = codes[language]
        return [k.text for k in kz.extract_keywords_ensemble(text, config)]

    systems = {}
    if hasattr(kz, "extract_keyphrases"):
        systems["keyphrases, language given"] = pipeline(False)
        systems["keyphrases, auto"] = pipeline(True)
    if overrides or pipeline_only:
        return systems
    for name, algorithm in (("TF-IDF", kz.Algorithm.TFIDF), ("YAKE", kz.Algorithm.YAKE),
                            ("TextRank", kz.Algorithm.TextRank), ("RAKE", kz.Algorithm.RAKE)):
        systems[f"{name}, language given"] = single(algorithm)
        if with_auto:
            systems[f"{name}, auto"] = single(algorithm, True)
    systems["ensemble, language given"] = ensemble
    return systems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_data_arguments(parser)
    parser.add_argument("--auto", action="store_true",
                        help="also run the four single algorithms with Language.Auto")
    parser.add_argument("--set", action="append", default=[], metavar="FIELD=VALUE",
                        help="override a KeyphraseConfig field; only the pipeline is then run")
    parser.add_argument("--pipeline-only", action="store_true",
                        help="run the keyphrase pipeline only (language given and auto)")
    args = parser.parse_args()

    import kezo_native as kz

    import kezo  # noqa: F401  (sets the tagger directory, as every kezo user has it)

    overrides = dict(item.split("=", 1) for item in args.set)
    systems = kezo_systems(kz, overrides, args.auto, args.pipeline_only)
    results = {name: {} for name in systems}
    names = []
    for shown, language, docs in selected_sets(args):
        names.append(shown)
        for system, extract in systems.items():
            results[system][shown] = evaluate(docs, language, extract)
    print_table(results, names)


if __name__ == "__main__":
    main()
