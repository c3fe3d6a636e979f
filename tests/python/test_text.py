import pytest

import kezo_native as kz

L = kz.Language


def test_module_attributes_and_enumerations():
    assert (kz.__version__, kz.name) == ("0.3.0", "kezo")
    assert kz.__doc__ == "Kezo \u2014 multi-language NLP keyword extraction (C++ core)"
    assert L.__doc__.startswith("ISO 639-1 language code.")
    # An alias is another name of the same member, which keeps the name registered first.
    aliases = {"Akan": "Twi", "ak": "Twi", "ga": "Ga", "gaa": "Ga", "ee": "Ewe", "ha": "Hausa",
               "fat": "Fante"}
    for alias, member in aliases.items():
        assert getattr(L, alias) == getattr(L, member) and getattr(L, alias).name == member
    assert (str(L.French), repr(L.French)) == ("French", "<Language.French: 3>")
    assert not hasattr(kz, "English")  # members are not exported into the module
    assert int(kz.Algorithm.RAKE) == 3 and kz.Algorithm.YAKE.name == "YAKE"
    assert (kz.language_code(L.Ga), kz.language_name(language=L.Twi)) == ("gaa", "Twi")


def test_records_are_read_only_and_not_constructible():
    token = kz.tokenize("Hello")[0]
    (keyword,) = kz.extract_keywords("solar")
    records = ((token, "text offset pos is_word"), (kz.split_sentences("Ab cd.")[0], "begin end"),
               (keyword, "text score count first_position"))
    for record, fields in records:
        with pytest.raises(TypeError):
            type(record)()
        for field in fields.split():
            with pytest.raises(AttributeError):
                setattr(record, field, getattr(record, field))
    assert (token.text, token.offset, token.pos, token.is_word) == ("hello", 0, 0, True)
    assert repr(token) == "<Token text='hello' pos=0>"
    assert repr(records[1][0]) == "<Sentence begin=0 end=3>"


def test_tokenizer_view_into_its_owner():
    c = kz.ExtractConfig()
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


def test_text_conversions():
    cfg = kz.TokenizerConfig()
    cfg.keep_punctuation = True
    # Non-ASCII text goes in as UTF-8; offsets are byte offsets into it.
    assert [(t.text, t.offset, t.is_word) for t in kz.tokenize("Hello, \u4e16\u754c!", cfg)] == [
        ("hello", 0, True), (",", 5, False), ("\u4e16", 7, True), ("\u754c", 10, True),
        ("!", 13, False)]
    assert [t.text for t in kz.tokenize("ab\x00cd")] == ["ab", "cd"]  # NUL does not end the str
    assert [(s.begin, s.end) for s in kz.split_sentences("One two. Three.")] == [(0, 3), (3, 5)]
    assert len(kz.split_sentences("." * 100000)) == 100000
    assert kz.detect_language(text="\u043f\u0440\u0438\u0432\u0435\u0442") == L.Russian
    for call, args in ((kz.tokenize, (None,)), (kz.tokenize, ("x", kz.ExtractConfig())),
                       (kz.detect_language, (42,)), (kz.language_code, ("en",))):
        with pytest.raises(TypeError):
            call(*args)


def test_identify_language_conversions_errors_and_docstring():
    guesses = kz.identify_language("Le comité s'est réuni lundi pour discuter du budget.")
    assert 1 <= len(guesses) <= 3
    language, confidence = guesses[0]
    assert (language, type(confidence)) == (L.French, float)
    ((language, confidence),) = kz.identify_language(text="the cat and the dog", max_results=1)
    assert language == L.English and 0.5 < confidence < 1
    assert kz.identify_language("Ɔnam dɛ ohia dɛ wotu aman na aman ntamu", 0) == []
    # Undetermined: no ranking, but the closest supported language for "auto".
    afrikaans = "Alle menslike wesens word vry, met gelyke waardigheid en regte, gebore."
    assert kz.identify_language(afrikaans) == kz.identify_language("12 34") == []
    assert (kz.identify_best_language(afrikaans), kz.identify_best_language("")) == (
        L.Dutch, L.English)
    # Large texts run with the interpreter lock released; the result is the same.
    assert kz.identify_language("der Tag und die Nacht " * 10000)[0][0] == L.German
    for args in ((None,), ("text", -1), ("text", "3")):
        with pytest.raises(TypeError):
            kz.identify_language(*args)
    doc = kz.identify_language.__doc__
    assert "max_results" in doc and "Returns" in doc


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
