"""The extraction options: one table naming each option, its type, range and the methods it
applies to, and the check that turns a set of options into a ``Plan`` for the native calls."""

from __future__ import annotations

import difflib
import math
import os
import sys
import warnings
from collections.abc import Iterable, Mapping
from dataclasses import dataclass, field
from types import FrameType
from typing import Any, Optional, TypedDict, Union

from kezo_native import DocumentFrequencyTable, Language, TokenizerConfig

from ._corpus import CorpusFrequencies
from ._languages import LanguageLike, resolve_language
from ._options import (
    MAX_ITERATIONS,
    MAX_PHRASE_WORDS,
    MAX_WINDOW,
    UINT32_MAX,
    check_bool,
    check_counts,
    check_int,
    check_real,
    check_tenant,
    check_terms,
)

DEFAULT_METHOD = "keyphrase"
"""The method ``extract`` uses when none is given: the keyphrase pipeline."""

METHODS = ("keyphrase", "ensemble", "tfidf", "yake", "textrank", "rake")
"""Every extraction method ``extract`` knows."""

_PHRASE_METHODS = ("ensemble", "tfidf", "yake", "textrank", "rake")


@dataclass(frozen=True)
class Option:
    """One extraction option. ``kind`` is int, float or bool for a plain value checked against
    ``low`` and ``high`` (``excluded`` names the bounds that are not allowed themselves), or one
    of "method", "language", "tenant", "words", "weights", "frequencies", "tokenizer", checked by
    ``plan``. None always stands for the default, which ``default`` gives."""

    name: str
    default: object
    kind: object
    help: str
    methods: tuple[str, ...] = METHODS
    low: float = 0
    high: float = UINT32_MAX
    excluded: tuple[str, ...] = ()

    def check(self, value: object) -> Any:
        """``value`` checked, for the plain kinds; the others are returned as they are."""
        if self.kind is bool:
            return check_bool(self.name, value)
        if self.kind is int:
            none = "all" if self.name == "top_k" else ""
            return check_int(self.name, value, int(self.low), int(self.high), none=none)
        if self.kind is float:
            return check_real(
                self.name,
                value,
                self.low,
                self.high,
                low_open="low" in self.excluded,
                high_open="high" in self.excluded,
            )
        return value


OPTIONS = (
    Option("method", DEFAULT_METHOD, "method", f"extraction method: {', '.join(METHODS)}"),
    Option("language", "auto", "language", "language code or name; auto identifies each text"),
    Option("top_k", 10, int, "keyphrases returned at most; 0 or None returns all"),
    Option("min_n", None, int, "shortest phrase in words", _PHRASE_METHODS, 1, MAX_PHRASE_WORDS),
    Option("max_n", None, int, "longest phrase in words", METHODS, 1, MAX_PHRASE_WORDS),
    Option("tenant", None, "tenant", "tenant whose stopwords apply (see set_tenant_stopwords)"),
    Option("stopwords", None, "words", "further stopwords for these calls only",
           ("keyphrase", "textrank", "tfidf", "yake", "rake")),
    Option("weights", None, "weights", "weight of each method in the ensemble", ("ensemble",)),
    Option("window", None, int, "co-occurrence distance in words", ("yake", "textrank"), 1,
           MAX_WINDOW),
    Option("damping", None, float, "damping factor of the ranking", ("textrank",), 0.0, 1.0,
           ("low", "high")),
    Option("max_iter", None, int, "most ranking iterations", ("textrank",), 1, MAX_ITERATIONS),
    Option("tol", None, float, "convergence threshold of the ranking", ("textrank",), 0.0,
           math.inf, ("low",)),
    Option("df", None, "frequencies", "document frequencies of a corpus", ("keyphrase", "tfidf")),
    Option("total_documents", None, int, "documents df was counted over", ("keyphrase", "tfidf"),
           1),
    Option("keep_near_duplicates", None, bool, "keep phrases that nearly repeat a better one",
           ("keyphrase",)),
    Option("near_duplicate_threshold", None, float,
           "share of a phrase repeating a better one that leaves it out", ("keyphrase",), 0.0,
           1.0),
    Option("tokenizer", None, "tokenizer", "no effect any more: kept for code passing it",
           ("ensemble",)),
    Option("spans", True, bool, "give each keyphrase the offsets of its occurrences; False "
           "leaves spans empty, which is faster"),
)
"""Every option of ``Extractor`` and ``extract``, in the order they are documented."""

