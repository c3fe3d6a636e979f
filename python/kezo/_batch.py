"""Many texts at once: the native extraction calls release the interpreter lock, so a pool of
threads keeps every core busy without copying texts into other processes."""

from __future__ import annotations

import os
from collections.abc import Iterable, Iterator, Mapping
from concurrent.futures import ThreadPoolExecutor
from functools import partial
from typing import Callable, TypeVar

from kezo_native import TokenizerConfig

from ._extraction import Runner
from ._languages import LanguageLike
from ._options import check_int, check_terms
from ._plans import DEFAULT_METHOD, plan
from ._records import Keyphrase

_CHUNKS_PER_WORKER = 4  # enough to even out texts of unequal length
_MAX_CHUNK = 64  # keeps results flowing to a reader that streams them
_CHUNKS_PER_WORKER = 4  # enough to even out texts of unequal length
_MAX_CHUNK = 64  # keeps results flowing to a reader that streams them
_T = TypeVar("_T")
_R = TypeVar("_R")


def default_workers() -> int:
    """The number of cores this process may run on."""
    try:
        return len(os.sched_getaffinity(0))
    except AttributeError:  # platforms without CPU affinity
        return os.cpu_count() or 1


def check_workers(workers: int | None) -> int:
    """``workers`` checked (1 to 1024), or every core when it is None."""
    return default_workers() if workers is None else check_int("workers", workers, 1, 1024)


def map_ordered(
    make: Callable[[], Callable[[_T], _R]], items: list[_T], workers: int
) -> Iterator[_R]:
    """Every item through a function from ``make`` on up to ``workers`` threads, in item order,
    each result yielded as soon as it and every earlier one are done.

    Items go to the threads in chunks, a few per thread, and each chunk gets its own function
    from ``make``, so per-item overhead stays small and a function never serves two threads.
    """
    if workers <= 1 or len(items) <= 1:
        yield from map(make(), items)
        return
    size = max(1, min(_MAX_CHUNK, len(items) // (workers * _CHUNKS_PER_WORKER)))
    chunks = [items[start : start + size] for start in range(0, len(items), size)]
    pool = ThreadPoolExecutor(max_workers=min(workers, len(chunks)))
    try:
        futures = [pool.submit(lambda chunk: list(map(make(), chunk)), c) for c in chunks]
        for future in futures:
            yield from future.result()
    finally:
        # A reader that stops early (an error, a closed pipe, Ctrl-C) waits only for the
        # chunks already running, not for the whole input.
        pool.shutdown(wait=True, cancel_futures=True)


def extract_batch(
    texts: Iterable[str],
    *,
    workers: int | None = None,
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
) -> list[list[Keyphrase]]:
    """Extract the keyphrases of many texts on every core; the same as ``extract`` on each.

    Options are checked once, then the texts are spread over a pool of threads (the native
    calls release the interpreter lock). Results come back in the order of ``texts``.

    Args:
        texts: an iterable of str (a str itself is refused).
        workers: threads to use, 1 to 1024; None uses every core this process may run on.
        method, language, top_k, min_n, max_n, tenant, weights, window, damping, max_iter, tol,
        df, total_documents, keep_near_duplicates, tokenizer: as for ``extract``; with
            language "auto" each text is identified on its own.

    Returns:
        One list of ``Keyphrase`` per text, in the order of ``texts``.

    Raises:
        TypeError, ValueError: an option or a text fails its check (nothing is extracted then).

    Example:
        >>> results = extract_batch(["Solar panels age.", "Wind turbines spin."], top_k=1)
        >>> len(results)
        2
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
    items = check_terms("texts", texts)
    return list(map_ordered(partial(Runner, checked), items, check_workers(workers)))
