"""Checks applied to every option before the native core sees it.

Each check names the option, shows the value it got and states the accepted range, raising
TypeError for a value of the wrong type and ValueError for one out of range. ``bool`` is never
taken for an integer, and NaN and the infinities are never taken for a number.
"""

from __future__ import annotations

import math
import numbers
import operator
from collections.abc import Iterable, Mapping
from typing import SupportsIndex, cast

UINT32_MAX = 4294967295
"""Largest value of the core's unsigned 32-bit options."""

SIZE_MAX = 18446744073709551615
"""Largest value of the tenant service's size options."""

MAX_PHRASE_WORDS = 8
"""Cap on ``max_n``: the candidate phrases of a run of w words cost about w * max_n**2 bytes, so
a bound keeps extraction linear in the text (800 ideographs with max_n 8 take milliseconds)."""

MAX_WINDOW = 10
"""Cap on ``window``: co-occurrence counting costs candidates * window."""

MAX_ITERATIONS = 1000
"""Cap on TextRank's ``max_iter``: each iteration walks the whole word graph."""


def _describe(value: object) -> str:
    return f"{type(value).__name__} {value!r}"


def check_bool(name: str, value: object) -> bool:
    """``value`` if it is a bool, else TypeError."""
    if not isinstance(value, bool):
        raise TypeError(f"{name} must be True or False, got {_describe(value)}")
    return value


def check_int(
    name: str, value: object, low: int = 0, high: int = UINT32_MAX, *, none: str = ""
) -> int:
    """``value`` as an int if it is an integer (not a bool) from ``low`` to ``high``; ``none``
    says what None means where the caller also takes it, for the message."""
    accepted = f"{f'None ({none}) or ' if none else ''}an integer from {low} to {high}"
    if isinstance(value, bool):
        raise TypeError(f"{name} must be {accepted}, got {_describe(value)}")
    try:
        number = operator.index(cast(SupportsIndex, value))
    except TypeError:
        raise TypeError(f"{name} must be {accepted}, got {_describe(value)}") from None
    if not low <= number <= high:
        raise ValueError(f"{name} must be {accepted}, got {number}")
    return number


def check_real(
    name: str,
    value: object,
    low: float,
    high: float = math.inf,
    *,
    low_open: bool = False,
    high_open: bool = False,
) -> float:
    """``value`` as a float if it is a finite real number within the given bounds."""
    accepted = f"a finite number {'>' if low_open else '>='} {low:g}" + (
        "" if math.isinf(high) else f" and {'<' if high_open else '<='} {high:g}"
    )
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be {accepted}, got {_describe(value)}")
    number = float(value)
    too_low = number <= low if low_open else number < low
    too_high = number >= high if high_open else number > high
    if math.isnan(number) or math.isinf(number) or too_low or too_high:
        raise ValueError(f"{name} must be {accepted}, got {value!r}")
    return number


def check_text(name: str, value: object) -> str:
    """``value`` if it is a str that encodes as UTF-8.

    Bytes are refused rather than guessed at: decode them first (``data.decode("utf-8")``).
    """
    if not isinstance(value, str):
        hint = (
            "; decode bytes first, e.g. data.decode('utf-8')"
            if isinstance(value, (bytes, bytearray))
            else ""
        )
        raise TypeError(f"{name} must be str, got {type(value).__name__}{hint}")
    if not value.isascii():
        try:
            value.encode("utf-8")
        except UnicodeEncodeError as error:
            raise ValueError(
                f"{name} holds {value[error.start : error.end]!r} at index {error.start}, "
                "which has no UTF-8 form (a lone surrogate)"
            ) from None
    return value


def check_tenant(name: str, value: object) -> str:
    """``value`` if it is a non-empty str."""
    text = check_text(name, value)
    if not text:
        raise ValueError(f"{name} must be a non-empty str, got ''")
    return text


def check_terms(name: str, value: object) -> list[str]:
    """The items of ``value`` as a list if it is an iterable of str (but not a str itself)."""
    if isinstance(value, (str, bytes, bytearray)) or not isinstance(value, Iterable):
        raise TypeError(f"{name} must be an iterable of str, got {type(value).__name__}")
    terms = list(value)
    for index, term in enumerate(terms):
        if type(term) is not str or not term.isascii():  # the common case costs no call
            check_text(f"{name}[{index}]", term)
    return terms


def check_counts(name: str, value: object, total: int) -> dict[str, int]:
    """A document-frequency table: str keys, counts from 0 to ``total`` (the corpus size)."""
    if not isinstance(value, Mapping):
        raise TypeError(f"{name} must be a mapping of str to int, got {type(value).__name__}")
    table: dict[str, int] = {}
    for key, count in value.items():
        check_text(f"{name} key", key)
        table[key] = check_int(f"{name}[{key!r}]", count, 0, total)
    return table
