"""Languages by ISO code, English name or alias, and language identification with
confidences."""

from __future__ import annotations

from typing import Union

import kezo_native
from kezo_native import Language

from . import _native
from ._options import check_int, check_text
from ._records import LanguageGuess

LanguageLike = Union[str, Language]
"""What every ``language`` option accepts: a code, a name, an alias or a ``Language`` member."""

# ISO 639-1 has "tw" for Twi; the native codes reach it only as "ak" (Akan).
_EXTRA_ALIASES = {"tw": Language.Twi}


def _build_table() -> dict[str, Language]:
    table: dict[str, Language] = {}
    for member_name, member in Language.__members__.items():
        for spelling in (
            member_name,
            kezo_native.language_code(member),
            kezo_native.language_name(member),
        ):
            table.setdefault(spelling.casefold(), member)
    table.update(_EXTRA_ALIASES)
    return table


_BY_SPELLING = _build_table()
CODES = tuple(kezo_native.language_code(Language(value)) for value in range(19))
"""The primary code of every language, "auto" first, in the enumeration's order."""


def resolve_language(language: LanguageLike) -> Language:
    """Turn a code, name, alias or ``Language`` member into a ``Language``.

    Spellings are matched without regard to case or surrounding blanks, and a region suffix is
    ignored ("pt-BR" and "en_GB" name Portuguese and English).

    Args:
        language: "fr", "French", "FRENCH", "gaa", "ga", "ak", "twi", "auto", a region-tagged
            code such as "pt-BR", or a ``kezo_native.Language`` member.

    Returns:
        The ``Language`` member; "auto" gives ``Language.Auto``.

    Raises:
        TypeError: ``language`` is neither a str nor a ``Language``.
        ValueError: the spelling names no supported language; the message lists the codes.

    Examples:
        >>> resolve_language("French") == resolve_language("fr") == Language.French
        True
    """
    if isinstance(language, Language):
        return language
    if not isinstance(language, str):
        raise TypeError(
            f"language must be a str or a kezo_native.Language, got {type(language).__name__}"
        )
    key = language.strip().casefold()
    found = _BY_SPELLING.get(key)
    if found is None and ("-" in key or "_" in key):
        found = _BY_SPELLING.get(key.replace("_", "-").split("-", 1)[0])
    if found is None:
        raise ValueError(
            f"language {language!r} is not supported; accepted codes: {', '.join(CODES)} "
            "(English names such as 'French' and the aliases 'ga', 'tw', 'twi', 'akan' also work)"
        )
    return found


def identify_language(text: str, *, max_results: int = 3) -> list[LanguageGuess]:
    """Rank the supported languages for ``text``, most likely first.

    Args:
        text: the text to identify.
        max_results: how many guesses to return at most, from 1 to 18.

    Returns:
        A list of ``LanguageGuess`` (language, code, name, confidence), best first. A
        confidence is the estimated probability that the language is right, calibrated on
        held-out text; languages below 0.01 are left out, so the list may be shorter than
        ``max_results``. It is empty when the text is in none of the supported languages or
        has no letters: the text is undetermined.

    Raises:
        TypeError, ValueError: an argument fails its check.

    Examples:
        >>> identify_language("Le chat dort sur le canapé.")[0].code
        'fr'
        >>> identify_language("Mtoto anasoma kitabu kizuri shuleni leo.")
        []
    """
    check_text("text", text)
    check_int("max_results", max_results, 1, 18)
    return [LanguageGuess.of(language, confidence) for language, confidence in
            _native.identify(text, max_results)]  # fmt: skip


def detect(text: str) -> LanguageGuess:
    """The most likely language of ``text``, with its confidence.

    Args:
        text: the text to look at.

    Returns:
        A ``LanguageGuess``: the best guess of ``identify_language``, or, when that finds no
        supported language, the undetermined answer: code "und", name "Undetermined",
        confidence 0 and ``Language.Auto``.

    Raises:
        TypeError, ValueError: ``text`` is not a str or holds a lone surrogate.

    Examples:
        >>> detect("The cat sleeps on the sofa.").code
        'en'
        >>> detect("12 345 !").code, detect("").name
        ('und', 'Undetermined')
    """
    check_text("text", text)
    guesses = _native.identify(text, 1)
    if not guesses:
        return LanguageGuess.of(Language.Auto, 0.0)
    return LanguageGuess.of(*guesses[0])
