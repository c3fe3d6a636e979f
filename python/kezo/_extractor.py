"""``Extractor``: the extraction options, checked once and held, with the calls that use them;
``extract`` and ``extract_batch`` are one-off extractors."""

from __future__ import annotations

from collections.abc import Callable, Iterable, Iterator, Mapping
from dataclasses import replace
from typing import TYPE_CHECKING, Any

import kezo_native
from kezo_native import KeyphraseConfig, Language, TokenizerConfig

from ._batch import check_workers, map_ordered
from ._corpus import CorpusFrequencies, count_corpus
from ._extraction import METHOD_MAX_WORDS, NativeRun, keyphrase_config, runner, tfidf_config
from ._options import check_terms, check_text
from ._plans import OPTIONS, Plan, plan, unknown_option
from ._records import Keyphrase

if TYPE_CHECKING:
    from typing_extensions import Self, Unpack

    from ._plans import Options

_DEFAULTS = {option.name: option.default for option in OPTIONS}


class Extractor:
    """Keyphrase extraction with a fixed set of options, checked once when it is made.

    An extractor can serve any number of threads at once, pickles (options and learned corpus
    statistics alike), and follows scikit-learn's conventions: ``get_params``, ``set_params``,
    ``fit`` returning the extractor, and a repr showing the options set.

    Every option is checked here, before the native core runs. Options left out or None take
    the method's own default; an option that does not apply to the chosen method is an error.

    Args:
        method: "keyphrase" (the default: the tuned pipeline), "ensemble" (all four
            algorithms merged), "tfidf", "yake", "textrank" or "rake".
        language: a code, English name or ``Language`` ("fr", "French", "auto"); "auto"
            identifies the language of each text.
        top_k: how many keyphrases to return at most (up to 4294967295); 0 or None returns all.
        min_n: shortest phrase in words, 1 to 8 (default 1; not for "keyphrase").
        max_n: longest phrase in words, 1 to 8 (default 3, or the pipeline's own maximum for
            "keyphrase"); the cap keeps the cost linear in the length of the text.
        tenant: a tenant id whose stopwords apply during the call (see ``set_tenant_stopwords``).
        stopwords: every method but "ensemble": further stopwords, an iterable of words
            compared lower-cased, for this extractor's calls only: no other call or thread sees
            them.
        weights: "ensemble" only: weights of "tfidf", "yake", "textrank", "rake" (defaults 1, 1,
            1, 0.7); finite, at least 0, at least one above 0.
        window: "yake" and "textrank": co-occurrence distance in words, 1 to 10 (default 1 for
            "yake", 2 for "textrank", which links neighbours at least and so reads 1 as 2).
        damping: "textrank": damping factor, strictly between 0 and 1 (default 0.85); the
            ranking takes values below 0.01 or above 0.99 as those.
        max_iter: "textrank": most ranking iterations, 1 to 1000 (default 100).
        tol: "textrank": convergence threshold, above 0 (default 0.0001).
        df: "keyphrase" and "tfidf": document frequencies of a corpus, a
            ``CorpusFrequencies`` (from ``corpus_frequencies`` or ``fit``); "tfidf" also takes a
            mapping of phrase to documents, as ``kezo_native.build_corpus_df`` builds it.
        total_documents: how many documents a mapping given as ``df`` was counted over, at
            least 1 and at least every count (a ``CorpusFrequencies`` knows its own).
        keep_near_duplicates: "keyphrase": keep phrases that nearly repeat a better one.
        near_duplicate_threshold: "keyphrase": how much of a phrase may repeat a better one
            before it is left out, 0 to 1. The share is the longest run of the phrase's stems
            that the better phrase holds in a row, over the phrase's stems (1 for a phrase
            wholly inside it or its words reordered). The default 1 leaves out only those; 0.5
            also leaves out phrases sharing half their words in a row with a better one.
        tokenizer: "ensemble": no effect, and a ``FutureWarning`` says so: every method reads
            words with kezo's own scanner. Taken so that code passing it goes on working; it
            will be removed.
        spans: whether each keyphrase comes with the offsets of its occurrences (default
            True). False leaves every ``Keyphrase.spans`` empty and saves making them: two
            tuples for a phrase occurring once and one more for each further occurrence, most
            of the objects a result holds (a batch of abstracts is extracted about a tenth
            faster).

    Raises:
        TypeError: an option is unknown (with the option meant, such as ``top_k`` for
            ``top_n``) or has the wrong type (``bool`` is not taken for an int).
        ValueError: an option is out of range or does not apply to the method.

    Examples:
        >>> extractor = Extractor(method="textrank", top_k=1)
        >>> extractor
        Extractor(method='textrank', top_k=1)
        >>> text = ("Solar panels turn sunlight into power. Cheap solar panels need care, "
        ...         "and old solar panels lose power.")
        >>> [k.text for k in extractor.extract(text)]
        ['solar panels']
    """

    def __init__(self, **options: Unpack[Options]) -> None:
        self._use(options, "Extractor()")

    def _use(self, options: Mapping[str, Any], caller: str) -> None:
        options = dict(options)
        if isinstance(options.get("stopwords"), Iterator):  # read once: kept for set_params
            options["stopwords"] = tuple(options["stopwords"])
        checked = plan(options, caller)
        run = runner(checked)  # made before anything is replaced: a failure changes nothing
        self._run = run
        # A native run is called straight from extract, without a Python call of its own.
        self._native_extract: Callable[..., list[Keyphrase]] | None = None
        self._native_config: Any = None
        self._native_spans = checked.spans
        if isinstance(run, NativeRun):
            self._native_extract, self._native_config = run.extract, run.config
        self._plan: Plan = checked
        self._options = options

    def extract(self, text: str) -> list[Keyphrase]:
        """The keyphrases of ``text``, best first.

        Args:
            text: the text, a str (decode bytes first).

        Returns:
            A list of ``Keyphrase`` (text, score, count, first_position, spans), highest score
            first.

        Raises:
            TypeError: ``text`` is not a str.
            ValueError: ``text`` holds a lone surrogate.

        Examples:
            >>> text = ("Solar panels turn sunlight into power. Cheap solar panels need care, "
            ...         "and old solar panels lose power.")
            >>> [(k.text, k.count) for k in Extractor(top_k=1).extract(text)]
            [('solar panels', 3)]
        """
        extract = self._native_extract
        if extract is not None:
            return extract(
                check_text("text", text), self._native_config, Keyphrase, self._native_spans
            )
        return self._run(check_text("text", text))

    def extract_batch(self, texts: Iterable[str], workers: int | None = None) -> list[list[Keyphrase]]:
        """The keyphrases of many texts on every core: the same as ``extract`` on each.

        The texts are spread over a pool of threads (the native calls release the interpreter
        lock); with language "auto" each text is identified on its own.

        Args:
            texts: an iterable of str (a str itself is refused).
            workers: threads to use, 1 to 1024; None uses every core this process may run on.

        Returns:
            One list of ``Keyphrase`` per text, in the order of ``texts``.

        Raises:
            TypeError, ValueError: ``workers`` or a text fails its check (nothing is extracted
                then).

        Examples:
            >>> results = Extractor(top_k=1).extract_batch(["Solar panels age.", "Wind blows."])
            >>> len(results)
            2
        """
        items = check_terms("texts", texts)
        run = self._run
        threads = check_workers(workers)
        if isinstance(run, NativeRun):
            return run.batch(items, threads)
        return list(map_ordered(lambda: run, items, threads))

    def fit(self, texts: Iterable[str], workers: int | None = None) -> Self:
        """Learn the document frequencies of a corpus and use them as ``df`` from now on, in
        place of any ``df`` given before: the corpus statistics of the default method and of
        "tfidf". Phrases are counted with this extractor's language, longest phrase, tenant and
        stopwords, so they match what ``extract`` forms.

        Args:
            texts: the documents of the corpus, an iterable of str, at least one.
            workers: threads to count on, 1 to 1024; None uses every core.

        Returns:
            This extractor.

        Raises:
            ValueError: the method does not take corpus statistics, or ``texts`` is empty.
            TypeError: a text is not a str.

        Examples:
            >>> corpus = ["Solar panels age.", "Solar panels are cheap.", "Wind blows."]
            >>> Extractor().fit(corpus).get_params()["df"].documents
            3
        """
        corpus = count_corpus(texts, self._counting_config("fit()"), workers)
        self._learn(corpus)
        return self

    def fit_extract(
        self, texts: Iterable[str], workers: int | None = None
    ) -> list[list[Keyphrase]]:
        """``fit(texts)``, then ``extract_batch(texts)``: the keyphrases of every text of a
        corpus weighed against that corpus, which this extractor keeps as ``df`` afterwards.

        For "tfidf" both steps are one native pass: each text is read once, its phrases
        counted and then weighed, on every core. The work is one call that returns when
        every text is done.

        Args:
            texts: the documents, an iterable of str, at least one.
            workers: threads to use, 1 to 1024; None uses every core this process may run on.

        Returns:
            One list of ``Keyphrase`` per text, in the order of ``texts``.

        Raises:
            ValueError: the method does not take corpus statistics, or ``texts`` is empty.
            TypeError: ``workers`` or a text fails its check.

        Examples:
            >>> docs = ["Solar panels age. Solar panels rust.", "Wind farms grow.", "Wind blows."]
            >>> extractor = Extractor(method="tfidf", top_k=1)
            >>> [phrases[0].text for phrases in extractor.fit_extract(docs)]
            ['solar', 'wind farms', 'wind blows']
            >>> extractor.get_params()["df"].documents
            3
        """
        counting = self._counting_config("fit_extract()")
        items = check_terms("texts", texts)
        if self._plan.method != "tfidf":
            self._learn(count_corpus(items, counting, workers))
            return self.extract_batch(items, workers)
        if not items:
            raise ValueError("texts must hold at least one document, got none")
        threads = check_workers(workers)
        config = tfidf_config(replace(self._plan, df=None, total_documents=0))
        table, results = kezo_native.tfidf_corpus_keyphrases(
            items, config, threads, Keyphrase, self._plan.spans
        )
        corpus = CorpusFrequencies(
            {}, len(items), language=counting.language, max_n=counting.max_words
        )
        corpus._table = table
        self._learn(corpus)
        return results

    def _counting_config(self, caller: str) -> KeyphraseConfig:
        # How a corpus is counted for this extractor: its own options, with the longest phrase
        # its method forms.
        method = self._plan.method
        if method not in ("keyphrase", "tfidf"):
            raise ValueError(
                f"{caller} learns df for the methods 'keyphrase' and 'tfidf'; this extractor's "
                f"method is {method!r}"
            )
        counted = replace(self._plan, df=None, total_documents=0)
        if method == "tfidf" and counted.max_n is None:
            counted = replace(counted, max_n=METHOD_MAX_WORDS)
        return keyphrase_config(counted)

    def _learn(self, corpus: CorpusFrequencies) -> None:
        options = {**self._options, "df": corpus}
        options.pop("total_documents", None)
        self._use(options, "fit()")

    def get_params(self, deep: bool = True) -> dict[str, Any]:
        """Every option with its value, defaults included (``deep`` is taken for scikit-learn
        and changes nothing: no option holds an estimator)."""
        return {**_DEFAULTS, **self._options}

    def set_params(self, **params: Any) -> Self:
        """Change some options; all of them are checked again together, and nothing changes
        when a check fails. Returns this extractor."""
        self._use({**self._options, **params}, "set_params()")
        return self

    def __repr__(self) -> str:
        shown = [
            f"{name}={_shown(value)}"
            for name, value in self._options.items()
            if value is not _DEFAULTS[name] and not _same(value, _DEFAULTS[name])
        ]
        return f"Extractor({', '.join(shown)})"

    def __getstate__(self) -> dict[str, Any]:
        return dict(self._options)

    def __setstate__(self, options: dict[str, Any]) -> None:
        self._use(options, "Extractor()")


