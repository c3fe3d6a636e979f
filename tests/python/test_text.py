import pytest

import kezo_native as kz


def test_module_attributes():
    assert kz.__version__ == "0.3.0"
    assert kz.name == "kezo"
    assert kz.__doc__ == "Kezo \u2014 multi-language NLP keyword extraction (C++ core)"


def test_language_enumeration_and_aliases():
    assert kz.Language.__doc__.startswith("ISO 639-1 language code.")
    assert kz.Language.Akan == kz.Language.Twi and kz.Language.ak == kz.Language.Twi
    assert kz.Language.ak.name == "Twi"
    assert int(kz.Language.fat) == 18 and int(kz.Language.gaa) == 15 == int(kz.Language.ga)
    assert kz.Language.ee == kz.Language.Ewe and kz.Language.ha == kz.Language.Hausa
    assert str(kz.Language.French) == "French"
    assert repr(kz.Language.French) == "<Language.French: 3>"
    assert not hasattr(kz, "English")  # members are not exported into the module
    assert int(kz.Algorithm.RAKE) == 3 and kz.Algorithm.YAKE.name == "YAKE"


def test_language_codes_and_names():
    assert kz.language_code(kz.Language.Ga) == "gaa"
    assert kz.language_code(kz.Language.Auto) == "auto"
    assert kz.language_name(kz.Language.Twi) == "Twi"
    with pytest.raises(TypeError):
        kz.language_code("en")


def test_records_are_read_only_and_not_constructible():
    token = kz.tokenize("Hello")[0]
    for cls in (kz.Token, kz.Sentence, kz.Keyword):
        with pytest.raises(TypeError):
            cls()
    with pytest.raises(AttributeError):
        token.text = "x"
    assert (token.text, token.offset, token.pos, token.is_word) == ("hello", 0, 0, True)
    assert repr(token) == "<Token text='hello' pos=0>"
    assert repr(kz.split_sentences("Ab cd.")[0]) == "<Sentence begin=0 end=3>"


def test_config_defaults_and_tokenizer_view():
    t = kz.TokenizerConfig()
    assert (t.lowercase, t.strip_accents, t.split_cjk, t.keep_numbers, t.keep_punctuation,
            t.min_word_length) == (True, False, True, False, False, 2)
    c = kz.ExtractConfig()
    assert (c.algorithm, c.language, c.top_k, c.min_n, c.max_n, c.tenant_id) == (
        kz.Algorithm.YAKE, kz.Language.Auto, 10, 1, 3, "")
    view = c.tokenizer
    view.min_word_length = 5
    assert c.tokenizer.min_word_length == 5  # reading gives a view into the owner
    replacement = kz.TokenizerConfig()
    c.tokenizer = replacement
    replacement.min_word_length = 9
    assert c.tokenizer.min_word_length == 2  # assignment copies
    assert view.min_word_length == 2  # the earlier view sees the owner's new value
    del c
    view.min_word_length = 4  # the view keeps its owner alive
    r = kz.TextRankConfig()
    assert (r.damping, r.max_iter, r.tol, r.window) == (0.85, 100, 0.0001, 2)


def test_tokenize_and_sentences():
    cfg = kz.TokenizerConfig()
    cfg.keep_punctuation = True
    tokens = kz.tokenize("Hello, \u4e16\u754c!", cfg)
    assert [(t.text, t.is_word) for t in tokens] == [
        ("hello", True), (",", False), ("\u4e16", True), ("\u754c", True), ("!", False)]
    assert [t.offset for t in tokens] == [0, 5, 7, 10, 13]
    sentences = kz.split_sentences("One two. Three.")
    assert [(s.begin, s.end) for s in sentences] == [(0, 3), (3, 5)]
    assert kz.detect_language("\u043f\u0440\u0438\u0432\u0435\u0442") == kz.Language.Russian
    assert kz.detect_language("") == kz.Language.English


def test_bad_input_does_not_crash():
    assert kz.tokenize("") == []
    assert kz.tokenize("\x00\x00 ab\x00cd") != []
    big = "a" * (10 * 1024 * 1024)
    assert len(kz.tokenize(big)) == 1
    assert len(kz.split_sentences("." * 100000)) == 100000
    with pytest.raises(TypeError):
        kz.tokenize(None)
    with pytest.raises(TypeError):
        kz.tokenize("x", kz.ExtractConfig())
    with pytest.raises(TypeError):
        kz.detect_language(42)
