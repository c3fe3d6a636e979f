import threading

import pytest

import kezo_native as kz

L = kz.Language


def test_function_docstrings():
    docs = {
        kz.is_stopword: "Return True if `word` is a stopword in `language`.",
        kz.add_stopword: "Add a custom stopword to the in-memory list for `language`.",
        kz.stopwords: "Get the list of stopwords for `language` (list of str).",
        kz.load_tenant_stopwords: "Replace tenant-specific stopwords for a language.",
        kz.clear_tenant_stopwords: "Clear tenant-specific stopwords for a language.",
        kz.is_tenant_stopword: "Return True if word is a tenant-specific stopword.",
    }
    for func, doc in docs.items():
        assert doc in func.__doc__, func.__name__


def test_builtin_lists_and_lookup():
    english = kz.stopwords(L.English)
    assert english[:3] == ["a", "about", "above"] and "yourselves" in english
    assert kz.stopwords(L.Auto) == english
    assert kz.stopwords(language=L.Fante)[:38][-1] == "yɛn"
    assert len(kz.stopwords(L.Ga)) >= 37 and kz.stopwords(L.Ga)[:2] == ["a", "akɛ"]
    assert kz.is_stopword(L.English, "THE")
    assert kz.is_stopword(L.Ewe, "ƒe") and kz.is_stopword(L.Ewe, "ŋu")
    assert kz.is_stopword(L.Indonesian, "dari mana")
    assert not kz.is_stopword(L.French, "été") and kz.is_stopword(L.French, "ete")
    assert kz.is_stopword(language=L.German, word="")
    with pytest.raises(TypeError):
        kz.is_stopword("en", "the")


def test_custom_additions_are_process_wide():
    kz.add_stopword(L.Auto, "PyQqCustom")
    assert kz.stopwords(L.English)[-1] == "pyqqcustom"
    seen = []
    t = threading.Thread(target=lambda: seen.append(kz.is_stopword(L.English, "pyqqcustom")))
    t.start()
    t.join()
    assert seen == [True]
    assert not kz.is_stopword(L.Dutch, "pyqqcustom")


def test_tenant_stopwords():
    kz.load_tenant_stopwords("py-acme", L.English, ["Widget", "gadget"])
    assert kz.is_tenant_stopword("py-acme", L.English, "WIDGET")
    assert not kz.is_tenant_stopword("PY-ACME", L.English, "widget")
    assert not kz.is_tenant_stopword("py-acme", L.English, "")
    # Tenant words count only where that tenant is active (extraction calls), not here.
    assert not kz.is_stopword(L.English, "widget")

    kz.load_tenant_stopwords(tenant_id="py-acme", language=L.French, words=("truc",))
    kz.load_tenant_stopwords("py-acme", L.English, ["sprocket"])
    assert not kz.is_tenant_stopword("py-acme", L.English, "widget")
    assert kz.is_tenant_stopword("py-acme", L.English, "sprocket")

    kz.clear_tenant_stopwords("py-acme", L.English)
    assert not kz.is_tenant_stopword("py-acme", L.English, "sprocket")
    assert kz.is_tenant_stopword("py-acme", L.French, "truc")

    kz.load_tenant_stopwords("", L.English, ["pyqqempty"])
    assert not kz.is_tenant_stopword("", L.English, "pyqqempty")
    with pytest.raises(TypeError):
        kz.load_tenant_stopwords("py-acme", L.English, "not a list")
