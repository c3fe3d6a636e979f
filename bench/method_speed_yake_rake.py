"""Seconds for the "yake" and "rake" methods through kezo.Extractor beside their namesake peers
on one gold set (Inspec by default), side by side in one process; best of three passes.

Measurement only, never run in CI. Needs the peers' environment:
    PYTHONPATH=build/dev:python /work/peers/bin/python bench/method_speed_yake_rake.py DATA_DIR
Peers as in method_quality_yake_rake.py (yake_peer, multi_rake, rake_nltk).
"""

import argparse
import time

from keyphrase_quality import load_set
from method_quality_yake_rake import multi_rake_peer, rake_nltk_peer, yake_peer


def best_of(run, texts, passes=3):
    best = float("inf")
    for _ in range(passes):
        start = time.perf_counter()
        for text in texts:
            run(text, "en")
        best = min(best, time.perf_counter() - start)
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data", help="folder holding the gold sets")
    parser.add_argument("--set", default="inspec")
    args = parser.parse_args()
    import kezo
    texts = [text for _, text, _ in load_set(args.data, args.set)]
    # One Extractor per method: its options are checked once, not at every call.
    kezo_runs = {
        method: (lambda text, _lang, e=kezo.Extractor(method=method, language="en"): e.extract(text))
        for method in ("yake", "rake")
    }
    pairs = [("yake", "yake_peer", yake_peer()), ("rake", "multi_rake", multi_rake_peer()),
             ("rake", "rake_nltk", rake_nltk_peer())]
    ours = {method: best_of(run, texts) for method, run in kezo_runs.items()}
    print(f"{len(texts)} texts of {args.set}")
    for method, peer, run in pairs:
        theirs = best_of(run, texts)
        print(f"{method:<5} {ours[method]:7.3f} s   {peer:<11} {theirs:7.3f} s   "
              f"ratio {theirs / ours[method]:6.1f}x", flush=True)


if __name__ == "__main__":
    main()
