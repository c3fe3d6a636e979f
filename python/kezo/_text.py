"""Working with the caller's text: its words, and its keyphrases marked where they occur."""

from __future__ import annotations

from collections.abc import Iterable

import kezo_native

from ._languages import LanguageLike, resolve_language
from ._options import check_text
from ._records import Keyphrase


def words(text: str, language: LanguageLike = "auto") -> list[str]:
    """The lower-cased words of ``text``, in order.

    Words are runs of letters, combining marks and digits; punctuation, symbols and blanks
    separate them, and numbers and one-letter words count. Ideographs come one per character
    (the way the extraction methods count them), except in Korean, whose words are written with
    blanks between them. The tokenizer is Kezo's native one; the extraction methods read words
    their own way (an English possessive's "'s" is a word of its own there, a number none).

    Args:
        text: the text, a str.
        language: a code, name or ``Language``; it matters only for Korean. "auto" treats the
            text as Korean when its script says so.

    Returns:
        A list of str.

    Raises:
        TypeError: ``text`` is not a str, or ``language`` is neither a str nor a ``Language``.
        ValueError: ``text`` holds a lone surrogate, or ``language`` names no language.

    Examples:
        >>> words("Solar panels, 2 of them: l'été!")
        ['solar', 'panels', '2', 'of', 'them', 'l', 'été']
    """
    return kezo_native.words(check_text("text", text), resolve_language(language))


def highlight(
    text: str, keyphrases: Iterable[Keyphrase], before: str = "<mark>", after: str = "</mark>"
) -> str:
    """``text`` with every occurrence of ``keyphrases`` between ``before`` and ``after``.

    Occurrences are the ``spans`` of the keyphrases, which must have been extracted from this
    very ``text``. Where occurrences overlap, the longest is marked (the first of equal ones) and
    the others are left out, so marks never nest; removing the markers gives ``text`` back.
    Keyphrases without spans mark nothing.

    Args:
        text: the text the keyphrases were extracted from.
        keyphrases: ``Keyphrase`` records, for example the result of ``extract(text)``.
        before: inserted before each occurrence.
        after: inserted after each occurrence.

    Returns:
        The marked text.

    Raises:
        TypeError: ``text``, ``before`` or ``after`` is not a str.
        ValueError: a span lies outside ``text`` (the keyphrases come from another text).

    Examples:
        >>> text = "Solar panels age. Old solar panels fail."
        >>> found = [Keyphrase("solar panels", 0.9, 2, 0, ((0, 12), (22, 34))),
        ...          Keyphrase("old solar panels", 0.5, 1, 3, ((18, 34),))]
        >>> highlight(text, found, "[", "]")
        '[Solar panels] age. [Old solar panels] fail.'
    """
    for name, value in (("text", text), ("before", before), ("after", after)):
        if not isinstance(value, str):
            raise TypeError(f"{name} must be str, got {type(value).__name__}")
    spans = sorted(
        {(span[0], span[1]) for phrase in keyphrases for span in phrase.spans},
        key=lambda span: (span[0] - span[1], span[0]),
    )
    covered = bytearray(len(text))
    chosen: list[tuple[int, int]] = []
    for start, end in spans:
        if not 0 <= start < end <= len(text):
            raise ValueError(
                f"span ({start}, {end}) does not lie in the text of {len(text)} characters: "
                "the keyphrases come from another text"
            )
        if covered.find(1, start, end) < 0:
            covered[start:end] = b"\x01" * (end - start)
            chosen.append((start, end))
    pieces: list[str] = []
    done = 0
    for start, end in sorted(chosen):
        pieces += [text[done:start], before, text[start:end], after]
        done = end
    pieces.append(text[done:])
    return "".join(pieces)
