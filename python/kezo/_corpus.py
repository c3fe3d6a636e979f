"""Corpus statistics: in how many documents of a corpus each candidate phrase occurs, counted on
every core, for the methods that weigh a phrase by how rare it is across documents."""

from __future__ import annotations

from collections.abc import Iterable, Iterator, Mapping
from functools import partial

import kezo_native
from kezo_native import DocumentFrequencyTable, KeyphraseConfig, Language

from ._batch import check_workers
from ._languages import LanguageLike, resolve_language
from ._options import MAX_PHRASE_WORDS, UINT32_MAX, check_counts, check_int, check_terms

class CorpusFrequencies(Mapping[str, int]):
    """Document frequencies of a corpus: how many of its documents hold each phrase, keyed by
    the phrase's stem key (``kezo_native.keyphrase_stem_key``), and how many documents were
    counted. Give it as ``df`` of the default method; it pickles, so it can be saved and reused.

    Args:
        counts: stem key -> number of documents holding the phrase (0 to ``documents``).
        documents: how many documents were counted, 1 to 4294967295.
        language: the language the phrases were counted in ("auto": identified per document).
        max_n: the longest phrase counted, in words.

    Raises:
        TypeError, ValueError: a count, ``documents`` or ``max_n`` fails its check.

    Examples:
        >>> corpus = CorpusFrequencies({"solar panel": 2, "wind": 1}, documents=3)
        >>> corpus["solar panel"], corpus.documents, len(corpus)
        (2, 3, 2)
    """

    def __init__(
        self,
        counts: Mapping[str, int],
        documents: int,
        *,
        language: LanguageLike = "auto",
        max_n: int = 3,
    ) -> None:
        self.documents: int = check_int("documents", documents, 1, UINT32_MAX)
        # Held natively: the methods share the table instead of converting it call by call.
        self._table = DocumentFrequencyTable(check_counts("counts", counts, self.documents))
        self.language: Language = resolve_language(language)
        self.max_n: int = check_int("max_n", max_n, 1, MAX_PHRASE_WORDS)

    def __getitem__(self, key: str) -> int:
        return self._table[key]

    def __contains__(self, key: object) -> bool:
        return isinstance(key, str) and key in self._table

    def __iter__(self) -> Iterator[str]:
        return iter(self._table)

    def __len__(self) -> int:
        return len(self._table)

    def __eq__(self, other: object) -> bool:
        if not isinstance(other, CorpusFrequencies):
            return NotImplemented
        return (self.documents, self.language, self.max_n) == (
            other.documents,
            other.language,
            other.max_n,
        ) and self._table.to_dict() == other._table.to_dict()

    def __reduce__(self) -> tuple[object, ...]:
        state = {"language": self.language, "max_n": self.max_n}
        return (CorpusFrequencies, (self._table.to_dict(), self.documents), state)

    def __setstate__(self, state: dict[str, object]) -> None:
        counts = state.pop("_counts", None)  # pickled by an earlier version: a plain dict
        self.__dict__.update(state)
        if counts is not None:
            self._table = DocumentFrequencyTable(check_counts("counts", counts, self.documents))

    def __repr__(self) -> str:
        code = kezo_native.language_code(self.language)
        return (
            f"<CorpusFrequencies: {len(self)} phrases in {self.documents} documents, "
            f"language {code}, max_n {self.max_n}>"
        )


def count_corpus(
    texts: Iterable[str], config: KeyphraseConfig, workers: int | None
) -> CorpusFrequencies:
    """The frequencies of ``texts`` with the phrases ``config`` forms, counted natively on
    ``workers`` threads without the interpreter lock.

    Phrases are every run of up to ``config.max_words`` words between stopwords, whatever
    their parts of speech: a superset of the default method's noun phrases and the phrases
    "tfidf" weighs, so both find every phrase they offer counted. (Counted as noun phrases,
    a phrase holding a verb would be missing and so look rarer than any other.)"""
    items = check_terms("texts", texts)
    if not items:
        raise ValueError("texts must hold at least one document, got none")
    threads = check_workers(workers)
    corpus = CorpusFrequencies({}, len(items), language=config.language, max_n=config.max_words)
    corpus._table = kezo_native.count_document_frequency(items, config, threads, False)
    return corpus


def corpus_frequencies(
    texts: Iterable[str],
    *,
    language: LanguageLike = "auto",
    max_n: int = 3,
    workers: int | None = None,
) -> CorpusFrequencies:
    """Count in how many of ``texts`` each phrase occurs (every run of up to ``max_n`` words
    between stopwords, keyed by stem key): the corpus statistics of "tfidf" and of the default
    method.

    ``Extractor.fit`` does the same with the extractor's own options.

    Args:
        texts: the documents of the corpus, an iterable of str (a str itself is refused).
        language: a code, name or ``Language``; "auto" identifies each document's language.
        max_n: longest phrase counted, 1 to 8 words.
        workers: threads to use, 1 to 1024; None uses every core this process may run on.

    Returns:
        A ``CorpusFrequencies``, to give as ``df`` of ``extract`` or ``Extractor``.

    Raises:
        TypeError, ValueError: an option or a text fails its check, or ``texts`` is empty.

    Examples:
        >>> corpus = corpus_frequencies(["Solar panels age.", "Solar panels are cheap."])
        >>> corpus.documents, corpus["solar panel"]
        (2, 2)
    """
    config = KeyphraseConfig(
        language=resolve_language(language),
        max_words=check_int("max_n", max_n, 1, MAX_PHRASE_WORDS),
    )
    return count_corpus(texts, config, workers)
