"""Kezo in spaCy: a pipeline component, ``nlp.add_pipe("kezo", config={...})``, that puts each
document's keyphrases on ``doc._.keyphrases`` as spaCy spans, best first, each with its score in
``span._.keyphrase_score``. Installing kezo registers the component with spaCy (an entry point),
so pipelines saved with it load again with ``spacy.load``.

Needs the optional dependency: ``pip install "kezo[spacy]"``.

Examples:
    >>> import spacy
    >>> nlp = spacy.blank("en")
    >>> _ = nlp.add_pipe("kezo", config={"top_k": 2})
    >>> doc = nlp("Solar panels turn sunlight into power. Cheap solar panels need care, "
    ...           "and old solar panels lose power.")
    >>> [(span.text, round(span._.keyphrase_score, 2)) for span in doc._.keyphrases]
    [('Solar panels', 0.75), ('power', 0.26)]
"""

from __future__ import annotations

import inspect
from collections.abc import Iterable, Iterator
from typing import Any

import kezo

from ._languages import resolve_language
from ._plans import OPTIONS

try:
    from spacy.language import Language
    from spacy.tokens import Doc, Span
except ImportError as error:  # pragma: no cover - depends on the environment
    raise ImportError('kezo.spacy needs spaCy: pip install "kezo[spacy]"') from error

__all__ = ["KeyphraseComponent"]

SPANS_KEY = "keyphrases"
"""The key of ``doc.spans`` holding the keyphrases."""

# The options a pipeline's configuration file can hold: plain values only.
# spans is left out: the component marks each keyphrase where it first occurs.
_CONFIG = {
    o.name: o.default
    for o in OPTIONS
    if o.name not in ("tokenizer", "df", "total_documents", "spans")
}
_CONFIG["language"] = None  # the pipeline's own language where kezo knows it, else "auto"
_BATCH = 256

if not Doc.has_extension(SPANS_KEY):
    Doc.set_extension(SPANS_KEY, getter=lambda doc: list(doc.spans.get(SPANS_KEY, ())))
if not Span.has_extension("keyphrase_score"):
    Span.set_extension("keyphrase_score", default=None)


class KeyphraseComponent:
    """The pipeline component: an ``Extractor`` of the configured options, run on each
    document's text (on several threads in ``nlp.pipe``). A keyphrase becomes the span of its
    first occurrence, widened to whole tokens; keyphrases whose method does not locate them are
    left out.

    Args:
        nlp: the pipeline (its language is used when ``language`` is None).
        name: the component's name in the pipeline.
        **options: the options of ``kezo.Extractor`` that a configuration can hold (all but
            tokenizer, df, total_documents and spans), checked when the component is made.
    """

    def __init__(self, nlp: Language, name: str, **options: Any) -> None:
        if "spans" in options:
            raise TypeError("spans is not an option of the keyphrase component, which marks "
                            "each keyphrase where it first occurs")
        if options.get("language") is None:
            try:
                options["language"] = resolve_language(str(nlp.lang))
            except ValueError:  # a language kezo does not know, or "xx" (several)
                options["language"] = "auto"
        self.name = name
        self.extractor = kezo.Extractor(**options)

    def __call__(self, doc: Doc) -> Doc:
        self._mark(doc, self.extractor.extract(doc.text))
        return doc

    def pipe(self, docs: Iterable[Doc], batch_size: int = _BATCH) -> Iterator[Doc]:
        batch: list[Doc] = []
        for doc in docs:
            batch.append(doc)
            if len(batch) >= batch_size:
                yield from self._batch(batch)
                batch = []
        yield from self._batch(batch)

    def _batch(self, docs: list[Doc]) -> Iterator[Doc]:
        for doc, phrases in zip(docs, self.extractor.extract_batch([d.text for d in docs])):
            self._mark(doc, phrases)
            yield doc

    @staticmethod
    def _mark(doc: Doc, phrases: list[kezo.Keyphrase]) -> None:
        spans = []
        for phrase in phrases:
            if not phrase.spans:
                continue
            start, end = phrase.spans[0]
            span = doc.char_span(start, end, label="KEYPHRASE", alignment_mode="expand")
            if span is not None:
                span._.keyphrase_score = phrase.score
                spans.append(span)
        doc.spans[SPANS_KEY] = spans


# spaCy validates a configuration against the factory's signature: spell every option out.
KeyphraseComponent.__init__.__signature__ = inspect.Signature(  # type: ignore[attr-defined]
    [
        inspect.Parameter(name, inspect.Parameter.POSITIONAL_OR_KEYWORD)
        for name in ("self", "nlp", "name")
    ]
    + [
        inspect.Parameter(name, inspect.Parameter.KEYWORD_ONLY, default=value, annotation=Any)
        for name, value in _CONFIG.items()
    ]
)
Language.factory("kezo", default_config=_CONFIG, assigns=["doc._.keyphrases"],
                 func=KeyphraseComponent)
