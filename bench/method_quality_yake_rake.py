"""The "yake" and "rake" methods beside their namesake peers: F1@10 (micro, stemmed, top ten,
language given) on the gold sets, with the protocol of keyphrase_quality.py, and the seconds
each system spent.

Side-by-side measurement only, never run in CI. Needs the peers' environment:
    PYTHONPATH=build/dev:python /work/peers/bin/python bench/method_quality_yake_rake.py DATA_DIR \
        [--systems yake,rake,yake_peer,multi_rake,rake_nltk] [--yake window=2] [--rake max_words=4]
Peers, with their documented defaults except the ten results asked for:
  yake_peer   yake.KeywordExtractor(lan, n=3, top=10)
  multi_rake  Rake(language_code=lang), first ten phrases of apply()
  rake_nltk   Rake(stopwords=..., sentence_tokenizer=..., word_tokenizer=wordpunct_tokenize):
              nltk's data cannot be downloaded here, so the stopwords are scikit-learn's English
              list (Kezo's built-in list for French and Portuguese) and sentences are split on
              . ! ? followed by a blank.
"""

import argparse
import re

from keyphrase_peers import multi_rake_peer, yake_peer
from keyphrase_quality import TOP, add_data_arguments, evaluate, selected_sets


def settings(pairs):
    out = {}
    for pair in pairs or []:
        name, value = pair.split("=")
        out[name] = float(value) if "." in value else int(value)
    return out


def kezo_method(kind, overrides):
    import kezo_native as kz
    codes = {"en": kz.Language.English, "fr": kz.Language.French, "pt": kz.Language.Portuguese}
    make, run = {
        "yake": (kz.YakeMethodConfig, kz.extract_yake_keyphrases),
        "rake": (kz.RakeMethodConfig, kz.extract_rake_keyphrases),
    }[kind]
    configs = {}

    def extract(text, language):
        if language not in configs:
            config = make()
            config.language = codes[language]
            config.top_k = TOP
            for name, value in overrides.items():
                setattr(config, name, value)
            configs[language] = config
        return [k[0] for k in run(text, configs[language])]
    return extract


def rake_nltk_peer():
    from nltk.tokenize import wordpunct_tokenize
    from rake_nltk import Rake
    rakes = {}

    def sentences(text):
        return [s for s in re.split(r"(?<=[.!?])\s+", text) if s]

    def run(text, language):
        if language not in rakes:
            if language == "en":
                from sklearn.feature_extraction.text import ENGLISH_STOP_WORDS
                stop = set(ENGLISH_STOP_WORDS)
            else:
                import kezo_native as kz
                lang = {"fr": kz.Language.French, "pt": kz.Language.Portuguese}[language]
                stop = set(kz.stopwords(lang))
            rakes[language] = Rake(stopwords=stop, sentence_tokenizer=sentences,
                                   word_tokenizer=wordpunct_tokenize)
        rake = rakes[language]
        rake.extract_keywords_from_text(text)
        return rake.get_ranked_phrases()[:TOP]
    return run


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_data_arguments(parser)
    parser.add_argument("--systems", default="yake,rake")
    parser.add_argument("--yake", nargs="*", help="YakeMethodConfig fields, name=value")
    parser.add_argument("--rake", nargs="*", help="RakeMethodConfig fields, name=value")
    args = parser.parse_args()
    makers = {
        "yake": lambda: kezo_method("yake", settings(args.yake)),
        "rake": lambda: kezo_method("rake", settings(args.rake)),
        "yake_peer": yake_peer,
        "multi_rake": multi_rake_peer,
        "rake_nltk": rake_nltk_peer,
    }
    systems = args.systems.split(",")
    rows = {name: [] for name in systems}
    names = []
    for shown, language, docs in selected_sets(args):
        names.append(shown)
        for name in systems:
            score = evaluate(docs, language, makers[name]())
            rows[name].append(f"{score.prf(10)[2]:5.1f} ({score.seconds:6.2f}s)")
    print(f"{'F1@10 (seconds)':<12}" + "".join(f"| {n:^17}" for n in names))
    for name in systems:
        print(f"{name:<12}" + "".join(f"| {cell:^17}" for cell in rows[name]), flush=True)


if __name__ == "__main__":
    main()
