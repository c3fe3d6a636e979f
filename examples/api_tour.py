"""A tour of the kezo package: every public function once, on the shipped English sample.

Usage: python examples/api_tour.py
(The test suite also type-checks this file with mypy --strict.)
"""

from __future__ import annotations

import json
import pathlib
import pickle
import warnings

import kezo


def main() -> None:
    text = pathlib.Path(__file__).with_name("sample_en.txt").read_text(encoding="utf-8")

    # Languages: codes, names and aliases; detection of a text's language.
    spelling: kezo.LanguageLike = "French"
    french: kezo.Language = kezo.resolve_language(spelling)
    print("languages:", french, kezo.resolve_language("gaa"), "codes:", " ".join(kezo.CODES))
    guess: kezo.LanguageGuess = kezo.detect(text)
    print("detected:", guess.to_dict())
    print("ranked:", [g.code for g in kezo.identify_language(text, max_results=3)])
    print("no supported language:", kezo.detect("Watu wote wamezaliwa huru.").code)  # "und"

    # Extraction: one text, then many on every core; records turn into JSON.
    phrases: list[kezo.Keyphrase] = kezo.extract(text, top_k=5)
    print(json.dumps([p.to_dict() for p in phrases[:2]]))
    print("methods:", kezo.METHODS, "default:", kezo.DEFAULT_METHOD)
    textrank = kezo.extract(text, method="textrank", window=3, damping=0.8, top_k=3)
    print("textrank:", [p.text for p in textrank])
    batches = kezo.extract_batch([text, text[:400]], method="yake", top_k=3, workers=2)
    print("batch:", [[p.text for p in batch] for batch in batches])

    # An extractor holds checked options; fitted on a corpus, it weighs phrases by their rarity.
    extractor = kezo.Extractor(top_k=3, language="en")
    paragraphs = [line for line in text.splitlines() if line.strip()]
    extractor.fit(paragraphs).set_params(top_k=4)
    corpus: kezo.CorpusFrequencies = kezo.corpus_frequencies(paragraphs, language="en", max_n=4)
    print(extractor, corpus == extractor.get_params()["df"])
    print("fitted:", [p.text for p in extractor.extract(text)], extractor.extract_batch([text]))
    assert pickle.loads(pickle.dumps(phrases)) == phrases
    print("marked:", kezo.highlight(text, phrases, before="[", after="]")[:120])
    print("words:", kezo.words(text)[:8], len(kezo.words(text, language="en")))
    tagged: list[kezo.TaggedToken] = kezo.tag(text, language="en")
    tags: list[str] = kezo.tag(["She", "reads", "."], language="en")
    assert {t.upos for t in tagged} <= set(kezo.UPOS_TAGS) and len(tags) == 3
    print("tagged:", tagged[:3], tags, kezo.tagger_languages())
    try:
        kezo.extract(text, max_n=100)
    except ValueError as error:
        print("checked:", error)

    # Stopwords: built-in, custom, and per tenant.
    print("stopwords:", len(kezo.stopwords("en")), kezo.is_stopword("the"))
    kezo.add_stopwords(["whereas"], "en")
    kezo.set_tenant_stopwords("tour", ["human"], "en")
    print("tenant:", [p.text for p in kezo.extract(text, tenant="tour", top_k=3)])
    kezo.clear_tenant_stopwords("tour", "en")

    # Tenant dictionaries: policy, loading with a report, snapping, metrics, life cycle.
    policy: kezo.TenantCachePolicy = kezo.cache_policy(max_terms_per_tenant=3)
    kezo.set_cache_policy(max_terms_per_tenant=policy.max_terms_per_tenant)
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always", kezo.DictionaryWarning)
        load: kezo.DictionaryLoad = kezo.load_dictionary(
            "tour", ["Apple", "Banana", "Cherry", "Date"]
        )
    print("load:", load.to_dict(), [str(w.message) for w in caught])
    kezo.set_tenant_hot("tour")
    result: kezo.SnapResult = kezo.snap("tour", "aple")
    print("snap:", result.to_dict(), [r.term for r in kezo.snap_batch("tour", ["bananna"])])
    metrics: kezo.TenantMetrics = kezo.tenant_metrics("tour")
    print("metrics:", metrics.dictionary_terms, metrics.memory_bytes)
    print("queued:", kezo.schedule_dictionary_update("tour", ["Apple", "Fig"]))
    kezo.unload_tenant("tour")
    print("version:", kezo.__version__, kezo.Algorithm.YAKE)
    print("caps:", kezo.MAX_PHRASE_WORDS, kezo.MAX_WINDOW, kezo.TokenizerConfig().min_word_length)


if __name__ == "__main__":
    main()
