"""Many texts at once: the native extraction calls release the interpreter lock, so a pool of
threads keeps every core busy without copying texts into other processes."""

from __future__ import annotations

import os
from collections.abc import Iterator
from concurrent.futures import ThreadPoolExecutor
from typing import Callable, TypeVar

from ._options import check_int

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
