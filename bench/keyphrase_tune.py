"""Grid search of KeyphraseConfig options over the five gold sets, with leave-one-set-out checks.

Every combination of the given values is scored with the protocol of keyphrase_quality.py
(F1@10, language given), with the scorer's weights as built (bench/keyphrase_fit.py fits them).
The table lists the best combinations by their mean F1 over the sets.
Leave-one-set-out: for each set, the combination with the best mean over the other four is
picked and its F1 on the held-out set is compared with the best any combination reaches there;
a small gap means the choice carries to a set it was not chosen on.

    PYTHONPATH=build/dev /work/peers/bin/python bench/keyphrase_tune.py DATA_DIR \
        --grid max_words=3,4,5 --grid allow_connectors=0,1 --grid keep_numbers=0,1 [--top 15]
"""

import argparse
import itertools

from keyphrase_quality import TOP, Matcher, Score, add_data_arguments, selected_sets


def parse_grid(items, kz):
    grid = {}
    defaults = kz.KeyphraseConfig()
    for item in items:
        name, values = item.split("=", 1)
        kind = type(getattr(defaults, name))
        if kind is bool:
            grid[name] = [v.lower() in ("1", "true", "yes") for v in values.split(",")]
        else:
            grid[name] = [kind(v) for v in values.split(",")]
    return grid


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_data_arguments(parser)
    parser.add_argument("--grid", action="append", default=[], metavar="FIELD=V1,V2,...")
    parser.add_argument("--top", type=int, default=15, help="combinations listed")
    args = parser.parse_args()

    import kezo_native as kz
    codes = {"en": kz.Language.English, "fr": kz.Language.French, "pt": kz.Language.Portuguese}
    grid = parse_grid(args.grid, kz)
    sets = []
    for shown, language, docs in selected_sets(args):
        matcher = Matcher(language)
        sets.append((shown, language, docs, matcher))

    names = [s[0] for s in sets]
    rows = []
    keys = list(grid)
    for values in itertools.product(*(grid[k] for k in keys)):
        combo = dict(zip(keys, values))
        f1 = []
        for _, language, docs, matcher in sets:
            config = kz.KeyphraseConfig()
            for name, value in combo.items():
                setattr(config, name, value)
            config.top_k = TOP
            config.language = codes[language]
            score = Score()
            for _, text, gold in docs:
                score.add(matcher, [k.text for k in kz.extract_keyphrases(text, config)], gold)
            f1.append(score.prf(10)[2])
        rows.append((combo, f1))
        print(" ".join(f"{k}={v}" for k, v in combo.items()), " ".join(f"{x:5.1f}" for x in f1),
              f"mean {sum(f1) / len(f1):5.2f}", flush=True)

    print("\nbest by mean F1@10:", " | ".join(names))
    rows.sort(key=lambda r: -sum(r[1]))
    for combo, f1 in rows[:args.top]:
        print(f"{sum(f1) / len(f1):6.2f} ", " ".join(f"{x:5.1f}" for x in f1), " ",
              " ".join(f"{k}={v}" for k, v in combo.items()))

    if len(sets) > 1:
        print("\nleave one set out: chosen on the others -> held-out F1 (best possible there)")
        for i, name in enumerate(names):
            chosen = max(rows, key=lambda r: sum(r[1]) - r[1][i])
            best = max(r[1][i] for r in rows)
            print(f"{name:>14}: {chosen[1][i]:5.1f} ({best:5.1f})  ",
                  " ".join(f"{k}={v}" for k, v in chosen[0].items()))


if __name__ == "__main__":
    main()
