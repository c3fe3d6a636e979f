import multiprocessing
import random
import threading
import time

import pytest

import kezo_native as kz

DOCSTRINGS = {
    "TenantCachePolicy": "Runtime policy for tenant dictionary lifecycle/caching.",
    "TenantMetrics": "Per-tenant dictionary and snap performance metrics.",
    "load_tenant_dictionary": "Load a list of canonical terms for a tenant.",
    "unload_tenant": "Unload a tenant's dictionary.",
    "snap_term": "Snap a term to the tenant's exact canonical dictionary terms.",
    "schedule_tenant_dictionary_update":
        "Queue a tenant dictionary update for background rebuild + COW swap.",
    "set_tenant_hot": "Mark tenant as hot (excluded from TTL/LRU eviction).",
    "prewarm_tenant": "Eagerly prewarm a tenant dictionary if lazy source terms are available.",
    "set_tenant_cache_policy":
        "Set lifecycle policy (TTL/LRU caps, safeguards, lazy cache behavior).",
    "get_tenant_cache_policy": "Get current lifecycle policy.",
    "get_tenant_metrics": "Get metrics for one tenant.",
    "get_all_tenant_metrics": "Get metrics for all tenants.",
    "list_loaded_tenants": "List currently loaded tenant dictionaries.",
    "evict_tenants": "Run TTL/LRU eviction pass immediately.",
}


@pytest.fixture(autouse=True)
def relaxed_policy():
    """Each test starts without a rate limit and restores the service policy afterwards."""
    saved = kz.get_tenant_cache_policy()
    policy = kz.TenantCachePolicy()
    policy.max_updates_per_minute = 0
    kz.set_tenant_cache_policy(policy)
    yield policy
    kz.set_tenant_cache_policy(saved)


def eventually(predicate, timeout=10.0):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.005)
    return True


def test_registration_docstrings_and_metrics_record():
    names = list(vars(kz))
    registered = names[names.index("name") + 1 :][:14]
    assert registered == list(DOCSTRINGS)
    for name, doc in DOCSTRINGS.items():
        # The binding library puts a function's signature line first.
        assert getattr(kz, name).__doc__.strip().splitlines()[-1] == doc, name
    # The policy's defaults are in test_module.py's table of records.
    m = kz.TenantMetrics()
    assert (m.load_count, m.snap_latency_p95_ms, m.loaded, m.hot_tenant) == (0, 0.0, False, False)
    with pytest.raises(AttributeError):
        m.load_count = 1


def test_calls_return_copies_and_none():
    assert kz.load_tenant_dictionary("py-apple", ["Apple", "Banana"]) is None
    assert kz.load_tenant_dictionary("", ["x"]) is None  # refused all the same
    assert kz.snap_term("py-apple", "AXXLE") == "Apple"  # default distance 2
    assert kz.snap_term(tenant_id="py-apple", term="banan", max_edit_distance=1) == "Banana"
    metrics = kz.get_all_tenant_metrics()["py-apple"]
    assert (metrics.dictionary_terms, metrics.snap_count, metrics.loaded) == (2, 2, True)
    assert "py-apple" in kz.list_loaded_tenants()

    copy = kz.get_tenant_cache_policy()
    copy.max_cached_tenants = 1
    assert kz.get_tenant_cache_policy().max_cached_tenants == 0
    kz.set_tenant_hot("py-apple")
    assert kz.get_tenant_metrics("py-apple").hot_tenant
    kz.set_tenant_hot("py-apple", hot=False)
    assert not kz.get_tenant_metrics(tenant_id="py-apple").hot_tenant

    assert kz.schedule_tenant_dictionary_update("", ["x"]) is False
    assert kz.schedule_tenant_dictionary_update("py-apple", ("Apple", "Cherry")) is True
    assert eventually(lambda: kz.snap_term("py-apple", "chery") == "Cherry")
    assert kz.evict_tenants() is None
    assert kz.prewarm_tenant("py-apple") is True
    assert kz.unload_tenant("py-apple") is None
    assert kz.get_tenant_metrics("py-apple").load_count == 0


