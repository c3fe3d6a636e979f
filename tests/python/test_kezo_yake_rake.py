import kezo
import kezo_native
import pytest

TEXT = (
    "Solar panels convert sunlight into electricity. Cheap solar panels and wind turbines "
    "change the electricity market; the solar panels of Europe come from China."
)


@pytest.mark.parametrize("method", ["yake", "rake"])
def test_scores_spans_and_options(method):
    found = kezo.extract(TEXT, method=method, language="en", top_k=None)
    scores = [k.score for k in found]
    assert scores == sorted(scores, reverse=True) and all(0 < s <= 1 for s in scores)
    assert all(TEXT[a:b].lower() == k.text for k in found for a, b in k.spans)
    assert any(k.text == "solar panels" for k in found)
    narrowed = kezo.extract(TEXT, method=method, language="en", stopwords=["solar"], max_n=1)
    assert all(" " not in k.text and k.text != "solar" for k in narrowed)
    kezo.set_tenant_stopwords("kezo-methods", ["electricity"], "en")
    try:
        tenant = kezo.extract(TEXT, method=method, language="en", tenant="kezo-methods")
        assert all("electricity" not in k.text for k in tenant)
    finally:
        kezo.clear_tenant_stopwords("kezo-methods", "en")
    assert kezo.extract("", method=method) == []
    # Offsets count code points past non-ASCII text, in records and in the native tuples alike.
    accented = "Énergie propre: " + TEXT
    found = kezo.extract(accented, method=method, language="en", top_k=None)
    assert all(accented[a:b].lower() == k.text for k in found for a, b in k.spans)
    if method == "rake":
        config = kezo_native.RakeMethodConfig()
        config.language, config.top_k = kezo.Language.English, 0
        plain = kezo_native.extract_rake_keyphrases(accented, config)
        assert [(t, s, c, p, tuple(map(tuple, sp))) for t, s, c, p, sp in plain] == found


def test_yake_window_and_auto_language():
    assert kezo.extract(TEXT, method="yake", window=3) != []
    assert [k.text for k in kezo.extract(TEXT, method="yake")] == [
        k.text for k in kezo.extract(TEXT, method="yake", language="en")]


def test_textrank_weighs_phrases_by_their_whole_runs():
    # A sentence of one known word adds no edge, so the ranks stay and only the runs change.
    def scores(text):
        return {k.text: k.score for k in kezo.extract(text, method="textrank", language="en")}

    before, after = scores(TEXT), scores(TEXT + " Electricity.")
    assert before["solar panels"] == after["solar panels"] == 1.0
    assert after["electricity"] == pytest.approx(before["electricity"] * 3 / 2)
