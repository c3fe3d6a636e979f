#!/usr/bin/env python3
"""Chooses the decision constants of language identification on the tuning half of the held-out
text, and shows what they give on the other half.

Usage: python3 scripts/tune_language_model.py DATA_DIR [--model PATH]

Scores every held-out text once with the trained model (the Python mirror of the library's
scan), then sweeps the temperature, the bias of the unsupported classes and the least
confidence and fit of an answer. The tuning half is every second held-out block (and every
second held-out unsupported language); the figures of bench/language_id_accuracy.py come from
the library on all of it.
"""

from __future__ import annotations

import argparse
import collections
import itertools
import pickle
import pathlib
import sys
import unicodedata
import zlib

import numpy as np

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import langid_corpus as corpus  # noqa: E402
import train_language_model as trainer  # noqa: E402


def script_guess(text: str) -> str:
    """The answer of the script rules alone: "" when the modelled scripts hold most letters."""
    counts = collections.Counter()
    for ch in text:
        cp = ord(ch)
        name = unicodedata.name(ch, "")
        if 0x3040 <= cp <= 0x30FF:
            counts["kana"] += 1
        elif "CJK" in name:
            counts["han"] += 3
        elif "HANGUL" in name:
            counts["ko"] += 3
        elif trainer.script(cp) in ("latin", "cyrillic", "arabic"):
            counts["model"] += 1
        elif trainer.script(cp) == "other":
            counts["und"] += 1
    if not counts:
        return "und"
    top = max(counts, key=counts.__getitem__)
    if top in ("han", "kana"):
        return "ja" if counts["kana"] > 0.1 * (counts["han"] / 3 + counts["kana"]) else "zh"
    return "" if top == "model" else top



# The languages learnt from little text, whose lead over the unsupported classes is smaller.
LITTLE_TEXT = ("ak", "gaa", "ee", "ha", "fat")


def tuning_half(key: str) -> bool:
    return zlib.crc32(key.encode()) % 2 == 0


class Scored:
    """Raw scores of held-out texts as matrices (texts x classes): the log-likelihood on all
    orders and on the rejection orders; the script rules' answer where they decide."""

    def __init__(self, model: trainer.Model, units: list[corpus.Unit]):
        self.classes = model.classes
        self.supported = sum(c in trainer.SUPPORTED for c in model.classes)
        self.units = [u for u in units if corpus.band(u.text) != "tiny"]
        full, rejection, counts = [], [], []
        for u in self.units:
            f, r = model.scores(u.text)
            full.append(f)
            rejection.append(r)
            counts.append(model.last_rejection_features)
        self.full, self.rejection = np.array(full), np.array(rejection)
        self.rejection_features = np.array(counts, dtype=float)
        self.script = [script_guess(u.text) for u in self.units]

    def decide(self, language_t: float, rejection_t: float, bias: float, per_feature: float = 0,
               per_feature_little: float | None = None):
        """(guess, confidence) of every text, as the library decides: undetermined when an
        unsupported class, with `bias` added, scores above every supported one; else the best
        supported language, its confidence its probability among the supported ones times the
        logistic of the supported class's lead over the unsupported."""
        z = self.full[:, :self.supported] / language_t
        p = np.exp(z - z.max(axis=1, keepdims=True))
        p /= p.sum(axis=1, keepdims=True)
        best = p.argmax(axis=1)
        little = np.array([self.classes[b] in LITTLE_TEXT for b in best])
        if per_feature_little is None:
            per_feature_little = per_feature
        lead = self.rejection[:, :self.supported].max(axis=1) - \
            self.rejection[:, self.supported:].max(axis=1) - bias - \
            np.where(little, per_feature_little, per_feature) * self.rejection_features
        in_supported = 1 / (1 + np.exp(-np.clip(lead / rejection_t, -50, 50)))
        confidence = p[np.arange(len(best)), best] * in_supported
        for i, script in enumerate(self.script):
            if script:
                yield script, 1.0
            elif lead[i] < 0:
                yield "und", 0.0
            else:
                yield self.classes[best[i]], float(confidence[i])

    def rejected_by(self, i: int) -> str:
        return self.classes[int(self.rejection[i].argmax())]


