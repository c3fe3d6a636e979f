import re

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import kezo

# fmt: off
WORDS = [
    ("Solar PANELS, 2 of them", "auto", ["solar", "panels", "2", "of", "them"]),
    ("L'ÉTÉ e\u0301te\u0301 \U0001d400x \U0001f600 a_b", "fr", ["l", "été", "e\u0301te\u0301", "x", "a", "b"]),
    ("東京タワー", "auto", ["東", "京", "タ", "ワ", "ー"]),
    ("서울 특별시", "auto", ["서울", "특별시"]),  # Hangul words keep their syllables together
    ("서울 특별시", "ja", ["서", "울", "특", "별", "시"]),
    ("", "en", []),
]
# fmt: on


@pytest.mark.parametrize("text, language, expected", WORDS)
def test_words(text, language, expected):
    assert kezo.words(text, language) == expected


def test_words_refuse_bad_arguments():
    for args, error in [((b"solar",), TypeError), (("solar \ud800",), ValueError),
                        (("solar", "xx"), ValueError)]:
        with pytest.raises(error):
            kezo.words(*args)
    prose = "The cat sat on 2 mats; the dog didn't. " * 50
    assert kezo.words(prose) == re.findall(r"[^\W_]+", prose.lower())


def phrase(*spans):
    return kezo.Keyphrase("p", 0.5, len(spans), 0, tuple(spans))


@settings(max_examples=200, deadline=None)
@given(text=st.text(st.characters(blacklist_characters="\x00\x01"), max_size=40), data=st.data())
def test_highlight_marks_the_longest_of_overlapping_spans_and_keeps_the_text(text, data):
    bound = st.integers(0, len(text))
    pairs = data.draw(st.lists(st.tuples(bound, bound)))
    spans = sorted({(min(p), max(p)) for p in pairs if p[0] != p[1]})
    marked = kezo.highlight(text, [phrase(*spans[:3]), phrase(*spans[3:])], "\x00", "\x01")
    assert marked.replace("\x00", "").replace("\x01", "") == text
    assert re.fullmatch("[^\x00\x01]*(\x00[^\x00\x01]+\x01[^\x00\x01]*)*", marked)  # no nesting
    found = re.finditer("\x00[^\x01]*\x01", marked)
    chosen = {(m.start() - 2 * i, m.end() - 2 * i - 2) for i, m in enumerate(found)}
    assert chosen <= set(spans)
    # Every span left out overlaps a marked one at least as long.
    for a, b in set(spans) - chosen:
        assert any(c < b and a < d and d - c >= b - a for c, d in chosen)


def test_highlight_refuses_spans_of_another_text():
    with pytest.raises(ValueError, match="another text"):
        kezo.highlight("short", [phrase((2, 9))])
    assert kezo.highlight("short", [kezo.Keyphrase("s", 1.0, 1, 0)]) == "short"


def test_spans_are_slices_of_the_callers_text():
    # Astral characters, combining marks and CRLF before and inside the phrases.
    text = ("\U0001d400\U0001f600 Solar panels age.\r\nOld SOLAR\r\npanels fail; the "
            "e\u0301te\u0301 solar-panel? Solar Panels!")
    phrases = kezo.extract(text, language="en", top_k=None)
    written = [[text[a:b] for a, b in k.spans] for k in phrases]
    assert ["Solar panels", "SOLAR\r\npanels", "Solar Panels"] in written
    assert ["e\u0301te\u0301 solar-panel"] in written
    assert kezo.highlight(text, phrases, "[", "]").startswith("\U0001d400\U0001f600 [Solar panels]")
