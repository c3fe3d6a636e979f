"""Kezo in scikit-learn: ``KeyphraseVectorizer`` turns documents into a sparse document x
keyphrase matrix, for a ``Pipeline`` or a grid search over its parameters.

Needs the optional dependencies: ``pip install "kezo[sklearn]"``.

Examples:
    >>> from kezo.sklearn import KeyphraseVectorizer
    >>> docs = ["Solar panels turn sunlight into power.", "Old solar panels lose power.",
    ...         "Wind turbines spin in the wind."]
    >>> vectorizer = KeyphraseVectorizer(top_k=3, language="en")
    >>> matrix = vectorizer.fit_transform(docs)
    >>> matrix.shape[0], "solar panels" in vectorizer.get_feature_names_out()
    (3, True)
"""

from __future__ import annotations

import inspect
from collections.abc import Iterable
from typing import TYPE_CHECKING, Any

import kezo

from ._plans import OPTIONS, unknown_option

try:
    import numpy
    import scipy.sparse
    from sklearn.base import BaseEstimator, TransformerMixin
    from sklearn.utils.validation import check_is_fitted
except ImportError as error:  # pragma: no cover - depends on the environment
    raise ImportError('kezo.sklearn needs scikit-learn: pip install "kezo[sklearn]"') from error

if TYPE_CHECKING:
    from typing_extensions import Self, Unpack

    from ._plans import Options

__all__ = ["KeyphraseVectorizer"]

_VALUES = ("score", "count", "binary")
_OWN = {"value": "score", "workers": None}
# A matrix reads no offsets: the extractor is made without spans, and takes no such parameter.
_OPTIONS = tuple(option for option in OPTIONS if option.name != "spans")
_DEFAULTS = {**{option.name: option.default for option in _OPTIONS}, **_OWN}


class KeyphraseVectorizer(TransformerMixin, BaseEstimator):  # type: ignore[misc]
    """Documents as rows of keyphrase features: ``fit`` learns the vocabulary (every keyphrase
    found in the training documents, lower-cased) and, for the default method and "tfidf", the
    corpus frequencies; ``transform`` gives each document's keyphrases in that vocabulary.

    Args:
        value: what a cell holds: "score" (the keyphrase's score, the default), "count" (its
            occurrences) or "binary" (1).
        workers: threads for extraction, 1 to 1024; None uses every core.
        **options: the options of ``kezo.Extractor`` (method, language, top_k, stopwords ...),
            each a parameter of its own, checked when fitting.

    Attributes:
        vocabulary_: keyphrase -> column.
        extractor_: the fitted ``kezo.Extractor`` (made with ``spans=False``: a matrix reads no
            offsets).

    Raises:
        TypeError: an unknown parameter (with the one meant, such as ``top_k`` for ``top_n``).
    """

    def __init__(
        self, *, value: str = "score", workers: int | None = None, **options: Unpack[Options]
    ) -> None:
        for name in options:
            if name not in _DEFAULTS:
                raise unknown_option("KeyphraseVectorizer()", name)
        self.value = value
        self.workers = workers
        for name, default in _DEFAULTS.items():
            if name not in _OWN:
                setattr(self, name, options.get(name, default))

    # scikit-learn reads the parameters from the signature of __init__: spell them all out.
    __init__.__signature__ = inspect.Signature(  # type: ignore[attr-defined]
        [inspect.Parameter("self", inspect.Parameter.POSITIONAL_OR_KEYWORD)]
        + [
            inspect.Parameter(name, inspect.Parameter.KEYWORD_ONLY, default=default)
            for name, default in _DEFAULTS.items()
        ]
    )

    def _extractor(self) -> kezo.Extractor:
        if self.value not in _VALUES:
            raise ValueError(f"value must be one of {', '.join(_VALUES)}; got {self.value!r}")
        options = {o.name: getattr(self, o.name) for o in _OPTIONS}
        return kezo.Extractor(**options, spans=False)

    def fit(self, raw_documents: Iterable[str], y: object = None) -> Self:
        """Learn the vocabulary of ``raw_documents`` (and their corpus frequencies for the
        default method); returns the vectorizer."""
        self.fit_transform(raw_documents)
        return self

    def fit_transform(self, raw_documents: Iterable[str], y: object = None) -> Any:
        """``fit`` then ``transform`` on the same documents, extracting them once."""
        extractor = self._extractor()
        documents = list(raw_documents) if not isinstance(raw_documents, str) else raw_documents
        if extractor.get_params()["method"] in ("keyphrase", "tfidf"):
            results = extractor.fit_extract(documents, workers=self.workers)
        else:
            results = extractor.extract_batch(documents, workers=self.workers)
        found = sorted({phrase.text.lower() for phrases in results for phrase in phrases})
        self.vocabulary_ = {phrase: column for column, phrase in enumerate(found)}
        self.extractor_ = extractor
        return self._matrix(results)

    def transform(self, raw_documents: Iterable[str]) -> Any:
        """A sparse matrix (CSR, float64) of one row per document and one column per keyphrase
        of the vocabulary; keyphrases outside the vocabulary are left out."""
        check_is_fitted(self, "vocabulary_")
        return self._matrix(self.extractor_.extract_batch(raw_documents, workers=self.workers))

    def get_feature_names_out(self, input_features: object = None) -> Any:
        """The keyphrase of each column, as an array of str."""
        check_is_fitted(self, "vocabulary_")
        return numpy.asarray(list(self.vocabulary_), dtype=object)

    def _matrix(self, results: list[list[kezo.Keyphrase]]) -> Any:
        columns: list[int] = []
        cells: list[float] = []
        starts = [0]
        for phrases in results:
            row: dict[int, float] = {}
            for phrase in phrases:
                column = self.vocabulary_.get(phrase.text.lower())
                if column is not None:
                    cell = {"score": phrase.score, "count": phrase.count, "binary": 1.0}
                    row[column] = max(row.get(column, 0.0), cell[self.value])
            columns += sorted(row)
            cells += [row[c] for c in sorted(row)]
            starts.append(len(columns))
        shape = (len(results), len(self.vocabulary_))
        return scipy.sparse.csr_matrix((cells, columns, starts), shape=shape, dtype=numpy.float64)
