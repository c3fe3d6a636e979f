"""Part-of-speech tagging with the Universal Dependencies UPOS tags, natively."""

from __future__ import annotations

from pathlib import Path
from typing import Callable, NamedTuple, Union, overload

import kezo_native
from kezo_native import Language

from ._languages import LanguageLike, detect, resolve_language
from ._options import check_text

MODEL_DIRECTORY = Path(__file__).resolve().parent / "data" / "tagger"

#: The 17 Universal Dependencies part-of-speech tags, in the order of the models.
UPOS_TAGS = (
    "ADJ", "ADP", "ADV", "AUX", "CCONJ", "DET", "INTJ", "NOUN", "NUM",
    "PART", "PRON", "PROPN", "PUNCT", "SCONJ", "SYM", "VERB", "X",
)  # fmt: skip

if not kezo_native.tagger_directory():
    kezo_native.set_tagger_directory(str(MODEL_DIRECTORY))


class TaggedToken(NamedTuple):
    """A word or punctuation mark of a text with its UPOS tag; ``text[start:end]`` is it."""

    text: str
    upos: str
    start: int
    end: int


def tagger_languages() -> list[str]:
    """Codes of the languages with a part-of-speech model, e.g. ``['de', 'en', ...]``."""
    return sorted(p.stem for p in Path(kezo_native.tagger_directory()).glob("*.kzt"))


# Languages whose model file was found: looked for once per language and process.
_HAS_MODEL: dict[Language, bool] = {}


def _model_language(language: LanguageLike, sample: Callable[[], str]) -> Language:
    lang = resolve_language(language)
    if lang == Language.Auto:
        lang = detect(sample()).language
        if lang == Language.Auto:
            raise ValueError(
                "could not identify the language to tag; pass language=, one of "
                + ", ".join(tagger_languages())
            )
    found = _HAS_MODEL.get(lang)
    if found is None:
        found = _HAS_MODEL[lang] = kezo_native.has_tagger(lang)
    if not found:
        raise ValueError(
            f"no part-of-speech model for {kezo_native.language_name(lang)} "
            f"({kezo_native.language_code(lang)}); models exist for "
            + ", ".join(tagger_languages())
        )
    return lang


@overload
def tag(text: str, language: LanguageLike = ...) -> list[TaggedToken]: ...
@overload
def tag(text: Union[list[str], tuple[str, ...]], language: LanguageLike = ...) -> list[str]: ...


def tag(
    text: Union[str, list[str], tuple[str, ...]], language: LanguageLike = "auto"
) -> Union[list[TaggedToken], list[str]]:
    """Part-of-speech tags (Universal Dependencies UPOS) of a text or of words already split.

    A str is split into words and punctuation by kezo's tokenizer and each gets a
    ``TaggedToken(text, upos, start, end)``, offsets in characters of ``text``. A list (or
    tuple) of str is taken as words in order, one sentence or more, and gets one tag per word.
    Chinese and Japanese models know dictionary words: pass those words segmented, since a
    text comes out one ideograph per token. The model of each language is read once per
    process; tagging is native and releases the interpreter lock.

    Args:
        text: a str, or a list or tuple of str (the words).
        language: a code, name or ``Language``; "auto" identifies it from the text.

    Returns:
        A list of ``TaggedToken`` for a str; a list of tag strings for words (empty for an
        empty or blank text, which needs no language).

    Raises:
        TypeError: ``text`` is neither a str nor a list or tuple of str, or ``language`` is
            neither a str nor a ``Language``.
        ValueError: ``language`` names no language, the language has no model (Twi, for
            example), or "auto" cannot tell the language; or the text holds a lone surrogate.
        RuntimeError: the language's model file is damaged.

    Examples:
        >>> tag(["She", "reads", "a", "book", "."], language="en")
        ['PRON', 'VERB', 'DET', 'NOUN', 'PUNCT']
        >>> [(t.text, t.upos, t.start) for t in tag("Die Katze schläft.", language="de")]
        [('Die', 'DET', 0), ('Katze', 'NOUN', 4), ('schläft', 'VERB', 10), ('.', 'PUNCT', 17)]
    """
    if isinstance(text, str):
        check_text("text", text)
        if not text.strip() and resolve_language(language) == Language.Auto:
            return []
        lang = _model_language(language, lambda: text)
        return kezo_native.tag_text(text, lang, TaggedToken)  # type: ignore[return-value]
    if isinstance(text, (list, tuple)):
        if not text and resolve_language(language) == Language.Auto:
            return []
        words = text
        lang = _model_language(
            language, lambda: " ".join(w for w in words[:200] if isinstance(w, str))
        )
        return kezo_native.tag_words(text, lang)
    raise TypeError(f"text must be a str or a list of str, got {type(text).__name__}")
