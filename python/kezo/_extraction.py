"""Keyphrase extraction of one text, and the runner ``extract_batch`` shares."""

from __future__ import annotations

from collections.abc import Mapping
from typing import Any, Callable

import kezo_native
from kezo_native import Algorithm, Keyword, Language, TokenizerConfig

from . import _native
from ._languages import LanguageLike
from ._options import check_text
from ._plans import DEFAULT_METHOD, Plan, plan
from ._records import Keyphrase

_ALGORITHMS = {
    "tfidf": Algorithm.TFIDF,
    "yake": Algorithm.YAKE,
    "textrank": Algorithm.TextRank,
    "rake": Algorithm.RAKE,
}


def _tokenizer(plan: Plan) -> TokenizerConfig:
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

    def __init__(self, plan: Plan) -> None:
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


def _keyphrase_fields(plan: Plan) -> dict[str, object]:
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
    plan: Plan, tokenizer: TokenizerConfig
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
        method: "keyphrase" (the default: the tuned pipeline), "ensemble" (all four
            algorithms merged), "tfidf", "yake", "textrank" or "rake".
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
        >>> text = ("Solar panels turn sunlight into power. Cheap solar panels need care, "
        ...         "and old solar panels lose power.")
        >>> [k.text for k in extract(text, method="textrank", top_k=1)]
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