_BY_NAME = {option.name: option for option in OPTIONS}
# Names users bring from other keyword libraries, with what Kezo calls them.
_HINTS = {
    "top_n": "top_k",
    "n": "top_k",
    "ngram_range": "min_n and max_n (ngram_range=(1, 3) is min_n=1, max_n=3)",
    "keyphrase_ngram_range": "min_n and max_n",
    "stop_words": "stopwords",
    "lan": "language",
    "lang": "language",
}


class Options(TypedDict, total=False):
    """The keyword options of ``Extractor``, ``extract`` and ``extract_batch``, for type checkers."""

    method: str
    language: LanguageLike
    top_k: Optional[int]
    min_n: Optional[int]
    max_n: Optional[int]
    tenant: Optional[str]
    stopwords: Optional[Iterable[str]]
    weights: Optional[Mapping[str, float]]
    window: Optional[int]
    damping: Optional[float]
    max_iter: Optional[int]
    tol: Optional[float]
    df: Union[CorpusFrequencies, Mapping[str, int], None]
    total_documents: Optional[int]
    keep_near_duplicates: Optional[bool]
    near_duplicate_threshold: Optional[float]
    tokenizer: Optional[TokenizerConfig]
    spans: Optional[bool]


@dataclass(frozen=True)
class Plan:
    """Checked options, in the form the native calls take."""

    method: str
    language: Language
    top_k: int  # 0 keeps every keyphrase
    min_n: int
    max_n: int | None  # None keeps the keyphrase pipeline's own maximum
    tenant: str
    weights: tuple[float, float, float, float]
    direct: dict[str, object] = field(default_factory=dict)  # algorithm fields set by the caller
    # A CorpusFrequencies' native table, or a caller's dict checked.
    df: dict[str, int] | DocumentFrequencyTable | None = None
    total_documents: int = 0
    keep_near_duplicates: bool | None = None
    near_duplicate_threshold: float | None = None
    stopwords: frozenset[str] = frozenset()
    spans: bool = True  # False leaves every keyphrase's spans empty


def unknown_option(caller: str, name: str) -> TypeError:
    """The error for an option ``caller`` does not take, with the option meant where a likely
    one exists."""
    hint = _HINTS.get(name) or next(iter(difflib.get_close_matches(name, _BY_NAME, 1)), None)
    return TypeError(
        f"{caller} got an unexpected option {name!r}"
        + (f"; did you mean {hint}?" if hint else f"; options: {', '.join(_BY_NAME)}")
    )


def plan(options: Mapping[str, object], caller: str = "extract()") -> Plan:
    """Check the options of ``caller`` (names as in ``OPTIONS``; absent ones and None take their
    defaults) and gather them for the native calls."""
    for name in options:
        if name not in _BY_NAME:
            raise unknown_option(caller, name)
    method = options.get("method", DEFAULT_METHOD)
    if not isinstance(method, str):
        raise TypeError(f"method must be one of {', '.join(METHODS)}; got {type(method).__name__}")
    if method not in METHODS:
        raise ValueError(f"method must be one of {', '.join(METHODS)}; got {method!r}")
    language = resolve_language(options.get("language", "auto"))  # type: ignore[arg-type]
    given: dict[str, Any] = {}
    for name, value in options.items():
        option = _BY_NAME[name]
        if value is None or option.kind in ("method", "language"):
            continue
        if method not in option.methods:
            raise ValueError(
                f"{name} does not apply to method {method!r}; "
                f"it applies to {', '.join(option.methods)}"
            )
        given[name] = option.check(value)

    _check_tokenizer(given.get("tokenizer"))
    first: int = given.get("min_n", 1)
    last: int | None = given.get("max_n")
    if last is None and method != "keyphrase":
        last = max(3, first)
    if last is not None and first > last:
        raise ValueError(f"min_n must not exceed max_n, got min_n={first} and max_n={last}")
    direct: dict[str, object] = {
        n: given[n] for n in ("window", "damping", "max_iter", "tol") if n in given
    }
    table, total = _frequencies(given.get("df"), given.get("total_documents"))
    tenant = check_tenant("tenant", given["tenant"]) if "tenant" in given else ""
    if given.get("keep_near_duplicates") and "near_duplicate_threshold" in given:
        raise ValueError(
            "near_duplicate_threshold does not apply with keep_near_duplicates=True, which "
            "keeps every near-duplicate; give one of them"
        )
    return Plan(
        method=method,
        language=language,
        top_k=given.get("top_k", 0 if "top_k" in options else 10),
        min_n=first,
        max_n=last,
        tenant=tenant,
        weights=_weights(given.get("weights")),
        direct=direct,
        df=table,
        total_documents=total,
        keep_near_duplicates=given.get("keep_near_duplicates"),
        near_duplicate_threshold=given.get("near_duplicate_threshold"),
        stopwords=frozenset(check_terms("stopwords", given.get("stopwords", ()))),
        spans=given.get("spans", True),
    )