def test_detailed_and_batch_snaps():
    names = list(vars(kz))
    order = [names.index(n) for n in ("evict_tenants", "SnapMatch", "snap_term_detailed",
                                      "snap_terms")]
    assert order == sorted(order)
    for name in ("snap_term_detailed", "snap_terms"):
        assert "Args:" in getattr(kz, name).__doc__ and "Returns:" in getattr(kz, name).__doc__
    kz.load_tenant_dictionary("py-batch", ["Apple", "Banana"])
    match = kz.snap_term_detailed("py-batch", "APLE")  # default distance 2
    assert (match.term, match.distance, match.matched) == ("Apple", 1, True)
    assert repr(match) == "SnapMatch(term='Apple', distance=1, matched=True)"
    with pytest.raises(AttributeError):
        match.term = "x"

    queries = ["aple", "zzz", "bananna"] * 50
    got = kz.snap_terms(tenant_id="py-batch", terms=tuple(queries), max_edit_distance=1,
                        threads=2)
    assert [m.term for m in got] == [kz.snap_term("py-batch", q, 1) for q in queries]
    assert [(m.distance, m.matched) for m in got[:3]] == [(1, True), (-1, False), (1, True)]
    assert kz.snap_terms("py-batch", []) == []
    for bad in (dict(terms=["a", 1]), dict(terms="abc"), dict(terms=["a"], threads=-1)):
        with pytest.raises(TypeError):
            kz.snap_terms("py-batch", **bad)
    kz.unload_tenant("py-batch")


def _child_work(results):
    ok = kz.schedule_tenant_dictionary_update("py-fork-child", ["child"])
    ok = ok and eventually(lambda: kz.snap_term("py-fork-child", "chlid") == "child")
    ok = ok and eventually(lambda: kz.snap_term("py-fork-queued", "queud") == "queued")
    results.put(ok)


def test_forked_child_has_a_working_service():
    ctx = multiprocessing.get_context("fork")
    results = ctx.Queue()
    # Queued right before the fork: either the parent's worker applies it first or the child's
    # copy of the queue gets it; the child must see it either way.
    assert kz.schedule_tenant_dictionary_update("py-fork-queued", ["queued"])
    child = ctx.Process(target=_child_work, args=(results,))
    child.start()
    child.join(30)
    assert child.exitcode == 0
    assert results.get(timeout=5) is True
    kz.unload_tenant("py-fork-queued")


def test_threads_snapping_while_tenants_change(relaxed_policy):
    relaxed_policy.max_cached_tenants = 3
    relaxed_policy.retain_sources_for_lazy_reload = True
    relaxed_policy.latency_window_size = 16
    kz.set_tenant_cache_policy(relaxed_policy)
    tenants = ["py-stress-%d" % i for i in range(5)]
    words = ["harbor", "lantern", "meadow", "quartz", "saffron"]

    def version(tenant, v):
        return ["%s-%s-%d" % (w, tenant[-1], v) for w in words[: v + 1]]

    allowed = {t: {term for v in range(5) for term in version(t, v)} for t in tenants}
    errors = []
    stop = time.monotonic() + 3.0

    def reader(seed):
        rng = random.Random(seed)
        while time.monotonic() < stop:
            t = rng.choice(tenants)
            query = "%s-%s-%d" % (rng.choice(words), t[-1], rng.randrange(5))
            query = query[:2] + "x" + query[3:]
            got = kz.snap_term(t, query, rng.randrange(3))
            if got != query and got not in allowed[t]:
                errors.append((t, query, got))

    actions = [
        lambda t, rng: kz.unload_tenant(t),
        lambda t, rng: kz.evict_tenants(),
        lambda t, rng: (kz.get_all_tenant_metrics(), kz.list_loaded_tenants()),
        lambda t, rng: kz.schedule_tenant_dictionary_update(t, version(t, rng.randrange(5))),
        lambda t, rng: kz.set_tenant_hot(t, rng.random() < 0.5),
    ] + [lambda t, rng: kz.load_tenant_dictionary(t, version(t, rng.randrange(5)))] * 2

    def writer(seed):
        rng = random.Random(seed)
        while time.monotonic() < stop:
            rng.choice(actions)(rng.choice(tenants), rng)

    threads = [threading.Thread(target=reader, args=(i,)) for i in range(3)]
    threads += [threading.Thread(target=writer, args=(10 + i,)) for i in range(2)]
    for th in threads:
        th.start()
    for th in threads:
        th.join(60)
    assert not any(th.is_alive() for th in threads)
    assert errors == []

    # The last update applied for a tenant stays installed.
    relaxed_policy.max_cached_tenants = 0
    kz.set_tenant_cache_policy(relaxed_policy)
    for t in tenants:
        assert kz.schedule_tenant_dictionary_update(t, ["final-" + t])
    for t in tenants:
        assert eventually(lambda: kz.snap_term(t, "finl-" + t, 1) == "final-" + t
                          and kz.get_tenant_metrics(t).dictionary_terms == 1)
        kz.unload_tenant(t)
