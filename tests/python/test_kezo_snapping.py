import pickle
import random
import string
import sys
import threading
import warnings

import pytest

import kezo
import kezo_native as kz


@pytest.fixture(autouse=True)
def policy():
    saved = kz.get_tenant_cache_policy()
    kezo.set_cache_policy(max_updates_per_minute=0)
    yield
    kz.set_tenant_cache_policy(saved)


def test_load_reports_counts_and_warns_when_terms_are_cut():
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        report = kezo.load_dictionary("kezo-snap", ["Apple", "Banana"])
    memory = kz.get_tenant_metrics("kezo-snap").memory_bytes
    assert report == ("kezo-snap", True, 2, 0, memory, False)
    kezo.set_cache_policy(max_terms_per_tenant=2)
    with pytest.warns(kezo.DictionaryWarning, match="3 of 5 terms.*max_terms_per_tenant=2"):
        report = kezo.load_dictionary("kezo-snap", ["Apple", "", "Banana", "Cherry", "Date"])
    assert (report.accepted, report.refused, report.limit_reached) == (2, 3, True)
    kezo.set_cache_policy(max_updates_per_minute=1)
    with pytest.warns(kezo.DictionaryWarning, match="rate limit"):
        assert not kezo.load_dictionary("kezo-snap", ["Apple"]).installed
    assert kezo.tenant_metrics("kezo-snap").dictionary_terms == 2


# fmt: off
BAD_CALLS = [
    (lambda: kezo.cache_policy(max_terms=5), TypeError, ["max_terms", "max_terms_per_tenant"]),
    (lambda: kezo.cache_policy(tenant_ttl_seconds=2**32), ValueError, ["tenant_ttl_seconds"]),
    (lambda: kezo.cache_policy(max_cached_tenants=-1), ValueError, ["max_cached_tenants", "-1"]),
    (lambda: kezo.cache_policy(lazy_load_on_miss=1), TypeError, ["lazy_load_on_miss"]),
    (lambda: kezo.cache_policy(max_token_length=True), TypeError, ["max_token_length"]),
    (lambda: kezo.load_dictionary("", ["a"]), ValueError, ["tenant"]),
    (lambda: kezo.load_dictionary("t", "Apple"), TypeError, ["terms", "str"]),
    (lambda: kezo.snap("t", "a", max_distance=-1), ValueError, ["max_distance", "-1"]),
]
# fmt: on


@pytest.mark.parametrize("call, error, words", BAD_CALLS)
def test_bad_service_arguments_are_named(call, error, words):
    with pytest.raises(error) as caught:
        call()
    assert all(word in str(caught.value) for word in words)


def test_policy_keywords_change_only_the_named_fields():
    before = kz.get_tenant_cache_policy()
    kezo.set_cache_policy(tenant_ttl_seconds=60, retain_sources_for_lazy_reload=True)
    after = kz.get_tenant_cache_policy()
    assert (after.tenant_ttl_seconds, after.retain_sources_for_lazy_reload) == (60, True)
    assert after.max_terms_per_tenant == before.max_terms_per_tenant


def test_snap_reports_term_distance_and_match():
    kezo.load_dictionary("kezo-snap", ["Apple", "Banana"])
    assert kezo.snap("kezo-snap", "APPLE") == ("APPLE", "Apple", 0, True)
    assert kezo.snap("kezo-snap", "aple") == ("aple", "Apple", 1, True)
    assert kezo.snap("kezo-snap", "aple", max_distance=0) == ("aple", "aple", None, False)
    long_term = "x" * 100 + "apple"  # past the trie index: scanned, at any bound
    kezo.load_dictionary("kezo-snap", [long_term, "Banana"])
    assert kezo.snap("kezo-snap", "x" * 99 + "aple", max_distance=2**31 - 1).term == long_term


def test_a_tenant_never_loaded_is_named_but_an_evicted_one_just_misses():
    for call in (lambda: kezo.snap("kezo-typo", "aple"), lambda: kezo.snap_batch("kezo-typo", ["a"])):
        with pytest.raises(LookupError, match="'kezo-typo'.*never loaded"):
            call()
    assert kz.snap_term("kezo-typo", "aple") == "aple"  # the native call stays quiet
    kezo.load_dictionary("kezo-evicted", ["Apple"])
    kezo.set_cache_policy(max_cached_tenants=1, retain_sources_for_lazy_reload=False)
    with warnings.catch_warnings():
        warnings.simplefilter("error")  # the eviction that may follow refuses no term
        assert kezo.load_dictionary("kezo-other", ["Cherry"]).accepted == 1
    assert not kezo.tenant_metrics("kezo-evicted").loaded
    assert not kezo.snap("kezo-evicted", "aple").matched
    kezo.unload_tenant("kezo-evicted")
    with pytest.raises(LookupError):
        kezo.snap("kezo-evicted", "aple")


def test_load_lets_other_threads_run_while_it_builds():
    # With a huge switch interval the main thread keeps the lock unless a call releases it, and
    # the other thread (which waits without it) counts only while the dictionary is built.
    count, stop = [0], threading.Event()
    ticks = iter(lambda: stop.wait(1e-4), True)
    ticker = threading.Thread(target=lambda: [count.append(1) for _ in ticks])
    terms = ["".join(random.Random(i).choices(string.ascii_lowercase, k=120)) for i in range(4000)]
    interval = sys.getswitchinterval()
    sys.setswitchinterval(100)
    try:
        ticker.start()
        before = len(count)
        assert kz.install_tenant_dictionary("kezo-gil", terms)
        assert len(count) > before
    finally:
        stop.set()
        ticker.join()
        sys.setswitchinterval(interval)


def test_snap_batch_matches_single_snaps():
    kezo.load_dictionary("kezo-snap", ["Apple", "Banana"])
    terms = ["aple", "bananna", "kiwi"] * 50
    expected = [kezo.snap("kezo-snap", t) for t in terms[:3]] * 50
    assert kezo.snap_batch("kezo-snap", terms, workers=2) == expected


def test_detect_and_identify_rank_languages_with_confidences():
    french = "Le chat dort sur le canapé pendant que le chien regarde le jardin."
    guesses = kezo.identify_language(french)
    assert guesses[0].code == "fr" and len(guesses) <= 3
    assert kezo.detect(french) == guesses[0] and 0 < guesses[0].confidence <= 1
    undetermined = (kz.Language.Auto, "und", "Undetermined", 0.0)
    assert kezo.detect("123 456") == kezo.detect("Watu wote wamezaliwa huru.") == undetermined
    assert pickle.loads(pickle.dumps(kezo.detect(""))).to_dict()["language"] == "und"
    with pytest.raises(ValueError, match="max_results"):
        kezo.identify_language("x", max_results=0)


def test_docstring_examples_run():
    # The examples are what help() shows; they must stay true.
    import doctest
    import importlib
    import pkgutil

    names = ["kezo"] + [f"kezo.{m.name}" for m in pkgutil.iter_modules(kezo.__path__)]
    for name in names:
        if name not in ("kezo.__main__", "kezo.dask"):  # the command line; a cluster
            assert doctest.testmod(importlib.import_module(name)).failed == 0, name
    kezo.unload_tenant("shop")