def _same(value: object, default: object) -> bool:
    return type(value) is type(default) and value == default


_TOKENIZER_DEFAULTS = TokenizerConfig()
_TOKENIZER_FIELDS = ("lowercase", "strip_accents", "split_cjk", "keep_numbers",
                     "keep_punctuation", "min_word_length")


def _shown(value: object) -> str:
    if isinstance(value, TokenizerConfig):  # the native class shows no fields of its own
        changed = [
            f"{name}={getattr(value, name)!r}"
            for name in _TOKENIZER_FIELDS
            if getattr(value, name) != getattr(_TOKENIZER_DEFAULTS, name)
        ]
        return f"TokenizerConfig({', '.join(changed)})"
    return repr(value)


def extract(text: str, **options: Unpack[Options]) -> list[Keyphrase]:
    """Extract the keyphrases of ``text``, best first: ``Extractor(**options).extract(text)``.

    Args:
        text: the text, a str (decode bytes first).
        **options: the options of ``Extractor`` (method, language, top_k, ...), checked before
            the native core runs.

    Returns:
        A list of ``Keyphrase`` (text, score, count, first_position, spans), highest score
        first.

    Raises:
        TypeError, ValueError: an option or the text fails its check (see ``Extractor``).

    Examples:
        >>> text = ("Solar panels turn sunlight into power. Cheap solar panels need care, "
        ...         "and old solar panels lose power.")
        >>> [k.text for k in extract(text, method="textrank", top_k=1)]
        ['solar panels']
    """
    return _extractor_of(options, "extract()").extract(text)


