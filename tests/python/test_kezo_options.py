import json
import math

import pytest

import kezo
from kezo._extraction import NativeRun
import kezo_native as kz

L = kz.Language
A = kz.Algorithm
TEXT = (
    "Solar panels convert sunlight into electricity. Cheap solar panels need regular "
    "maintenance, and old solar panels lose efficiency in hot weather."
)
ZERO_WEIGHTS = dict.fromkeys(("tfidf", "yake", "textrank", "rake"), 0)

# Every bad option fails before the core runs, naming the option, the value and the range.
BAD_OPTIONS = [
    (dict(top_k=-1), ValueError, ["top_k", "-1", "0 to 4294967295"]),
    (dict(top_k=True), TypeError, ["top_k", "True"]),
    (dict(top_k=2**32), ValueError, ["top_k", "4294967296"]),
    (dict(max_n=4294967295), ValueError, ["max_n", "4294967295", "1 to 8"]),
    (dict(max_n=2.0), TypeError, ["max_n", "2.0"]),
    (dict(method="ensemble", min_n=3, max_n=2), ValueError, ["min_n=3", "max_n=2"]),
    (dict(method="textrank", damping=5), ValueError, ["damping", "5", "< 1"]),
    (dict(method="textrank", damping=math.nan), ValueError, ["damping", "nan"]),
    (dict(method="textrank", tol=0.0), ValueError, ["tol", "> 0"]),
    (dict(method="textrank", max_iter=10**6), ValueError, ["max_iter", "1 to 1000"]),
    (dict(method="yake", window=4294967295), ValueError, ["window", "1 to 10"]),
    (dict(method="ensemble", weights={"yake": math.inf}), ValueError, ["weights['yake']", "inf"]),
    (dict(method="ensemble", weights={"rake": -0.5}), ValueError, ["weights['rake']", "-0.5", ">= 0"]),
    (dict(method="ensemble", weights=ZERO_WEIGHTS), ValueError, ["weights", "above 0"]),
    (dict(method="ensemble", weights={"bm25": 1.0}), ValueError, ["bm25", "tfidf, yake"]),
    (dict(method="tfidf", df={"solar": 1}), ValueError, ["df", "total_documents"]),
    (dict(method="tfidf", df={"solar": 1}, total_documents=0), ValueError, ["total_documents"]),
    (dict(method="tfidf", df={"solar": 3}, total_documents=2), ValueError, ["df['solar']"]),
    (dict(method="rake", window=3), ValueError, ["window", "'rake'", "yake, textrank"]),
    (dict(method="lda"), ValueError, ["method", "'lda'", "textrank"]),
    (dict(language="xx"), ValueError, ["'xx'", "en, es, fr", "gaa"]),
    (dict(language=3), TypeError, ["language", "int"]),
    (dict(tenant=""), ValueError, ["tenant"]),
    (dict(stopwords="solar"), TypeError, ["stopwords", "iterable of str"]),
    (dict(stopwords=["solar", 3]), TypeError, ["stopwords[1]"]),
    (dict(method="ensemble", stopwords=["a"]), ValueError, ["stopwords", "'ensemble'"]),
    (dict(method="ensemble", tokenizer={"min_word_length": 3}), TypeError, ["tokenizer", "dict"]),
    (dict(tokenizer=kz.TokenizerConfig()), ValueError, ["tokenizer", "'keyphrase'"]),
    (dict(df=kezo.CorpusFrequencies({}, 1), total_documents=1), ValueError, ["total_documents"]),
    # Names other keyword libraries use get the option meant.
    (dict(top_n=5), TypeError, ["'top_n'", "top_k"]),
    (dict(ngram_range=(1, 2)), TypeError, ["'ngram_range'", "min_n and max_n"]),
    (dict(stop_words=["a"]), TypeError, ["'stop_words'", "stopwords"]),
    (dict(mehtod="yake"), TypeError, ["'mehtod'", "method"]),
]


@pytest.mark.parametrize("options, error, words", BAD_OPTIONS)
def test_bad_options_are_named(options, error, words):
    # The same check for every way of giving options; a failed set_params changes nothing.
    extractor = kezo.Extractor(top_k=3)
    for call in (lambda: kezo.extract(TEXT, **options), lambda: kezo.Extractor(**options),
                 lambda: extractor.set_params(**options)):
        with pytest.raises(error) as caught:
            call()
        for word in words:
            assert word in str(caught.value)
    assert repr(extractor) == "Extractor(top_k=3)" and len(extractor.extract(TEXT)) == 3


@pytest.mark.parametrize("text, error",
                         [(b"solar", TypeError), (None, TypeError), ("solar \ud800", ValueError)])
def test_text_must_be_encodable_str(text, error):
    with pytest.raises(error, match="text"):
        kezo.extract(text)


# fmt: off
SPELLINGS = [
    ("fr", L.French), ("French", L.French), ("FRENCH", L.French), (" pt-BR ", L.Portuguese),
    ("en_GB", L.English), ("gaa", L.Ga), ("ga", L.Ga), ("ak", L.Twi), ("twi", L.Twi),
    ("tw", L.Twi), ("Akan", L.Twi), ("fat", L.Fante), ("auto", L.Auto), (L.Hausa, L.Hausa),
]
# fmt: on


