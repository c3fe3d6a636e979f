"""Kezo on a Dask cluster: extraction mapped over a ``dask.bag`` of texts or a ``dask.dataframe``
column, and a worker plugin that puts tenant dictionaries, stopwords and the snapping policy on
every worker process, including workers that join the cluster later.

Needs the optional dependencies: ``pip install "kezo[dask]"``.

Examples:
    >>> import dask.bag as db                                            # doctest: +SKIP
    >>> from dask.distributed import Client
    >>> import kezo.dask
    >>> client = Client("tcp://scheduler:8786")
    >>> kezo.dask.install(client, kezo.dask.KezoSetup(
    ...     dictionaries={"acme": ["Paris", "London"]},
    ...     tenant_stopwords={"acme": {"en": ["acme"]}}))
    >>> bag = db.from_sequence(texts, npartitions=64)
    >>> results = kezo.dask.extract_bag(bag, language="en", tenant="acme").compute()
"""

from __future__ import annotations

import importlib
from collections.abc import Iterable, Mapping
from typing import TYPE_CHECKING, Any

import kezo

from ._languages import resolve_language
from ._options import check_tenant, check_terms

try:
    import dask.bag
    from distributed import Client, WorkerPlugin
except ImportError as error:  # pragma: no cover - depends on the environment
    raise ImportError('kezo.dask needs Dask: pip install "kezo[dask]"') from error

if TYPE_CHECKING:
    import dask.dataframe

__all__ = ["KezoSetup", "extract_bag", "extract_column", "install"]


class KezoSetup(WorkerPlugin):
    """The process-wide state kezo needs on a worker: tenant dictionaries, custom and tenant
    stopwords, and the snapping policy. Registered with ``install``, it is applied to every
    worker of the cluster when registered and to every worker that starts later (the scheduler
    hands registered plugins to new workers).

    Args:
        dictionaries: tenant id -> canonical terms, loaded with ``kezo.load_dictionary``.
        tenant_stopwords: tenant id -> {language: words}, set with ``kezo.set_tenant_stopwords``.
        stopwords: language -> words added for every tenant with ``kezo.add_stopwords``.
        cache_policy: fields of the snapping policy, applied first with
            ``kezo.set_cache_policy`` (for example ``max_terms_per_tenant=300_000``).

    Everything is checked and copied when the plugin is made, so a bad value fails in the client,
    not on the workers.

    Examples:
        >>> setup = KezoSetup(dictionaries={"acme": ["Apple", "Banana"]})
        >>> sorted(setup.dictionaries)
        ['acme']
    """

    name = "kezo-setup"

    def __init__(
        self,
        *,
        dictionaries: Mapping[str, Iterable[str]] | None = None,
        tenant_stopwords: Mapping[str, Mapping[str, Iterable[str]]] | None = None,
        stopwords: Mapping[str, Iterable[str]] | None = None,
        cache_policy: Mapping[str, Any] | None = None,
    ) -> None:
        self.cache_policy = dict(cache_policy or {})
        kezo.cache_policy(**self.cache_policy)  # checks the fields without applying them
        self.dictionaries = {
            check_tenant("tenant", tenant): check_terms("terms", terms)
            for tenant, terms in (dictionaries or {}).items()
        }
        self.tenant_stopwords = {
            check_tenant("tenant", tenant): {
                resolve_language(language): check_terms("words", words)
                for language, words in by_language.items()
            }
            for tenant, by_language in (tenant_stopwords or {}).items()
        }
        self.stopwords = {
            resolve_language(language): check_terms("words", words)
            for language, words in (stopwords or {}).items()
        }

    def setup(self, worker: Any = None) -> None:
        """Apply everything in this worker's process (called by the worker)."""
        self.apply()

    def apply(self) -> None:
        """Apply everything in the current process: policy, stopwords, then dictionaries."""
        if self.cache_policy:
            kezo.set_cache_policy(**self.cache_policy)
        for language, words in self.stopwords.items():
            # Custom stopwords are only ever appended: skip those a previous run added.
            kezo.add_stopwords([w for w in words if not kezo.is_stopword(w, language)], language)
        for tenant, by_language in self.tenant_stopwords.items():
            for language, words in by_language.items():
                kezo.set_tenant_stopwords(tenant, words, language)
        for tenant, terms in self.dictionaries.items():
            kezo.load_dictionary(tenant, terms)


def install(client: Client, setup: KezoSetup) -> None:
    """Register ``setup`` with the cluster of ``client``: applied on every current worker now and
    on every worker that joins later. Registering another ``KezoSetup`` replaces it."""
    if not isinstance(setup, KezoSetup):
        raise TypeError(f"setup must be a KezoSetup, got {type(setup).__name__}")
    client.register_plugin(setup)


def _extractor(options: dict[str, Any]) -> kezo.Extractor:
    if "workers" in options:
        raise TypeError("workers is chosen by Dask (one thread per task); do not pass it")
    return kezo.Extractor(**options)  # checked in the client, before any task runs


def _extract_partition(
    texts: Iterable[str], extractor: kezo.Extractor, as_dicts: bool
) -> list[Any]:
    # One thread per task: Dask already runs one task per worker thread.
    results = extractor.extract_batch(list(texts), workers=1)
    if as_dicts:
        return [[phrase.to_dict() for phrase in phrases] for phrases in results]
    return results


def extract_bag(bag: dask.bag.Bag, *, as_dicts: bool = False, **options: Any) -> dask.bag.Bag:
    """Keyphrases of every text of a bag: a bag with one result per text, in the same order.

    Args:
        bag: a ``dask.bag.Bag`` of str.
        as_dicts: give each keyphrase as a dict (``Keyphrase.to_dict``) rather than a record,
            for JSON, Parquet or a dataframe.
        **options: the options of ``kezo.Extractor`` (method, language, top_k, tenant, ...),
            checked here before anything is computed.

    Returns:
        A lazy ``dask.bag.Bag`` of lists of ``kezo.Keyphrase`` (or of dicts).

    Examples:
        >>> phrases = extract_bag(db.from_sequence(texts), top_k=5).compute()  # doctest: +SKIP
    """
    mapped: dask.bag.Bag = bag.map_partitions(  # type: ignore[no-untyped-call]
        _extract_partition, _extractor(options), bool(as_dicts)
    )
    return mapped


def extract_column(
    column: dask.dataframe.Series, *, as_dicts: bool = False, **options: Any
) -> dask.dataframe.Series:
    """Keyphrases of every text of a dataframe column: a series aligned with it.

    Args:
        column: a ``dask.dataframe.Series`` of str (for example ``frame["abstract"]``).
        as_dicts: as for ``extract_bag``.
        **options: as for ``extract_bag``.

    Returns:
        A lazy ``dask.dataframe.Series`` of lists, with the column's index and name.

    Examples:
        >>> frame["keyphrases"] = extract_column(frame["abstract"], top_k=5)  # doctest: +SKIP
    """
    mapped: dask.dataframe.Series = column.map_partitions(  # type: ignore[no-untyped-call]
        _extract_series, _extractor(options), bool(as_dicts), meta=(column.name, object)
    )
    return mapped


def _extract_series(part: Any, extractor: kezo.Extractor, as_dicts: bool) -> Any:
    pandas = importlib.import_module("pandas")  # present wherever dask.dataframe runs
    results = _extract_partition(part.tolist(), extractor, as_dicts)
    return pandas.Series(results, index=part.index, name=part.name, dtype=object)
