"""Stopwords: the built-in lists, process-wide custom additions, and per-tenant lists."""

from __future__ import annotations

from collections.abc import Iterable

import kezo_native

from ._languages import LanguageLike, resolve_language
from ._options import check_tenant, check_terms, check_text


def stopwords(language: LanguageLike) -> list[str]:
    """The stopwords of ``language``: its built-in list followed by custom additions.

    Args:
        language: a code, name or ``Language``; "auto" means English here.

    Returns:
        A new list of str.

    Raises:
        TypeError, ValueError: ``language`` is not a supported language.

    Examples:
        >>> "the" in stopwords("en")
        True
    """
    return kezo_native.stopwords(resolve_language(language))


def is_stopword(word: str, language: LanguageLike = "en") -> bool:
    """Whether ``word`` (compared as given; lower-case it first) is a stopword of ``language``.

    Examples:
        >>> is_stopword("le", "fr")
        True
    """
    return kezo_native.is_stopword(resolve_language(language), check_text("word", word))


def add_stopwords(words: Iterable[str], language: LanguageLike = "en") -> None:
    """Add ``words`` to the process-wide custom stopwords of ``language`` (for every thread and
    tenant, until the process ends).

    Raises:
        TypeError, ValueError: an argument fails its check (nothing is added then).

    Examples:
        >>> add_stopwords(["etc"], "en")
    """
    resolved = resolve_language(language)
    for word in check_terms("words", words):
        kezo_native.add_stopword(resolved, word)


def set_tenant_stopwords(tenant: str, words: Iterable[str], language: LanguageLike = "en") -> None:
    """Replace ``tenant``'s own stopwords for ``language``. They apply to extractions run with
    ``tenant=...`` and to nothing else.

    Raises:
        TypeError, ValueError: an argument fails its check.

    Examples:
        >>> set_tenant_stopwords("shop", ["price", "order"], "en")
    """
    kezo_native.load_tenant_stopwords(
        check_tenant("tenant", tenant), resolve_language(language), check_terms("words", words)
    )


def clear_tenant_stopwords(tenant: str, language: LanguageLike = "en") -> None:
    """Remove ``tenant``'s own stopwords for ``language``.

    Examples:
        >>> clear_tenant_stopwords("shop", "en")
    """
    kezo_native.clear_tenant_stopwords(check_tenant("tenant", tenant), resolve_language(language))