@pytest.mark.parametrize("spelling, language", SPELLINGS)
def test_languages_by_code_name_or_alias(spelling, language):
    assert kezo.resolve_language(spelling) == language


@pytest.mark.parametrize("method", ["tfidf", "textrank", "ensemble", "yake", "rake", "keyphrase"])
def test_every_method_scores_in_zero_to_one_best_first(method):
    got = kezo.extract(TEXT, method=method, language="en", top_k=None)
    scores = [k.score for k in got]
    assert got and all(0 <= s <= 1 for s in scores) and scores == sorted(scores, reverse=True)
    assert all(TEXT[a:b].lower().split() == k.text.lower().split() for k in got
               for a, b in k.spans)


def test_algorithm_settings_at_their_defaults_change_nothing():
    # Algorithm settings run the algorithm outside the native front end; at the front end's
    # own values the result must be the same.
    for method, settings in [("textrank", dict(window=2, damping=0.85, max_iter=100, tol=0.0001)),
                             ("yake", dict(window=1))]:
        assert kezo.extract(TEXT, method=method, **settings) == kezo.extract(TEXT, method=method)
    # A phrase common in the corpus falls in the ranking.
    def rank(**corpus):
        phrases = [k.text for k in kezo.extract(TEXT, method="tfidf", top_k=None, **corpus)]
        return phrases.index("solar panels")

    assert rank() < rank(df={"solar panel": 9}, total_documents=10)
    corpus = kezo.corpus_frequencies([TEXT] + ["Solar panels."] * 19, language="en")
    assert rank() < rank(df=corpus)


def test_tenant_stopwords_and_records():
    kezo.set_tenant_stopwords("kezo-options", ["solar"], "en")
    phrases = kezo.extract(TEXT, tenant="kezo-options", top_k=None)
    words = {w for k in phrases for w in k.text.split()}
    assert "solar" not in words and "panels" in words
    kezo.clear_tenant_stopwords("kezo-options", "en")
    phrase = kezo.extract(TEXT, top_k=1)[0]
    assert json.loads(json.dumps(phrase.to_dict()))["text"] == phrase.text
    assert {phrase, kezo.Keyphrase(*phrase)} == {phrase}
    with pytest.raises(AttributeError):
        phrase.score = 1.0  # type: ignore[misc]


def test_spans_false_leaves_only_the_offsets_out():
    texts = [TEXT, "Les panneaux solaires transforment la lumière du soleil en électricité."]
    def without(results):
        return [[k._replace(spans=()) for k in phrases] for phrases in results]
    for method in ("keyphrase", "ensemble", "tfidf", "yake", "textrank", "rake"):
        spanned = [kezo.extract(t, method=method) for t in texts]
        assert all(k.spans for phrases in spanned for k in phrases)
        assert [kezo.extract(t, method=method, spans=False) for t in texts] == without(spanned)
        assert kezo.extract_batch(texts, workers=2, method=method, spans=False) == without(spanned)
    tfidf = kezo.Extractor(method="tfidf", spans=False)
    assert tfidf.fit_extract(texts, workers=2) == without(
        kezo.Extractor(method="tfidf").fit_extract(texts, workers=2))
    assert kz.extract_rake_keyphrases(TEXT, kz.RakeMethodConfig(), None, False)[0][4] == []
    with pytest.raises(TypeError, match="spans"):
        kezo.Extractor(spans=1)


def test_batch_matches_serial_in_order(monkeypatch):
    texts = [TEXT, "", "Wind turbines spin. Wind farms grow.", "太阳能电池板把阳光转换成电能。"] * 20
    monkeypatch.setattr(NativeRun, "_CHUNK_TEXTS", 7)  # native batches end between chunks
    for method in ("keyphrase", "ensemble"):
        assert kezo.extract_batch(texts, workers=2, method=method) == [
            kezo.extract(t, method=method) for t in texts]
    serial = [kezo.extract(t, method="yake") for t in texts]
    assert kezo.extract_batch(texts, workers=3, method="yake") == serial
    assert kezo.Extractor(method="yake").extract_batch(texts, workers=2) == serial
    assert kezo.extract_batch(iter(texts[:3]), workers=1, method="yake") == serial[:3]
    with pytest.raises(TypeError, match="texts"):
        kezo.extract_batch("one text")
    with pytest.raises(TypeError, match=r"texts\[1\]"):
        kezo.extract_batch(["ok", b"bytes"])
    with pytest.raises(ValueError, match="workers"):
        kezo.extract_batch(texts, workers=0)


def test_stopword_helpers():
    assert kezo.is_stopword("le", "fr") and "the" in kezo.stopwords("English")
    kezo.add_stopwords(["kezoword"], "de")
    assert kezo.is_stopword("kezoword", "German")
    with pytest.raises(TypeError, match="words"):
        kezo.add_stopwords("word", "de")


def test_tokenizer_is_taken_for_the_ensemble_with_a_warning_that_it_does_nothing():
    text = "Release 2024 ships 64 new shaders. The 2024 engine renders 64 shaders fast."
    settings = kz.TokenizerConfig()
    settings.keep_numbers = True
    with pytest.warns(FutureWarning, match="tokenizer has no effect") as caught:
        warned = kezo.Extractor(method="ensemble", language="en", tokenizer=settings)
    assert caught[0].filename == __file__  # the caller's line, not kezo's
    assert warned.extract(text) == kezo.extract(text, method="ensemble", language="en")
