"""Keyphrase extraction with checked options: one text (``extract``) at a time."""

from __future__ import annotations

from collections.abc import Mapping
from dataclasses import dataclass, field
from typing import Any, Callable

import kezo_native
from kezo_native import Algorithm, Keyword, Language, TokenizerConfig

from . import _native
from .languages import LanguageLike, resolve_language
from .options import (
    MAX_ITERATIONS,
    MAX_PHRASE_WORDS,
    MAX_WINDOW,
    UINT32_MAX,
    check_bool,
    check_counts,
    check_int,
    check_real,
    check_tenant,
    check_text,
)
from .records import Keyphrase

DEFAULT_METHOD = "ensemble"
"""The method ``extract`` uses when none is given ("keyphrase" once the native build has it)."""

METHODS = ("keyphrase", "ensemble", "tfidf", "yake", "textrank", "rake")
"""Every extraction method ``extract`` knows."""


def available_methods() -> tuple[str, ...]:
    """The methods this build of ``kezo_native`` can run."""
    if _native.available("extract_keyphrases"):
        return METHODS
    return tuple(method for method in METHODS if method != "keyphrase")


_ALGORITHMS = {
    "tfidf": Algorithm.TFIDF,
    "yake": Algorithm.YAKE,
    "textrank": Algorithm.TextRank,
    "rake": Algorithm.RAKE,
}
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
class _Plan:
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
) -> _Plan:
    """Check every option of ``extract`` and gather them for the native calls."""
    if not isinstance(method, str):
        raise TypeError(f"method must be one of {', '.join(METHODS)}; got {type(method).__name__}")
    if method not in METHODS:
        raise ValueError(f"method must be one of {', '.join(METHODS)}; got {method!r}")
    if method not in available_methods():
        raise ValueError(
            f"method {method!r} needs a newer kezo_native build; this one offers "
            f"{', '.join(available_methods())}"
        )
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

    return _Plan(
        method=method,
        language=resolve_language(language),
        top_k=0 if top_k is None else check_int("top_k", top_k, 1, UINT32_MAX),
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


def _tokenizer(plan: _Plan) -> TokenizerConfig:
    config = TokenizerConfig()
    if plan.tokenizer is not None:
        (
            config.strip_accents,
            config.split_cjk,
            config.keep_numbers,
            config.keep_punctuation,
            config.min_word_length,
        ) = plan.tokenizer
    return config


class Runner:
    """Runs one checked plan on checked texts, reusing one native configuration.

    A runner mutates its configuration per text, so each thread uses its own.
    """

    def __init__(self, plan: _Plan) -> None:
        self.plan = plan
        self.tokenizer = _tokenizer(plan)
        self.config: Any
        if plan.method == "keyphrase":
            self.config = _native.keyphrase_config(_keyphrase_fields(plan))
        elif plan.direct:
            self.tokenizer.lowercase = True  # as the native front end does
            self.config = _ALGORITHM_CONFIGS[plan.method]()
            fields = {"min_n": plan.min_n, "max_n": plan.max_n, "top_k": plan.top_k}
            for name, value in {**fields, **plan.direct}.items():
                setattr(self.config, name, value)
        else:
            self.config = _front_end_config(plan, self.tokenizer)

    def __call__(self, text: str) -> list[Keyphrase]:
        plan, config = self.plan, self.config
        if plan.method == "keyphrase":
            keywords = _native.extract_keyphrases(text, config)
        else:
            language = plan.language
            if language == Language.Auto:
                language = _native.resolve_auto(text)
            if plan.direct:
                keywords = self._run_algorithm(text, language)
            else:
                config.language = language
                if plan.method == "ensemble":
                    keywords = kezo_native.extract_keywords_ensemble(text, config)
                else:
                    keywords = kezo_native.extract_keywords(text, config)
        return [Keyphrase(k.text, k.score, k.count, k.first_position) for k in keywords]

    def _run_algorithm(self, text: str, language: Language) -> list[Keyword]:
        # The steps of the native front end, with the caller's own algorithm settings: a
        # concrete language, lower-cased tokens, then the algorithm.
        if language == Language.Auto:
            language = kezo_native.detect_language(text)
        tokens = kezo_native.tokenize(text, self.tokenizer)
        if self.plan.method == "tfidf":
            return kezo_native.tfidf_extract(tokens, language, self.config, self.plan.df)
        if self.plan.method == "yake":
            return kezo_native.yake_extract(tokens, language, self.config)
        return kezo_native.textrank_extract(tokens, language, self.config)


_ALGORITHM_CONFIGS: dict[str, Callable[[], Any]] = {
    "tfidf": kezo_native.TFIDFConfig,
    "yake": kezo_native.YAKEConfig,
    "textrank": kezo_native.TextRankConfig,
}


def _keyphrase_fields(plan: _Plan) -> dict[str, object]:
    fields: dict[str, object] = {
        "language": plan.language,
        "top_k": plan.top_k,
        "tenant_id": plan.tenant,
    }
    if plan.max_n is not None:
        fields["max_words"] = plan.max_n
    if plan.keep_near_duplicates is not None:
        fields["keep_near_duplicates"] = plan.keep_near_duplicates
    return fields


def _front_end_config(
    plan: _Plan, tokenizer: TokenizerConfig
) -> kezo_native.ExtractConfig | kezo_native.EnsembleConfig:
    config: kezo_native.ExtractConfig
    if plan.method == "ensemble":
        ensemble = kezo_native.EnsembleConfig()
        ensemble.w_tfidf, ensemble.w_yake, ensemble.w_textrank, ensemble.w_rake = plan.weights
        config = ensemble
    else:
        config = kezo_native.ExtractConfig()
        config.algorithm = _ALGORITHMS[plan.method]
    config.top_k = plan.top_k
    config.min_n = plan.min_n
    if plan.max_n is not None:
        config.max_n = plan.max_n
    config.tenant_id = plan.tenant
    config.tokenizer = tokenizer
    return config


def extract(
    text: str,
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
) -> list[Keyphrase]:
    """Extract the keyphrases of ``text``, best first.

    Every option is checked before the native core runs. Options left at None take the
    method's own default; an option that does not apply to the chosen method is an error.

    Args:
        text: the text, a str (decode bytes first).
        method: "keyphrase" (the tuned pipeline, when the native build has it), "ensemble"
            (all four algorithms merged), "tfidf", "yake", "textrank" or "rake".
        language: a code, English name or ``Language`` ("fr", "French", "auto"); "auto"
            identifies the language of each text.
        top_k: how many keyphrases to return at most (1 to 4294967295); None returns all.
        min_n: shortest phrase in words, 1 to 8 (default 1; not for "keyphrase").
        max_n: longest phrase in words, 1 to 8 (default 3, or the pipeline's own maximum for
            "keyphrase"); the cap keeps the cost linear in the length of the text.
        tenant: a tenant id whose stopwords apply during the call (see ``set_tenant_stopwords``).
        weights: "ensemble" only: weights of "tfidf", "yake", "textrank", "rake" (defaults 1, 1,
            1, 0.7); finite, at least 0, at least one above 0.
        window: "yake" and "textrank": co-occurrence distance in words, 1 to 10 (default 2).
        damping: "textrank": damping factor, strictly between 0 and 1 (default 0.85).
        max_iter: "textrank": most ranking iterations, 1 to 1000 (default 100).
        tol: "textrank": convergence threshold, above 0 (default 0.0001).
        df: "tfidf": document frequencies (phrase to number of documents containing it), as
            ``kezo_native.build_corpus_df`` builds them; needs ``total_documents``.
        total_documents: "tfidf": how many documents ``df`` was counted over, at least 1 and at
            least every count in ``df``.
        keep_near_duplicates: "keyphrase": keep phrases that nearly repeat a better one.
        tokenizer: a ``kezo_native.TokenizerConfig`` (copied; text is always lower-cased).

    ``window``, ``damping``, ``max_iter``, ``tol`` and ``df`` run the algorithm on tokens outside
    the native front end, so they cannot be combined with ``tenant``.

    Returns:
        A list of ``Keyphrase`` (text, score, count, first_position), highest score first.

    Raises:
        TypeError: an option has the wrong type (``bool`` is not taken for an int).
        ValueError: an option is out of range, unknown, or does not apply to the method.

    Example:
        >>> [k.text for k in extract("Solar panels convert sunlight. Solar panels age.",
        ...                          method="yake", top_k=1)]
        ['solar panels']
    """
    checked = plan(
        method=method,
        language=language,
        top_k=top_k,
        min_n=min_n,
        max_n=max_n,
        tenant=tenant,
        weights=weights,
        window=window,
        damping=damping,
        max_iter=max_iter,
        tol=tol,
        df=df,
        total_documents=total_documents,
        keep_near_duplicates=keep_near_duplicates,
        tokenizer=tokenizer,
    )
    return Runner(checked)(check_text("text", text))
