"""The options of ``extract`` and ``extract_batch``, checked once and gathered into a plan."""

from __future__ import annotations

from collections.abc import Mapping
from dataclasses import dataclass, field

from kezo_native import Language, TokenizerConfig

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
)

DEFAULT_METHOD = "keyphrase"
"""The method ``extract`` uses when none is given: the keyphrase pipeline."""

METHODS = ("keyphrase", "ensemble", "tfidf", "yake", "textrank", "rake")
"""Every extraction method ``extract`` knows."""


_WEIGHT_DEFAULTS = {"tfidf": 1.0, "yake": 1.0, "textrank": 1.0, "rake": 0.7}
_PHRASE_METHODS = ("ensemble", "tfidf", "yake", "textrank", "rake")

# Options that only some methods take. window, damping, max_iter, tol and df are not part of
# the native front end, so setting one runs that algorithm on tokens directly.
_METHOD_OPTIONS = {
    "min_n": _PHRASE_METHODS,
    "weights": ("ensemble",),
    "window": ("yake", "textrank"),
    "damping": ("textrank",),
    "max_iter": ("textrank",),
    "tol": ("textrank",),
    "df": ("tfidf",),
    "total_documents": ("tfidf",),
    "keep_near_duplicates": ("keyphrase",),
}


@dataclass(frozen=True)
class Plan:
    """Checked options, in the form the native calls take."""

    method: str
    language: Language
    top_k: int  # 0 keeps every keyphrase
    min_n: int
    max_n: int | None  # None keeps the keyphrase pipeline's own maximum
    tenant: str
    tokenizer: tuple[bool, bool, bool, bool, int] | None
    weights: tuple[float, float, float, float]
    direct: dict[str, object] = field(default_factory=dict)  # algorithm fields set by the caller
    df: dict[str, int] | None = None
    keep_near_duplicates: bool | None = None


def plan(
    *,
    method: str = DEFAULT_METHOD,
    language: LanguageLike = "auto",
    top_k: int | None = 10,
    min_n: int | None = None,
    max_n: int | None = None,
    tenant: str | None = None,
    weights: Mapping[str, float] | None = None,
    window: int | None = None,
    damping: float | None = None,
    max_iter: int | None = None,
    tol: float | None = None,
    df: Mapping[str, int] | None = None,
    total_documents: int | None = None,
    keep_near_duplicates: bool | None = None,
    tokenizer: TokenizerConfig | None = None,
) -> Plan:
    """Check every option of ``extract`` and gather them for the native calls."""
    if not isinstance(method, str):
        raise TypeError(f"method must be one of {', '.join(METHODS)}; got {type(method).__name__}")
    if method not in METHODS:
        raise ValueError(f"method must be one of {', '.join(METHODS)}; got {method!r}")
    given = {
        "min_n": min_n,
        "weights": weights,
        "window": window,
        "damping": damping,
        "max_iter": max_iter,
        "tol": tol,
        "df": df,
        "total_documents": total_documents,
        "keep_near_duplicates": keep_near_duplicates,
    }
    for name, value in given.items():
        if value is not None and method not in _METHOD_OPTIONS[name]:
            raise ValueError(
                f"{name} does not apply to method {method!r}; "
                f"it applies to {', '.join(_METHOD_OPTIONS[name])}"
            )

    first = 1 if min_n is None else check_int("min_n", min_n, 1, MAX_PHRASE_WORDS)
    last = None if max_n is None else check_int("max_n", max_n, 1, MAX_PHRASE_WORDS)
    if last is None and method != "keyphrase":
        last = max(3, first)
    if last is not None and first > last:
        raise ValueError(f"min_n must not exceed max_n, got min_n={first} and max_n={last}")

    direct: dict[str, object] = {}
    if window is not None:
        direct["window"] = check_int("window", window, 1, MAX_WINDOW)
    if damping is not None:
        direct["damping"] = check_real("damping", damping, 0.0, 1.0, low_open=True, high_open=True)
    if max_iter is not None:
        direct["max_iter"] = check_int("max_iter", max_iter, 1, MAX_ITERATIONS)
    if tol is not None:
        direct["tol"] = check_real("tol", tol, 0.0, low_open=True)
    table = None
    if df is not None or total_documents is not None:
        if df is None or total_documents is None:
            raise ValueError(
                "df and total_documents go together: total_documents is the number of "
                f"documents df was counted over (got df={'a table' if df is not None else None}, "
                f"total_documents={total_documents!r})"
            )
        total = check_int("total_documents", total_documents, 1, UINT32_MAX)
        table = check_counts("df", df, total)
        direct["total_documents"] = total
    checked_tenant = "" if tenant is None else check_tenant("tenant", tenant)
    if direct and checked_tenant:
        raise ValueError(
            f"tenant cannot be combined with {', '.join(sorted(direct))}: tenant stopwords "
            "apply only through the native front end, which these options bypass"
        )

    return Plan(
        method=method,
        language=resolve_language(language),
        top_k=0 if top_k is None else check_int("top_k", top_k, 1, UINT32_MAX, none="all"),
        min_n=first,
        max_n=last,
        tenant=checked_tenant,
        tokenizer=_tokenizer_fields(tokenizer),
        weights=_weights(weights),
        direct=direct,
        df=table,
        keep_near_duplicates=(
            None
            if keep_near_duplicates is None
            else check_bool("keep_near_duplicates", keep_near_duplicates)
        ),
    )


def _tokenizer_fields(tokenizer: object) -> tuple[bool, bool, bool, bool, int] | None:
    if tokenizer is None:
        return None
    if not isinstance(tokenizer, TokenizerConfig):
        raise TypeError(
            f"tokenizer must be a kezo_native.TokenizerConfig, got {type(tokenizer).__name__}"
        )
    return (
        tokenizer.strip_accents,
        tokenizer.split_cjk,
        tokenizer.keep_numbers,
        tokenizer.keep_punctuation,
        tokenizer.min_word_length,
    )


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
