"""kezo.tag: tags from the UPOS set, offsets that map back into the caller's str, one tag per
pre-split word, clear errors, one shared model across threads, and the ``kezo tag`` command."""

from __future__ import annotations

import json
import threading

import pytest

import kezo
from kezo._cli import main

SAMPLES = {
    "en": "The cat sleeps on the sofa. It is very happy!",
    "fr": "L'été, les enfants jouent dehors… «Très bien», dit-elle.",
    "ru": "Кошка спит на диване.",
    "ko": "고양이가 소파에서 잔다.",
    "de": "Über 3,5 km läuft Jürgen — schnell.",
}


@pytest.mark.parametrize("code", sorted(SAMPLES))
def test_tokens_are_tagged_and_map_back(code):
    text = SAMPLES[code]
    tokens = kezo.tag(text, language=code)
    assert tokens and all(t.upos in kezo.UPOS_TAGS for t in tokens)
    assert all(text[t.start : t.end] == t.text for t in tokens)
    assert [t.start for t in tokens] == sorted(t.start for t in tokens)
    words = [t.text for t in tokens]
    tags = kezo.tag(words, language=code)
    assert len(tags) == len(words) and set(tags) <= set(kezo.UPOS_TAGS)
    assert kezo.tag(tuple(words), language=code) == tags


def test_pre_split_words_and_language_detection():
    assert kezo.tag(["She", "reads", "a", "book", "."], language="en") == [
        "PRON", "VERB", "DET", "NOUN", "PUNCT"]  # fmt: skip
    assert kezo.tag([], language="en") == []
    assert kezo.tag(["", "a b", "\U0001F600"], language="en") and kezo.tag("") == []
    auto = kezo.tag("Die Katze schläft auf dem Sofa, und der Hund bellt laut.")
    assert auto == kezo.tag("Die Katze schläft auf dem Sofa, und der Hund bellt laut.", "de")


def test_bad_arguments_are_clear_errors():
    with pytest.raises(ValueError, match="Twi"):
        kezo.tag("Me din de Kofi.", language="twi")
    with pytest.raises(ValueError, match="not supported"):
        kezo.tag("text", language="klingon")
    with pytest.raises(TypeError, match=r"words\[1\] is int"):
        kezo.tag(["a", 1], language="en")
    with pytest.raises(TypeError):
        kezo.tag(b"bytes", language="en")  # type: ignore[call-overload]
    with pytest.raises(ValueError, match="identify"):
        kezo.tag("12 34 !!")
    with pytest.raises(ValueError):
        kezo.tag("a\udc80b", language="en")


def test_threads_share_the_model_and_agree():
    texts = [SAMPLES["en"] * k for k in range(1, 30)]
    expected = [kezo.tag(t, language="en") for t in texts]
    results: list[list[list[kezo.TaggedToken]]] = [[] for _ in range(4)]

    def work(slot: int) -> None:
        for _ in range(5):
            results[slot].append([kezo.tag(t, language="en") for t in texts])

    threads = [threading.Thread(target=work, args=(k,)) for k in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert all(run == expected for slot in results for run in slot)


def test_cli_tags_files_in_each_format(tmp_path, capsys):
    path = tmp_path / "a.txt"
    path.write_text("She reads a book.", encoding="utf-8")
    assert main(["tag", str(path), "-l", "en"]) == 0
    assert capsys.readouterr().out.strip() == "She/PRON reads/VERB a/DET book/NOUN ./PUNCT"
    assert main(["tag", str(path), "-f", "jsonl"]) == 0
    record = json.loads(capsys.readouterr().out)
    assert [t["upos"] for t in record["tokens"]][-1] == "PUNCT"
    with pytest.raises(SystemExit):
        main(["tag", str(path), "-l", "twi"])
    assert "Twi" in capsys.readouterr().err