def table(scored: Scored, decisions, keep) -> dict[str, tuple[int, int]]:
    right, total = collections.Counter(), collections.Counter()
    for unit, (guess, _) in zip(scored.units, decisions):
        if not keep(unit):
            continue
        group = "und" if unit.language == "und" else \
            "big" if unit.language in "en es fr de it pt nl id ru ar zh ja ko".split() \
            else unit.language
        key = (group, corpus.band(unit.text))
        total[key] += 1
        right[key] += guess == unit.language
        side = "supported" if unit.language != "und" else "und"
        total[(side, "any")] += 1
        right[(side, "any")] += guess == unit.language
        if side == "supported":
            right[("false-und", "any")] += guess == "und"
            total[("false-und", "any")] += 1
    return {f"{g}/{b}": (right[(g, b)], n) for (g, b), n in sorted(total.items())}


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data_dir", type=pathlib.Path)
    parser.add_argument("--extra", type=pathlib.Path, help="evaluation-only <code>_*.txt files")
    parser.add_argument("--cache", help="keep the scores here for a rerun on the same model")
    args = parser.parse_args()
    train, held = corpus.supported_split(args.data_dir)
    other_train, other_seen, other_unseen = corpus.other_split(args.data_dir)
    model = trainer.Model(trainer.training_classes(train, other_train))
    if args.extra:
        for path in sorted(args.extra.glob("*_*.txt")):
            code = path.stem.split("_")[0]
            held += [corpus.Unit(code, path.name, b) for b in corpus.blocks(path, code)]
    units = [(u, tuning_half(u.source + u.text[:200])) for u in held + other_seen] + \
        [(u, tuning_half(u.source)) for u in other_unseen]
    expanded = []
    for unit, is_tune in units:
        for e in corpus.eval_units([unit]):
            expanded.append((e, is_tune))
    cache = pathlib.Path(args.cache) if args.cache else None
    if cache and cache.exists():
        scored = pickle.loads(cache.read_bytes())
    else:
        scored = Scored(model, [e for e, _ in expanded])
        if cache:
            cache.write_bytes(pickle.dumps(scored))
    expanded = [(u, t) for (u, t), _ in zip(expanded, range(len(expanded)))]
    flags = {(u.source, u.text): t for u, t in expanded}
    tuning = {id(u) for u in scored.units if flags[(u.source, u.text)]}
    best = None
    for bias, per_feature, little in itertools.product((0.0, 4.0), (0.1, 0.2, 0.3),
                                                       (0.0, 0.05, 0.1, 0.2)):
        t = table(scored, list(scored.decide(4.0, 4.0, bias, per_feature, little)),
                  lambda u: id(u) in tuning)
        sup = t["supported/any"][0] / t["supported/any"][1]
        und = t["und/any"][0] / t["und/any"][1]
        false_und = t["false-und/any"][0] / t["false-und/any"][1]
        worst = min(t[k][0] / t[k][1] for k in t if k.split("/")[1] == "short"
                    and k.split("/")[0] in ("big", "ha", "ak", "gaa", "ee"))
        print(f"bias={bias}+{per_feature}/feature ({little}): supported {sup:.4f}, false und "
              f"{false_und:.4f}, und {und:.4f}, worst short {worst:.4f}", flush=True)
        if false_und <= 0.01 and (best is None or und + sup + worst > best[0]):
            best = (und + sup + worst, bias, per_feature, little)
    print("best on the tuning half:", best)
    _, bias, per_feature, little = best
    # The temperatures change no answer, only the confidences: the pair whose confidences best
    # match the tuning half's accuracy (expected calibration error).
    errors = {}
    for temperatures in itertools.product((8.0, 16.0, 24.0, 32.0, 48.0), (4.0, 8.0, 12.0, 16.0)):
        bins = collections.defaultdict(list)
        for u, (g, c) in zip(scored.units, scored.decide(*temperatures, bias, per_feature, little)):
            if g != "und" and id(u) in tuning:
                bins[min(9, int(c * 10))].append((c, g == u.language))
        n = sum(len(v) for v in bins.values())
        errors[temperatures] = sum(abs(sum(c for c, _ in v) - sum(r for _, r in v))
                                   for v in bins.values()) / n
    language_t, rejection_t = min(errors, key=errors.__getitem__)
    print("calibration error by temperatures:", {k: round(v, 4) for k, v in errors.items()})
    print("chosen:", language_t, rejection_t, bias, per_feature, little)
    decisions = list(scored.decide(language_t, rejection_t, bias, per_feature, little))
    t = table(scored, decisions, lambda u: id(u) not in tuning)
    for key, (r, n) in t.items():
        print(f"  {key:20s} {100 * r / n:6.2f} % of {n}")
    rejected = collections.Counter(
        scored.rejected_by(i) for i, (u, (g, _)) in enumerate(zip(scored.units, decisions))
        if u.language != "und" and g == "und")
    print("supported text rejected by:", rejected.most_common(20))
    # Calibration on the evaluation half: accuracy of the answers by confidence.
    bins = collections.Counter()
    for u, (g, c) in zip(scored.units, decisions):
        if g != "und" and id(u) not in tuning:
            bins[(min(9, int(c * 10)), g == u.language)] += 1
    for d in range(10):
        n = bins[(d, True)] + bins[(d, False)]
        if n:
            print(f"  confidence {d / 10:.1f}: {100 * bins[(d, True)] / n:6.2f} % right of {n}")


if __name__ == "__main__":
    main()
