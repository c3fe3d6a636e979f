import threading
import time

import pytest

import kezo_native as kz

EN = kz.Language.English
TEXT = (
    "Turbine blades wear under heat. Turbine blades crack under load, "
    "and cracked turbine blades fail."
)


def test_config_defaults_keywords_and_repr():
    config = kz.KeyphraseConfig()
    assert (config.language, config.top_k, config.max_words) == (kz.Language.Auto, 10, 4)
    assert (config.keep_near_duplicates, config.keep_numbers, config.tenant_id) == (False, False, "")
    assert (config.document_frequency, config.total_documents) == ({}, 0)
    assert (config.near_duplicate_threshold, config.extra_stopwords) == (1.0, set())
    config = kz.KeyphraseConfig(language=EN, top_k=3, tenant_id="t'1")
    assert repr(config).startswith("KeyphraseConfig(language=Language.English, top_k=3, ")
    assert "tenant_id=\"t'1\"" in repr(config)
    with pytest.raises(TypeError):
        kz.KeyphraseConfig(EN)  # options are keyword-only
    with pytest.raises(TypeError):
        kz.KeyphraseConfig(top_k=-1)
    config = kz.KeyphraseConfig(extra_stopwords=("Turbine", "blades"), near_duplicate_threshold=0.5)
    assert config.extra_stopwords == {"Turbine", "blades"}
    assert repr(config).endswith("near_duplicate_threshold=0.5, extra_stopwords=<2 words>)")
    for bad in ("turbine", [b"turbine"], [1]):
        with pytest.raises(TypeError):
            config.extra_stopwords = bad
    assert "keyphrases of `text`" in kz.extract_keyphrases.__doc__


def test_extract_keyphrases_returns_keywords():
    (best, *_) = kz.extract_keyphrases(TEXT, kz.KeyphraseConfig(language=EN))
    assert best.text == "turbine blades" and best.count == 3 and 0 < best.score < 1
    assert isinstance(best, kz.Keyword) and kz.extract_keyphrases("") == []
    with pytest.raises(TypeError):
        kz.extract_keyphrases(TEXT, config=kz.ExtractConfig())
    table = kz.keyphrase_document_frequency([TEXT, "Turbine blades."], kz.KeyphraseConfig(language=EN))
    assert table[kz.keyphrase_stem_key("turbine blades", EN)] == 2


def test_call_runs_without_the_lock_on_a_copy_of_its_configuration():
    kz.load_tenant_stopwords("kp-py-a", EN, ["blades"])
    kz.load_tenant_stopwords("kp-py-b", EN, ["turbine"])
    config = kz.KeyphraseConfig(language=EN, top_k=0, tenant_id="kp-py-a")
    big = TEXT * 40000  # about 4 MB: long enough for the main thread to run meanwhile
    result, ticks = [], 0

    def work():
        result.extend(kz.extract_keyphrases(big, config))

    worker = threading.Thread(target=work)
    worker.start()
    time.sleep(0.01)
    config.tenant_id = "kp-py-b"  # must not reach the running call
    while worker.is_alive():
        ticks += 1
    worker.join()
    assert ticks > 100  # the main thread ran while the call was busy
    assert result and all("blades" not in k.text for k in result)
    assert any("turbine" in k.text for k in result)


def test_spans_are_code_point_offsets_of_the_phrase_as_written():
    cafe = "caf\u00e9 cre\u0300me"  # a precomposed letter and a combining mark
    text = f"\U0001F600 {cafe.title()}.\r\nThe {cafe.replace(' ', chr(13) + chr(10))} is good; {cafe}."
    config = kz.KeyphraseConfig(language=EN, top_k=0)
    spanned = kz.extract_keyphrases_spanned(text, config)
    plain = kz.extract_keyphrases(text, config)
    assert [s[:4] for s in spanned] == [(k.text, k.score, k.count, k.first_position) for k in plain]
    (spans,) = [s[4] for s in spanned if s[0].lower() == cafe]
    assert [text[a:b] for a, b in spans] == [cafe.title(), cafe.replace(" ", "\r\n"), cafe]
    # The batch calls read each text where Python holds it: ASCII and not, str and bytes.
    texts = [text, "Solar panels age. Old solar panels rust.", b"Solar panels rust."]
    batch = kz.spanned_keyphrases_batch(texts, config, 2)
    assert batch[0] == spanned and batch[1:] == [kz.extract_keyphrases_spanned(t, config) for t in
                                                 (texts[1], texts[2].decode())]
    tfidf = kz.TfidfMethodConfig()
    tfidf.language = EN
    _, counted = kz.tfidf_corpus_keyphrases(tuple(texts), tfidf, 2)
    assert all(text[a:b].lower() == phrase.lower() for phrase, *_, spans in counted[0]
               for a, b in spans if " " not in phrase)
    for bad, named in (("abc", "sequence of str"), (["abc", 3], r"texts\[1\] must be str")):
        with pytest.raises(TypeError, match=named):
            kz.count_document_frequency(bad, config)
