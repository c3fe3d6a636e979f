import pytest

import kezo_native as kz

L = kz.Language


def test_stopword_conversions_and_keywords():
    assert kz.stopwords(language=L.Ewe)[11:14] == ["ƒe", "gake", "ɖe"]
    assert kz.is_stopword(L.English, "THE") and kz.is_stopword(language=L.Twi, word="saa bere no")
    kz.add_stopword(word="PyQqCustom", language=L.English)
    assert kz.stopwords(L.English)[-1] == "pyqqcustom"  # a custom word comes back as a new str

    kz.load_tenant_stopwords("py-acme", L.English, ["Widget"])
    kz.load_tenant_stopwords(tenant_id="py-acme", language=L.French, words=("truc",))
    assert kz.is_tenant_stopword("py-acme", L.English, "WIDGET")
    kz.clear_tenant_stopwords(tenant_id="py-acme", language=L.English)
    assert not kz.is_tenant_stopword("py-acme", L.English, "widget")
    assert kz.is_tenant_stopword(tenant_id="py-acme", language=L.French, word="truc")
    for call, args in ((kz.is_stopword, ("en", "the")),
                       (kz.load_tenant_stopwords, ("py-acme", L.English, "not a list"))):
        with pytest.raises(TypeError):
            call(*args)
