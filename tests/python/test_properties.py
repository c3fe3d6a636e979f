# Properties of the whole kezo_native surface under hostile arguments: any str (lone surrogates
# included), bytes (malformed included), huge integers, NaN and infinities in every option field,
# and wrong types. Every call either works or raises a clear Python exception; the interpreter
# never crashes, and functions that return stored strings keep working afterwards.
import math

import pytest

hypothesis = pytest.importorskip("hypothesis")
from hypothesis import HealthCheck, given, settings  # noqa: E402
from hypothesis import strategies as st  # noqa: E402

import kezo  # noqa: E402
import kezo_native as kz  # noqa: E402

CLEAR = (TypeError, ValueError, OverflowError, UnicodeError)
SETTINGS = settings(max_examples=150, deadline=None,
                    suppress_health_check=[HealthCheck.too_slow, HealthCheck.data_too_large])

# Texts stay short: extreme but legal lengths and windows cost in proportion to the text.
words = st.lists(st.sampled_from(["Solar", "panels", "of", "the", "\u6570\u636e", "caf\u00e9",
                                  "e\u0301", "42", ".", ",", "\u0645\u0631", "don't", "l'",
                                  "'", "\u2019s"]), max_size=30)
texts = st.one_of(st.text(st.characters(exclude_categories=()), max_size=120),  # surrogates too
                  words.map(" ".join), words.map("".join))
strings = st.one_of(texts, st.binary(max_size=120),
                    st.sampled_from(["\ud800", "a\udfffb", b"\xff", b"\xed\xa0\x80", "", b""]))
numbers = st.one_of(st.integers(), st.floats(),
                    st.sampled_from([-1, 2**32 - 1, 2**32, 2**64, -2**63, 10**30,
                                     math.nan, math.inf, -math.inf]))
anything = st.one_of(strings, numbers, st.booleans(), st.none(), st.lists(strings, max_size=3),
                     st.sampled_from([kz.Language.Twi, kz.Algorithm.RAKE, object()]))
languages = st.one_of(st.sampled_from(list(kz.Language.__members__.values())), anything)


def attempt(call, *args, **kwargs):
    try:
        return call(*args, **kwargs)
    except CLEAR:
        return None


def fields(cls):
    return [n for n in dir(cls) if isinstance(getattr(cls, n, None), property)]


# Every option record of the module passes through here in one of the tests below.
def hostile_config(cls, data):
    config = cls()
    for name in fields(cls):
        value = data.draw(anything, label=f"{cls.__name__}.{name}")
        if name == "max_iter" and isinstance(value, int) and value > 1000:
            value = 1000  # the iterations are the one cost that the text does not bound
        attempt(setattr, config, name, value)
        getattr(config, name)  # whatever was refused, the field still reads back
    return config


def check_keywords(result):
    for keyword in result or ():
        repr(keyword)
        text, score = keyword
        assert isinstance(text, str) and isinstance(score, float)


def still_readable():
    kz.stopwords(kz.Language.English)
    kz.list_loaded_tenants()
    kz.get_all_tenant_metrics()


@SETTINGS
@given(text=strings, language=languages, data=st.data())
def test_text_functions(text, language, data):
    config = hostile_config(kz.TokenizerConfig, data)
    for token in attempt(kz.tokenize, text, config) or ():
        repr(token)
    attempt(kz.split_sentences, text, config)
    attempt(kz.detect_language, text)
    # words is the tokenizer with fixed settings, its output taken straight to str.
    found = attempt(kz.words, text, language)
    if found is not None and language not in (kz.Language.Auto, kz.Language.Korean):
        fixed = kz.TokenizerConfig()
        fixed.keep_numbers, fixed.min_word_length = True, 1
        assert found == [t.text for t in kz.tokenize(text, fixed)]
    for call in (kz.language_code, kz.language_name, kz.stopwords):
        attempt(call, language)
    attempt(kz.is_stopword, language, data.draw(anything))
    # Tagged words map back onto the text in order, whatever apostrophes join or split them.
    code = data.draw(st.sampled_from(["en", "fr", "nl", "ha"]))
    end = 0
    for token in attempt(kezo.tag, text, language=code) or ():
        assert end <= token.start < token.end and text[token.start:token.end] == token.text
        end = token.end


@SETTINGS
@given(text=strings, language=languages, df=anything, data=st.data())
def test_extraction_with_any_options(text, language, df, data):
    check_keywords(attempt(kz.extract_keywords, text, hostile_config(kz.ExtractConfig, data)))
    check_keywords(
        attempt(kz.extract_keywords_ensemble, text, hostile_config(kz.EnsembleConfig, data)))
    tokens = attempt(kz.tokenize, text) or []
    for run, cls in ((kz.yake_extract, kz.YAKEConfig), (kz.textrank_extract, kz.TextRankConfig),
                     (kz.rake_extract, kz.RAKEConfig)):
        check_keywords(attempt(run, tokens, language, hostile_config(cls, data)))
    tfidf = hostile_config(kz.TFIDFConfig, data)
    check_keywords(attempt(kz.tfidf_extract, tokens, language, tfidf, df))
    check_keywords(attempt(kz.tfidf_extract, tokens, language, tfidf, {text: 1}))
    attempt(kz.build_corpus_df, [tokens, tokens], language, data.draw(anything),
            data.draw(anything))


@SETTINGS
@given(word=strings, tenant=strings, words=st.lists(strings, max_size=4), language=languages,
       other=anything)
def test_stopword_registry_stays_readable(word, tenant, words, language, other):
    # Stored words carry a prefix, so they never become stopwords of the other tests' texts.
    prefix = b"zzprop" if isinstance(word, bytes) else "zzprop"
    attempt(kz.add_stopword, language, prefix + word)
    # Any other argument too, but a word drawn from the shared texts ("Solar") gets the prefix.
    if isinstance(other, (str, bytes)):
        other = (b"zzprop" if isinstance(other, bytes) else "zzprop") + other
    attempt(kz.add_stopword, language, other)
    attempt(kz.load_tenant_stopwords, tenant, language, words)
    attempt(kz.load_tenant_stopwords, tenant, language, other)
    attempt(kz.is_tenant_stopword, tenant, language, other)
    attempt(kz.clear_tenant_stopwords, tenant, other)
    config = kz.ExtractConfig()
    attempt(setattr, config, "tenant_id", tenant)
    check_keywords(kz.extract_keywords("zzprop tenant words " + "x" * 3, config))
    still_readable()


@SETTINGS
@given(tenant=strings, terms=st.lists(strings, max_size=6), term=strings, other=anything,
       data=st.data())
def test_snapper_stays_readable(tenant, terms, term, other, data):
    tenant = (b"prop-" if isinstance(tenant, bytes) else "prop-") + tenant
    attempt(kz.load_tenant_dictionary, tenant, terms)
    attempt(kz.load_tenant_dictionary, tenant, other)
    attempt(kz.schedule_tenant_dictionary_update, other, terms)
    for distance in (2, data.draw(anything)):
        attempt(kz.snap_term, tenant, term, distance)
    attempt(kz.snap_term, other, term)
    for call in (kz.get_tenant_metrics, kz.prewarm_tenant, kz.set_tenant_hot):
        attempt(call, tenant)
        attempt(call, other)
    attempt(kz.set_tenant_hot, tenant, other)
    hostile_config(kz.TenantCachePolicy, data)  # built, never installed
    attempt(kz.set_tenant_cache_policy, other)
    still_readable()
    attempt(kz.unload_tenant, tenant)
    attempt(kz.unload_tenant, other)
