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


def test_stopword_lists_and_custom_words():
    english = kz.stopwords(L.English)
    assert english[:3] == ["a", "about", "above"] and english[126] == "yourselves"
    assert kz.stopwords(language=L.Ewe)[11:14] == ["ƒe", "gake", "ɖe"]
    assert kz.is_stopword(L.English, "THE") and kz.is_stopword(language=L.Twi, word="saa bere no")
    assert not kz.is_stopword(L.French, "été")

    kz.add_stopword(L.Auto, "PyQqCustom")
    assert kz.stopwords(L.English)[-1] == "pyqqcustom"
    assert kz.is_stopword(L.English, "pyqqcustom") and not kz.is_stopword(L.Dutch, "pyqqcustom")
    with pytest.raises(TypeError):
        kz.is_stopword("en", "the")


def test_tenant_stopwords():
    kz.load_tenant_stopwords("py-acme", L.English, ["Widget", "gadget"])
    assert kz.is_tenant_stopword("py-acme", L.English, "WIDGET")
    assert not kz.is_tenant_stopword("PY-ACME", L.English, "widget")
    assert not kz.is_stopword(L.English, "widget")  # no tenant is active outside extraction

    kz.load_tenant_stopwords(tenant_id="py-acme", language=L.French, words=("truc",))
    kz.clear_tenant_stopwords("py-acme", L.English)
    assert not kz.is_tenant_stopword("py-acme", L.English, "gadget")
    assert kz.is_tenant_stopword(tenant_id="py-acme", language=L.French, word="truc")
    with pytest.raises(TypeError):
        kz.load_tenant_stopwords("py-acme", L.English, "not a list")
