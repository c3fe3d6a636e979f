import pytest

import kezo_native as kz

L = kz.Language


def test_identify_language_converts_guesses():
    guesses = kz.identify_language("Le comité s'est réuni lundi pour discuter du budget.")
    assert 1 <= len(guesses) <= 3
    language, confidence = guesses[0]
    assert (language, type(confidence)) == (L.French, float)
    ((language, confidence),) = kz.identify_language(text="the", max_results=1)
    assert language == L.English and 0.5 < confidence < 1
    assert kz.identify_language("Ɔnam dɛ ohia dɛ wotu aman na aman ntamu", 0) == []
    assert kz.identify_language("\U0001F600 123") == [(L.English, 0.0)]
    # Large texts run with the interpreter lock released; the result is the same.
    assert kz.identify_language("der Tag und die Nacht " * 10000)[0][0] == L.German


def test_identify_language_rejects_bad_arguments_and_documents_itself():
    for args in ((None,), ("text", -1), ("text", "3")):
        with pytest.raises(TypeError):
            kz.identify_language(*args)
    doc = kz.identify_language.__doc__
    assert "max_results" in doc and "Returns" in doc
