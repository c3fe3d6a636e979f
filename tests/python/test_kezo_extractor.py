import concurrent.futures
import gc
import pickle

import pytest

import kezo
import kezo_native as kz
from kezo._plans import OPTIONS, Options

TEXTS = [
    "Solar panels convert sunlight into electricity. Cheap solar panels need regular "
    "maintenance, and old solar panels lose efficiency in hot weather.",
    "Les panneaux solaires transforment la lumière du soleil en électricité.",
    "Wind turbines spin in strong wind. Wind farms grow along the coast.",
    "太阳能电池板把阳光转换成电能。",
]


def plain(results):
    return [[(k.text, k.score, k.count) for k in phrases] for phrases in results]


def test_options_live_in_one_table():
    assert [o.name for o in OPTIONS] == list(Options.__annotations__)
    assert all(f"    {o.name}:" in kezo.Extractor.__doc__ for o in OPTIONS)
    params = kezo.Extractor(method="yake", top_k=3).get_params()
    assert list(params) == [o.name for o in OPTIONS]
    assert (params["method"], params["top_k"], params["window"]) == ("yake", 3, None)


def test_params_repr_and_pickle():
    extractor = kezo.Extractor(method="textrank", top_k=10, window=4, language="en")
    assert repr(extractor) == (  # top_k 10 is the default
        "Extractor(method='textrank', window=4, language='en')")
    before = extractor.extract(TEXTS[0])
    assert extractor.set_params(top_k=2) is extractor and extractor.extract(TEXTS[0]) == before[:2]
    twin = pickle.loads(pickle.dumps(extractor))
    assert repr(twin) == repr(extractor) and twin.extract(TEXTS[0]) == before[:2]
    assert kezo.Extractor(**twin.get_params()).extract(TEXTS[0]) == before[:2]


def test_fit_learns_the_corpus_of_the_default_method():
    corpus = TEXTS * 3 + ["Solar panels are everywhere.", "Old solar panels."] * 5
    plain_run = kezo.Extractor(top_k=None, language="en")
    fitted = kezo.Extractor(top_k=None, language="en").fit(corpus, workers=2)
    learned = fitted.get_params()["df"]
    assert learned.documents == len(corpus) and "<CorpusFrequencies" in repr(fitted)
    assert learned == kezo.corpus_frequencies(corpus, language="en", max_n=4, workers=1)
    assert pickle.loads(pickle.dumps(learned)) == learned
    # Every stopword-bounded run counts, verbs inside too: "tfidf" offers such phrases.
    assert learned[kz.keyphrase_stem_key("panels lose efficiency", kz.Language.English)] == 3
    # A phrase found in many documents of the corpus loses ground to the others.
    def lead(extractor):
        scores = {k.text: k.score for k in extractor.extract(TEXTS[0])}
        return scores["solar panels"] / scores["hot weather"]

    assert lead(fitted) < lead(plain_run)
    assert fitted.extract(TEXTS[0]) == kezo.extract(TEXTS[0], top_k=None, language="en",
                                                    df=learned)
    with pytest.raises(ValueError, match="'yake'"):
        kezo.Extractor(method="yake").fit(corpus)
    with pytest.raises(ValueError, match="texts"):
        kezo.Extractor().fit([])


@pytest.mark.parametrize("workers", [1, 2])
def test_fit_extract_weighs_a_corpus_against_itself(workers):
    corpus = TEXTS * 2 + ["Solar panels are everywhere.", "Old solar panels age."] * 3
    options = dict(method="tfidf", top_k=None, language="auto", stopwords=["weather"])
    fitted = kezo.Extractor(**options).fit(corpus, workers=workers)
    expected = fitted.extract_batch(corpus, workers=1)
    assert expected != kezo.Extractor(**options).extract_batch(corpus)  # the corpus counts
    once = kezo.Extractor(**options)
    assert once.fit_extract(iter(corpus), workers=workers) == expected
    assert gc.isenabled()  # held off while the records were made, and on again
    gc.disable()
    try:
        once.fit_extract(corpus, workers=workers)
        assert not gc.isenabled()  # and left off where it was off
    finally:
        gc.enable()
    assert once.get_params()["df"] == fitted.get_params()["df"]
    assert once.get_params()["df"].max_n == 3 and not any(
        "weather" in k for k in once.get_params()["df"])
    assert pickle.loads(pickle.dumps(once)).extract(corpus[0]) == expected[0]
    keyphrase = kezo.Extractor(language="en")
    assert keyphrase.fit_extract(corpus) == keyphrase.extract_batch(corpus)
    assert keyphrase.get_params()["df"].documents == len(corpus)
    with pytest.raises(ValueError, match="'rake'"):
        kezo.Extractor(method="rake").fit_extract(corpus)
    with pytest.raises(ValueError, match="texts"):
        kezo.Extractor(method="tfidf").fit_extract([])


@pytest.mark.parametrize("method", ["keyphrase", "rake", "textrank"])
def test_one_extractor_serves_many_threads(method):
    # Language "auto" on texts of several languages: each thread meets every language.
    extractor = kezo.Extractor(method=method, top_k=5)
    serial = plain(extractor.extract(t) for t in TEXTS)
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        rounds = list(pool.map(lambda i: plain(extractor.extract(t) for t in TEXTS), range(16)))
    assert rounds == [serial] * 16


def test_per_call_stopwords_stay_with_their_extractor():
    hidden = ["Solar", "electricity", "weather"]
    extractors = [kezo.Extractor(top_k=None, language="en", stopwords=[w]) for w in hidden]

    def words_seen(i):
        found = extractors[i % 3].extract(TEXTS[0])
        return i % 3, {w for k in found for w in k.text.lower().split()}

    with concurrent.futures.ThreadPoolExecutor(3) as pool:
        for i, seen in pool.map(words_seen, range(60)):
            assert [w.lower() in seen for w in hidden] == [j != i for j in range(3)]
    assert {"solar", "electricity"} <= {w for k in kezo.extract(TEXTS[0]) for w in k.text.split()}
    # One-pass iterables are kept, so set_params and pickling see the same words.
    once = kezo.Extractor(stopwords=(w for w in ["solar"])).set_params(top_k=3)
    assert "solar" not in repr(pickle.loads(pickle.dumps(once)).extract(TEXTS[0]))


def test_near_duplicate_threshold():
    text = TEXTS[0] + " Solar cells and solar power. Solar farms need solar panels."

    def phrases(**options):
        return [k.text for k in kezo.extract(text, language="en", top_k=None, **options)]
    # At 0.5, phrases sharing half their words in a row with a better one go too.
    shared = {"solar cells", "solar power", "solar farms"}
    strict, loose = set(phrases(near_duplicate_threshold=0.5)), set(phrases())
    assert shared <= loose and not shared & strict and "solar panels" in strict
    assert phrases(near_duplicate_threshold=1.0) == phrases()
    assert loose < set(phrases(keep_near_duplicates=True))
    for bad, error in [(1.5, ValueError), (-0.1, ValueError), ("0.5", TypeError)]:
        with pytest.raises(error, match="near_duplicate_threshold"):
            phrases(near_duplicate_threshold=bad)
    with pytest.raises(ValueError, match="keep_near_duplicates"):
        phrases(near_duplicate_threshold=0.5, keep_near_duplicates=True)