def extract_batch(
    texts: Iterable[str], *, workers: int | None = None, **options: Unpack[Options]
) -> list[list[Keyphrase]]:
    """Extract the keyphrases of many texts on every core; the same as ``extract`` on each:
    ``Extractor(**options).extract_batch(texts, workers)``.

    Args:
        texts: an iterable of str (a str itself is refused).
        workers: threads to use, 1 to 1024; None uses every core this process may run on.
        **options: the options of ``Extractor``, checked once.

    Returns:
        One list of ``Keyphrase`` per text, in the order of ``texts``.

    Raises:
        TypeError, ValueError: an option or a text fails its check (nothing is extracted then).

    Examples:
        >>> results = extract_batch(["Solar panels age.", "Wind turbines spin."], top_k=1)
        >>> len(results)
        2
    """
    return _extractor_of(options, "extract_batch()").extract_batch(texts, workers)


# Extractors of recent option sets made of plain values, so that repeated one-off calls check
# their options once. The type is part of the key: top_k=True must not find top_k=1.
_RECENT: dict[tuple[tuple[str, type, object], ...], Extractor] = {}
_RECENT_MAX = 64
_PLAIN = (str, int, float, bool, type(None), Language)


def _extractor_of(options: Mapping[str, Any], caller: str) -> Extractor:
    key = None
    if all(type(value) in _PLAIN for value in options.values()):
        key = tuple(sorted((name, type(value), value) for name, value in options.items()))
        found = _RECENT.get(key)
        if found is not None:
            return found
    extractor = Extractor.__new__(Extractor)
    extractor._use(options, caller)
    if key is not None:
        if len(_RECENT) >= _RECENT_MAX:
            _RECENT.clear()
        _RECENT[key] = extractor
    return extractor
