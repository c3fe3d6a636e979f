"""The immutable records the package returns: named tuples, so each pickles, copies, compares,
hashes, unpacks, and turns into a JSON-ready dict with ``to_dict()``."""

from __future__ import annotations

from typing import NamedTuple

import kezo_native
from kezo_native import Keyword, Language


class Keyphrase(NamedTuple):
    """One extracted keyphrase.

    Attributes:
        text: the phrase, words joined by one blank (ideograph runs by nothing). "yake" and
            "rake" give it lower-cased; the other methods as written, but for a capital that
            only starts a sentence.
        score: the method's score, 0 to 1; a higher score ranks first.
        count: how often the phrase occurred (each method counts in its own way).
        first_position: the word at which it first occurred, counted from 0 (numbers and
            symbols are not words).
        spans: the (start, end) offsets of the occurrences the phrase stands for, in text
            order, as slices of the str it was extracted from: ``text[start:end]`` is the
            occurrence as written. Every method fills them; empty with ``spans=False`` and in
            a ``Keyphrase`` made from a native ``Keyword``.

    Examples:
        >>> phrase = Keyphrase("solar panels", 0.93, 3, 0, ((0, 12),))
        >>> phrase.to_dict()["spans"]
        [[0, 12]]
    """

    text: str
    score: float
    count: int  # type: ignore[assignment]  # a field here, not tuple.count
    first_position: int
    spans: tuple[tuple[int, int], ...] = ()

    @classmethod
    def from_keyword(cls, keyword: Keyword) -> Keyphrase:
        """The ``Keyphrase`` holding the fields of a native ``Keyword``."""
        return cls(keyword.text, keyword.score, keyword.count, keyword.first_position)

    def to_dict(self) -> dict[str, object]:
        """The fields as a dict, ready for ``json.dumps`` (spans as lists of two offsets)."""
        return {**self._asdict(), "spans": [list(span) for span in self.spans]}


class LanguageGuess(NamedTuple):
    """A language found for a text, or the answer that none of the supported languages fits.

    Attributes:
        language: the ``kezo_native.Language`` member; ``Language.Auto`` when undetermined.
        code: its ISO code ("fr"; "ak" for Twi, "gaa" for Ga, "fat" for Fante); "und" when
            undetermined.
        name: its English name; "Undetermined" when undetermined.
        confidence: the estimated probability that the language is right, from 0 to 1
            (0 when undetermined).

    Examples:
        >>> LanguageGuess.of(Language.French, 0.9).to_dict()
        {'language': 'fr', 'name': 'French', 'confidence': 0.9}
    """

    language: Language
    code: str
    name: str
    confidence: float

    @classmethod
    def of(cls, language: Language, confidence: float) -> LanguageGuess:
        """The guess for ``language`` with its code and name filled in; ``Language.Auto`` stands
        for undetermined."""
        if language == Language.Auto:
            return cls(language, "und", "Undetermined", confidence)
        return cls(
            language,
            kezo_native.language_code(language),
            kezo_native.language_name(language),
            confidence,
        )

    def to_dict(self) -> dict[str, object]:
        """Code, name and confidence as a dict, ready for ``json.dumps``."""
        return {"language": self.code, "name": self.name, "confidence": self.confidence}


class DictionaryLoad(NamedTuple):
    """What loading a tenant dictionary did.

    Attributes:
        tenant: the tenant id.
        installed: whether a new dictionary replaced the tenant's previous one (False when the
            tenant's update rate limit refused the load; nothing changed then).
        accepted: terms in the installed dictionary.
        refused: terms left out: empty, longer than the policy's ``max_token_length``, or
            beyond its ``max_terms_per_tenant``.
        memory_bytes: accounted size of the installed dictionary.
        limit_reached: whether ``max_terms_per_tenant`` cut the list.

    Examples:
        >>> DictionaryLoad("shop", True, 2, 0, 324, False).accepted
        2
    """

    tenant: str
    installed: bool
    accepted: int
    refused: int
    memory_bytes: int
    limit_reached: bool

    def to_dict(self) -> dict[str, object]:
        """The fields as a dict, ready for ``json.dumps``."""
        return dict(self._asdict())


class SnapResult(NamedTuple):
    """The outcome of snapping one term to a tenant dictionary.

    Attributes:
        query: the term as given.
        term: the canonical dictionary term, or ``query`` unchanged when nothing matched.
        distance: the edit distance between them, or None when nothing matched.
        matched: whether a dictionary term lay within the allowed distance.

    Examples:
        >>> SnapResult("aple", "Apple", 1, True).term
        'Apple'
    """

    query: str
    term: str
    distance: int | None
    matched: bool

    def to_dict(self) -> dict[str, object]:
        """The fields as a dict, ready for ``json.dumps``."""
        return dict(self._asdict())
