"""Fits the keyphrase scorer's weights on the gold sets and checks them set by set.

Every candidate phrase of every document gets the features the scorer uses (printed by the
keyphrase_features tool of a bench build) and a label: does it match a gold key of its document
under the protocol of keyphrase_quality.py. A logistic regression is fitted on the five sets
together, each set weighing the same (so that no set wins by its number of candidates), with
the features standardised. The figures are F1@10 of a simulation of the pipeline's selection
(best scores first, skipping a phrase inside one already taken): on every set with the weights
fitted on all five, and leave-one-set-out, each set scored with weights fitted on the other
four. The weights are printed in the scorer's order, ready for src/keyphrase/scoring.cpp.

    PYTHONPATH=build/dev /work/peers/bin/python bench/keyphrase_fit.py DATA_DIR \
        [--tool build/dev/keyphrase_features] [--c 1.0]
"""

import argparse
import collections
import csv
import subprocess
import sys

import numpy as np

from keyphrase_quality import SETS, Matcher, load_set

LANGUAGE_VALUES = {"en": 1, "fr": 3, "pt": 6}
csv.field_size_limit(sys.maxsize)


def load(data_dir, tool):
    """{set name: (feature matrix, labels, doc ids, normal forms, {doc: gold normal forms})}"""
    out = {}
    names = None
    for folder, name, language in SETS:
        docs = load_set(data_dir, folder)
        matcher = Matcher(language)
        root = f"{data_dir}/{folder}/docs/"
        gold = {root + f"{doc_id}.txt": {matcher.normal(k) for k in keys} - {""}
                for doc_id, _, keys in docs}
        result = subprocess.run([tool, str(LANGUAGE_VALUES[language])],
                                input="\n".join(gold) + "\n", capture_output=True, text=True,
                                check=True)
        rows = list(csv.reader(result.stdout.splitlines(), delimiter="\t",
                               quoting=csv.QUOTE_NONE))
        names = rows[0][2:]
        features = np.array([[float(v) for v in r[2:]] for r in rows[1:]])
        normal = [matcher.normal(r[1]) for r in rows[1:]]
        doc = [r[0] for r in rows[1:]]
        labels = np.array([n in gold[d] for n, d in zip(normal, doc)])
        out[name] = (features, labels, doc, normal, gold)
    return out, names


def fit(data, sets, c):
    from sklearn.linear_model import LogisticRegression
    xs = [data[s][0] for s in sets]
    ys = [data[s][1] for s in sets]
    weights = np.concatenate([np.full(len(y), 1e4 / len(y)) for y in ys])
    x = np.vstack(xs)
    y = np.concatenate(ys)
    scale = x.std(axis=0)
    scale[scale == 0] = 1.0
    mean = x.mean(axis=0)
    mean[scale == 1.0] = 0.0
    model = LogisticRegression(C=c, max_iter=10000, fit_intercept=False)
    model.fit((x - mean) / scale, y, sample_weight=weights)
    w = model.coef_[0] / scale
    w[0] -= (model.coef_[0] * mean / scale).sum()  # fold the centring into the bias column
    return w


def f1_at_10(data, name, w):
    features, labels, doc, normal, gold = data[name]
    scores = features @ w
    by_doc = collections.defaultdict(list)
    for i, d in enumerate(doc):
        by_doc[d].append(i)
    matched = returned = expected = 0
    for d, rows in by_doc.items():
        rows.sort(key=lambda i: -scores[i])
        taken = []
        for i in rows:
            text = f" {normal[i]} "
            if any(text in f" {t} " for t in taken):
                continue
            taken.append(normal[i])
            if len(taken) == 10:
                break
        matched += len(set(taken) & gold[d])
        returned += len(taken)
        expected += len(gold[d])
    for d, keys in gold.items():
        if d not in by_doc:
            expected += len(keys)
    p = matched / returned if returned else 0.0
    r = matched / expected if expected else 0.0
    return 200 * p * r / (p + r) if p + r else 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data", help="folder holding the five gold sets")
    parser.add_argument("--tool", default="build/dev/keyphrase_features")
    parser.add_argument("--c", type=float, default=1.0, help="inverse regularisation strength")
    args = parser.parse_args()

    data, names = load(args.data, args.tool)
    sets = list(data)
    w = fit(data, sets, args.c)
    print("F1@10 (simulated selection)".ljust(28) + " ".join(f"{s:>12}" for s in sets))
    print("fitted on all five".ljust(28) + " ".join(f"{f1_at_10(data, s, w):12.1f}" for s in sets))
    held = [f1_at_10(data, s, fit(data, [o for o in sets if o != s], args.c)) for s in sets]
    print("fitted on the other four".ljust(28) + " ".join(f"{v:12.1f}" for v in held))
    print("\nconstexpr double kWeights[kFeatureCount] = {")
    for name, value in zip(names, w):
        print(f"    {value:+.4f},  // {name}")
    print("};")


if __name__ == "__main__":
    main()
