# Strings the module stores must be valid UTF-8: malformed bytes raise, naming the argument,
# before anything is kept, so every function that returns stored strings keeps working.
import pytest

import kezo_native as kz

EN = kz.Language.English
# Malformed, surrogate, overlong, cut short, above U+10FFFF.
BAD = (b"\xff\xfe", b"appl\xff", b"appl\xed\xa0\x80", b"appl\xc0\x80", b"appl\xe2\x82",
       b"\xf4\x90\x80\x80")


def read_back_everything():
    kz.stopwords(EN)
    kz.list_loaded_tenants()
    kz.get_all_tenant_metrics()
    return kz.snap_term("utf8-t", "apple"), kz.snap_term("utf8-t", "apple", 4)


@pytest.mark.parametrize("bad", BAD)
def test_every_stored_argument_is_checked(bad):
    kz.load_tenant_dictionary("utf8-t", ["apply"])
    # The first three once stored strings that later made every read of them fail.
    calls = [
        ("word", lambda: kz.add_stopword(EN, bad)),
        ("tenant_id", lambda: kz.load_tenant_dictionary(bad, ["apple"])),
        (r"terms\[1\]", lambda: kz.load_tenant_dictionary("utf8-t", ["pear", bad])),
        ("tenant_id", lambda: kz.load_tenant_stopwords(bad, EN, ["x"])),
        (r"words\[1\]", lambda: kz.load_tenant_stopwords("utf8-t", EN, ["x", bad])),
        (r"terms\[0\]", lambda: kz.schedule_tenant_dictionary_update("utf8-t", [bad])),
    ]
    for argument, call in calls:
        with pytest.raises(ValueError, match=argument):
            call()
        assert read_back_everything() == ("apply", "apply"), argument
    config = kz.EnsembleConfig()
    config.tenant_id = "kept"
    with pytest.raises(ValueError, match="tenant_id"):
        config.tenant_id = bad
    assert config.tenant_id == "kept"


def test_well_formed_bytes_behave_like_str():
    kz.add_stopword(EN, "utf8-caf\u00e9".encode())
    kz.load_tenant_dictionary("utf8-b\u00e9".encode(), ["Apple".encode(), "\u00e9t\u00e9"])
    assert kz.stopwords(EN)[-1] == "utf8-caf\u00e9"
    assert kz.snap_term("utf8-b\u00e9", "aple") == "Apple"
    assert "utf8-b\u00e9" in kz.list_loaded_tenants()
    config = kz.ExtractConfig()
    config.tenant_id = b"utf8-t"
    assert config.tenant_id == "utf8-t"
    kz.unload_tenant("utf8-b\u00e9")
