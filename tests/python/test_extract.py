import math
import threading
import types

import pytest

import kezo_native as kz

EN = kz.Language.English
TEXT = (
    "Deep learning models need large training data. Deep learning models are popular, "
    "and training data for deep learning is expensive to label by hand."
)


def tokens(text=TEXT):
    return kz.tokenize(text)


def test_algorithms_from_python():
    toks = tokens()
    for run in (kz.yake_extract, kz.textrank_extract, kz.rake_extract):
        assert 0 < len(run(toks, EN)) <= 10  # the default configuration keeps ten
    config = kz.YAKEConfig()
    config.top_k = 0
    assert len(kz.yake_extract(tokens=toks, language=EN, config=config)) > 10
    with pytest.raises(TypeError):
        kz.yake_extract("not tokens", EN)
    (kw,) = kz.yake_extract(tokens("alpha"), EN)
    assert repr(kw) == "Keyword(text='alpha', score=0.476505, count=1)"
    text, score = kw
    assert (text, score, kw.first_position) == ("alpha", kw.score, 0)


def test_build_corpus_df_defaults_to_unigrams():
    corpus = [tokens("big data and big data"), tokens("big data"), tokens("data")]
    assert kz.build_corpus_df(corpus, EN) == {"big": 2, "data": 3}
    assert kz.build_corpus_df(corpus, EN, 2, 2) == {"big data": 2}


def test_tfidf_document_frequency_conversions():
    toks = tokens("alpha beta alpha")
    config = kz.TFIDFConfig()
    config.total_documents = 10
    config.max_n = 1

    def scores(*df):
        return {k.text: k.score for k in kz.tfidf_extract(toks, EN, config, *df)}

    # No table (absent or None) scores within the document; an empty table is a table in which
    # every candidate is unseen in a corpus of 10.
    assert scores() == scores(None)
    assert scores()["beta"] == pytest.approx(math.log(2) + 1, abs=1e-12)
    assert scores({})["beta"] == pytest.approx(math.log(11) + 1, abs=1e-12)
    expected = (math.log(11 / 4) + 1) * (1 + math.log(2))
    for table in (
        {"alpha": 3},
        [("alpha", 3)],
        types.MappingProxyType({"alpha": 3}),
        (pair for pair in [("alpha", 3)]),
    ):
        got = scores(table)  # the generator can be read once only
        assert got["alpha"] == pytest.approx(expected, abs=1e-12)
        assert got["beta"] == pytest.approx(math.log(11) + 1, abs=1e-12)
    for bad in ({1: 3}, {"alpha": -1}, {"alpha": 2**32}, {"alpha": "3"}, {"alpha": 1.5}):
        with pytest.raises(TypeError):
            scores(bad)
    with pytest.raises((TypeError, ValueError)):
        scores([1, 2, 3])
    assert scores({"alpha": 2**32 - 1})  # the largest count works


def test_released_calls_run_in_parallel_threads():
    toks = tokens(TEXT * 200)
    expected = {
        run: [(k.text, k.score) for k in run(toks, EN)]
        for run in (kz.yake_extract, kz.textrank_extract, kz.rake_extract)
    }
    barrier, results = threading.Barrier(2), []

    def worker():
        barrier.wait()
        for _ in range(3):
            for run, want in expected.items():
                results.append([(k.text, k.score) for k in run(toks, EN)] == want)

    threads = [threading.Thread(target=worker) for _ in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert len(results) == 18 and all(results)  # a worker that raised leaves results short


def test_released_calls_read_a_copy_of_their_configuration():
    # Another thread rewrites the configuration while calls run without the lock: each call
    # must see one whole tenant id, never a mix of the two. Language detection runs before the
    # tenant is read, which gives the writer time to get going.
    tenants = ("copy-tenant-" + "a" * 20000, "copy-tenant-" + "b" * 20000)
    kz.load_tenant_stopwords(tenants[0], EN, ["learning"])
    kz.load_tenant_stopwords(tenants[1], EN, ["training"])
    config = kz.ExtractConfig()
    config.algorithm, config.top_k, config.tenant_id = kz.Algorithm.RAKE, 0, tenants[0]
    done, mixed = threading.Event(), []

    def flip():
        while not done.is_set():
            for tenant in tenants:
                config.tenant_id = tenant

    flipper = threading.Thread(target=flip)
    flipper.start()
    try:
        for _ in range(1000):
            words = {w for k in kz.extract_keywords(TEXT, config) for w in k.text.split()}
            if ("learning" in words) == ("training" in words):
                mixed.append(words)
    finally:
        done.set()
        flipper.join()
    assert mixed == []
