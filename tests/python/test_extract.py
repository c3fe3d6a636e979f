import concurrent.futures
import math
import threading
import types

import pytest

import kezo_native as kz

EN = kz.Language.English
A = kz.Algorithm
TEXT = (
    "Deep learning models need large training data. Deep learning models are popular, "
    "and training data for deep learning is expensive to label by hand."
)
SOLAR = (
    "Solar panels convert sunlight into electricity. Cheap solar panels need regular "
    "maintenance, and old solar panels lose efficiency in hot weather."
)


def tokens(text=TEXT):
    return kz.tokenize(text)


def near(value):
    return pytest.approx(value, abs=1e-12)


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
    corpus = [tokens("big data and big data"), tokens("big data"), tokens("data")]
    assert kz.build_corpus_df(corpus, EN) == {"big": 2, "data": 3}  # unigrams by default
    assert kz.build_corpus_df(corpus, EN, 2, 2) == {"big data": 2}


def test_tfidf_document_frequency_conversions():
    toks = tokens("alpha beta alpha")
    config = kz.TFIDFConfig()
    config.total_documents, config.max_n = 10, 1

    def scores(*df):
        return {k.text: k.score for k in kz.tfidf_extract(toks, EN, config, *df)}

    # No table (absent or None) scores within the document; an empty table is a table in which
    # every candidate is unseen in a corpus of 10.
    unseen = math.log(11) + 1
    assert scores() == scores(None) and scores()["beta"] == near(math.log(2) + 1)
    assert scores({})["beta"] == near(unseen)
    alpha = (math.log(11 / 4) + 1) * (1 + math.log(2))
    # Any mapping or iterable of pairs is read through dict(); a generator can be read once only.
    for table in ({"alpha": 3}, [("alpha", 3)], types.MappingProxyType({"alpha": 3}),
                  (pair for pair in [("alpha", 3)])):
        assert scores(table) == near({"alpha": alpha, "beta": unseen})
    for bad in ({1: 3}, {"alpha": -1}, {"alpha": 2**32}, {"alpha": "3"}, {"alpha": 1.5}):
        with pytest.raises(TypeError):
            scores(bad)
    with pytest.raises((TypeError, ValueError)):
        scores([1, 2, 3])
    assert scores({"alpha": 2**32 - 1})  # the largest count works


def test_released_calls_run_in_parallel_threads_under_their_own_tenants():
    # Every call that releases the lock runs on three threads at once, each thread under its own
    # tenant: results equal the serial ones, and no tenant's stopwords reach another thread or a
    # later call without a tenant.
    hidden = {"py-conc-a": "solar", "py-conc-b": "panels", "py-conc-c": "sunlight"}
    for tenant, word in hidden.items():
        kz.load_tenant_stopwords(tenant, EN, [word])
    toks = tokens(TEXT * 200)
    expected = {run: [(k.text, k.score) for k in run(toks, EN)]
                for run in (kz.yake_extract, kz.textrank_extract, kz.rake_extract)}
    barrier, failures = threading.Barrier(len(hidden)), []

    def worker(tenant):
        single, ensemble = kz.ExtractConfig(), kz.EnsembleConfig()
        for config in (single, ensemble):
            config.tenant_id, config.language, config.top_k = tenant, EN, 0
        barrier.wait()
        for round in range(12):
            single.algorithm = (A.TFIDF, A.YAKE, A.TextRank, A.RAKE)[round % 4]
            for result in (kz.extract_keywords(SOLAR, single),
                           kz.extract_keywords_ensemble(SOLAR, ensemble)):
                words = {w for k in result for w in k.text.split()}
                failures.extend((tenant, w) for w in hidden.values()
                                if (w in words) == (w == hidden[tenant]))
            run, want = list(expected.items())[round % 3]
            if [(k.text, k.score) for k in run(toks, EN)] != want:
                failures.append((tenant, run.__name__))

    with concurrent.futures.ThreadPoolExecutor(len(hidden)) as pool:
        list(pool.map(worker, hidden))  # raises what a worker raised
    assert failures == []
    assert "solar" in {k.text for k in kz.extract_keywords(SOLAR)}


def test_released_calls_read_a_copy_of_their_configuration():
    # Another thread rewrites the configuration while calls run without the lock: each call
    # must see one whole tenant id, never a mix of the two. Language detection runs before the
    # tenant is read, which gives the writer time to get going.
    tenants = ("copy-tenant-" + "a" * 20000, "copy-tenant-" + "b" * 20000)
    kz.load_tenant_stopwords(tenants[0], EN, ["learning"])
    kz.load_tenant_stopwords(tenants[1], EN, ["training"])
    config = kz.ExtractConfig()
    config.algorithm, config.top_k, config.tenant_id = A.RAKE, 0, tenants[0]
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


def test_a_fault_inside_the_core_is_reported_as_one():
    # While this text overran a reserve() it must read as kezo's fault, not as a bad argument.
    try:
        config = kz.KeyphraseConfig(language=kz.Language.French, max_words=8)
        kz.extract_keyphrases("ederlet九大ederlet九八ederlet九", config)
    except RuntimeError as error:
        assert "std::length_error" in str(error) and "fault in kezo" in str(error)