def _frequencies(
    df: object, total_documents: object
) -> tuple[dict[str, int] | DocumentFrequencyTable | None, int]:
    if isinstance(df, CorpusFrequencies):
        if total_documents is not None:
            raise ValueError(
                "total_documents comes with the CorpusFrequencies given as df "
                f"({df.documents} documents); do not pass it as well"
            )
        return df._table, df.documents
    if df is None and total_documents is None:
        return None, 0
    if df is None or total_documents is None:
        raise ValueError(
            "df and total_documents go together: total_documents is the number of "
            f"documents df was counted over (got df={'a table' if df is not None else None}, "
            f"total_documents={total_documents!r}); a CorpusFrequencies holds both"
        )
    assert isinstance(total_documents, int)  # checked by its option
    return check_counts("df", df, total_documents), total_documents


def _check_tokenizer(tokenizer: object) -> None:
    # Kept so that code passing it goes on working: every method now reads words with the
    # keyphrase pipeline's scanner, which the tokenizer settings do not reach.
    if tokenizer is None:
        return
    if not isinstance(tokenizer, TokenizerConfig):
        raise TypeError(
            f"tokenizer must be a kezo_native.TokenizerConfig, got {type(tokenizer).__name__}"
        )
    warnings.warn(
        "tokenizer has no effect: every method reads words with kezo's own scanner (its "
        "stopwords, sentence and clause boundaries); the option will be removed",
        FutureWarning,
        stacklevel=_first_level_outside_kezo(),
    )


def _first_level_outside_kezo() -> int:
    # The stacklevel (as the caller would pass it to warnings.warn) of the first frame outside
    # this package, so that a warning names the user's own line, however deep the call began.
    package = os.path.dirname(os.path.abspath(__file__)) + os.sep
    frame: Optional[FrameType] = sys._getframe(1)
    level = 1
    while frame is not None and os.path.abspath(frame.f_code.co_filename).startswith(package):
        frame, level = frame.f_back, level + 1
    return level


_WEIGHT_DEFAULTS = {"tfidf": 1.0, "yake": 1.0, "textrank": 1.0, "rake": 0.7}


def _weights(weights: object) -> tuple[float, float, float, float]:
    merged = dict(_WEIGHT_DEFAULTS)
    if weights is not None:
        if not isinstance(weights, Mapping):
            raise TypeError(
                "weights must be a mapping such as {'tfidf': 1.0, 'rake': 0.5}, "
                f"got {type(weights).__name__}"
            )
        for name, weight in weights.items():
            if name not in merged:
                raise ValueError(
                    f"weights has an unknown key {name!r}; keys: {', '.join(_WEIGHT_DEFAULTS)}"
                )
            merged[name] = check_real(f"weights[{name!r}]", weight, 0.0)
        if not any(merged.values()):
            raise ValueError(f"weights must have at least one weight above 0, got {merged}")
    return merged["tfidf"], merged["yake"], merged["textrank"], merged["rake"]
