"""How each method runs on one text: a table from method name to the builder of its runner.

A runner is made once from a checked plan and then called with checked texts, from any number of
threads at once: it never changes the native configurations it holds (the native calls copy them
while the interpreter lock is held), and builds what depends on the text per call.
"""

from __future__ import annotations

from dataclasses import replace
from typing import Any, Callable

import kezo_native
from kezo_native import KeyphraseConfig

from . import _native
from ._plans import Plan
from ._records import Keyphrase

Run = Callable[[str], "list[Keyphrase]"]
"""A runner: the keyphrases of one checked text."""


def runner(plan: Plan) -> Run:
    """The runner of ``plan``'s method with its options."""
    return _BUILDERS[plan.method](plan)


def keyphrase_config(plan: Plan) -> KeyphraseConfig:
    """The configuration of the keyphrase pipeline holding the options of ``plan``."""
    fields: dict[str, object] = {
        "language": plan.language,
        "top_k": plan.top_k,
        "tenant_id": plan.tenant,
    }
    if plan.max_n is not None:
        fields["max_words"] = plan.max_n
    if plan.keep_near_duplicates is not None:
        fields["keep_near_duplicates"] = plan.keep_near_duplicates
    if plan.near_duplicate_threshold is not None:
        fields["near_duplicate_threshold"] = plan.near_duplicate_threshold
    if plan.stopwords:
        fields["extra_stopwords"] = plan.stopwords
    table = plan.df if isinstance(plan.df, kezo_native.DocumentFrequencyTable) else None
    if plan.df is not None and table is None:
        fields["document_frequency"] = plan.df
        fields["total_documents"] = plan.total_documents
    config = _native.keyphrase_config(fields)
    if table is not None:  # copied natively, never through a dict
        kezo_native.set_keyphrase_document_frequency(config, table, plan.total_documents)
    return config


class NativeRun:
    """A run that is one native call with one configuration, the records made natively; a
    batch of texts goes to native threads in a few large calls."""

    __slots__ = ("extract", "config", "spans")

    # A batch call stops after this many characters or texts, so Ctrl-C and the memory of
    # the results wait for no more than one such chunk.
    _CHUNK_CHARACTERS = 1 << 22
    _CHUNK_TEXTS = 4096

    def __init__(self, extract: Callable[..., list[Keyphrase]], config: Any, spans: bool) -> None:
        self.extract = extract  # the native call: extract(text, config, record, spans)
        self.config = config
        self.spans = spans

    def __call__(self, text: str) -> list[Keyphrase]:
        return self.extract(text, self.config, Keyphrase, self.spans)

    def batch(self, texts: list[str], threads: int) -> list[list[Keyphrase]]:
        """``[self(t) for t in texts]`` on ``threads`` native threads."""
        out: list[list[Keyphrase]] = []
        start = 0
        while start < len(texts):
            end, characters = start, 0
            while end < len(texts) and end - start < self._CHUNK_TEXTS and (
                end == start or characters < self._CHUNK_CHARACTERS
            ):
                characters += len(texts[end])
                end += 1
            out += kezo_native.spanned_keyphrases_batch(
                texts[start:end], self.config, threads, Keyphrase, self.spans
            )
            start = end
        return out


def _keyphrase(plan: Plan) -> Run:
    return NativeRun(kezo_native.extract_keyphrases_spanned, keyphrase_config(plan), plan.spans)


def _spanned(extract: Callable[..., list[Keyphrase]], config: Any, plan: Plan) -> Run:
    return NativeRun(extract, config, plan.spans)


# The longest phrase of the published-algorithm methods unless max_n says otherwise.
METHOD_MAX_WORDS = 3


def _method_config(config: Any, plan: Plan) -> Any:
    # The fields every published-algorithm method shares.
    config.language = plan.language
    config.top_k = plan.top_k
    config.min_words = plan.min_n
    config.max_words = plan.max_n if plan.max_n is not None else METHOD_MAX_WORDS
    config.tenant_id = plan.tenant
    if plan.stopwords:
        config.extra_stopwords = plan.stopwords
    return config


def _yake(plan: Plan) -> Run:
    config = _method_config(kezo_native.YakeMethodConfig(), plan)
    window = plan.direct.get("window")
    if window is not None:
        config.window = window
    return _spanned(kezo_native.extract_yake_keyphrases, config, plan)


def _rake(plan: Plan) -> Run:
    config = _method_config(kezo_native.RakeMethodConfig(), plan)
    return _spanned(kezo_native.extract_rake_keyphrases, config, plan)


def _textrank(plan: Plan) -> Run:
    config = _method_config(kezo_native.TextRankMethodConfig(), plan)
    for name in ("window", "damping", "max_iter", "tol"):
        if name in plan.direct:
            setattr(config, name, plan.direct[name])
    return _spanned(kezo_native.textrank_keyphrases, config, plan)


def tfidf_config(plan: Plan) -> Any:
    """The configuration of the "tfidf" method holding the options of ``plan``."""
    config = _method_config(kezo_native.TfidfMethodConfig(), plan)
    if isinstance(plan.df, kezo_native.DocumentFrequencyTable):
        config.set_document_frequency_table(plan.df, plan.total_documents)
    elif plan.df is not None:
        config.set_document_frequency(plan.df, plan.total_documents)
    return config


def _tfidf(plan: Plan) -> Run:
    return _spanned(kezo_native.tfidf_keyphrases, tfidf_config(plan), plan)


_ENSEMBLE_METHODS = ("tfidf", "yake", "textrank", "rake")


def _ensemble(plan: Plan) -> Run:
    # Each method's scores are already rescaled into [0, 1] (its best phrase scores 1); a
    # phrase scores the weighted mean of its scores over the methods, 0 where one misses it.
    parts = [
        (weight, _BUILDERS[name](replace(plan, method=name, top_k=0, weights=plan.weights)))
        for name, weight in zip(_ENSEMBLE_METHODS, plan.weights)
        if weight > 0
    ]
    total = sum(weight for weight, _ in parts)

    def run(text: str) -> list[Keyphrase]:
        merged: dict[str, list[Any]] = {}
        for weight, part in parts:
            for k in part(text):
                key = k.text.lower()
                entry = merged.get(key)
                if entry is None:
                    merged[key] = [weight * k.score, k]
                else:
                    entry[0] += weight * k.score
        ranked = sorted(merged.values(), key=lambda e: (-e[0], e[1].first_position))
        if plan.top_k:
            ranked = ranked[: plan.top_k]
        return [k._replace(score=score / total) for score, k in ranked]

    return run


_BUILDERS: dict[str, Callable[[Plan], Run]] = {
    "keyphrase": _keyphrase,
    "ensemble": _ensemble,
    "tfidf": _tfidf,
    "yake": _yake,
    "textrank": _textrank,
    "rake": _rake,
}
