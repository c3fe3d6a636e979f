"""Inputs and outputs of the command line: finding files, running them through a pool in input
order, reporting problems on standard error, the progress bar, and writing results in each
output format."""

from __future__ import annotations

import argparse
import collections
import contextlib
import csv
import fnmatch
import importlib
import json
import os
import signal
import sys
import threading
from collections.abc import Iterator, Sequence
from concurrent.futures import Future, ThreadPoolExecutor
from dataclasses import dataclass
from typing import Any, Callable, TextIO

from ._cli_read import STDIN, InputError, decode, read_bytes

FORMATS = ("text", "json", "jsonl", "tsv", "csv")
_WINDOW_PER_JOB = 2  # files in flight per thread: enough to keep every thread busy


class Report:
    """Problems met on the way: written to standard error at once, remembered for the status."""

    def __init__(self, verbose: bool = False) -> None:
        self.failed = False
        self.verbose = verbose
        self.bar: Any = None  # the progress bar, cleared around every write while it runs

    def error(self, path: str, message: str) -> None:
        self.failed = True
        self.note(f"kezo: {path}: {message}")

    def note(self, line: str) -> None:
        if sys.stderr is None:
            return
        with self.clear_bar(sys.stderr):
            print(line, file=sys.stderr, flush=True)

    def clear_bar(self, stream: TextIO | None) -> contextlib.AbstractContextManager[None]:
        if self.bar is not None and stream is not None and stream.isatty():
            return self.bar.external_write_mode(file=stream)  # type: ignore[no-any-return]
        return contextlib.nullcontext()


def find_inputs(paths: Sequence[str], pattern: str, report: Report) -> list[str]:
    """The files to process: each path as given, directories walked recursively for file names
    matching ``pattern``, in sorted order."""
    found: list[str] = []
    for path in paths:
        if path == STDIN or not os.path.isdir(path):
            found.append(path)
            continue
        matched = 0
        for root, dirs, files in os.walk(
            path,
            onerror=lambda error: report.error(str(error.filename), error.strerror or str(error)),
        ):
            dirs.sort()
            for name in sorted(fnmatch.filter(files, pattern)):
                found.append(os.path.join(root, name))
                matched += 1
        if not matched:
            report.error(path, f"no file in this directory matches --glob {pattern!r}")
    return found


def read_text(path: str, encoding: str = "utf-8", max_bytes: int = 0) -> str:  # noqa: D103
    """The text of ``path`` (standard input for "-"), read as ``read_bytes`` and ``decode`` do."""
    return decode(read_bytes(path, max_bytes), encoding)[0]


@dataclass
class Outcome:
    path: str
    value: Any = None
    error: str | None = None
    encoding: str = ""


def process(
    path: str, work: Callable[[str], Any], args: argparse.Namespace,
    read: list[bytes] | None = None,
) -> Outcome:
    """``work`` on the text of ``path``, or of the bytes in ``read`` when standard input was read
    already (taken out of the list, so that only the text is held while ``work`` runs)."""
    try:
        data = read.pop() if read else read_bytes(path, args.max_bytes)
        text, encoding = decode(data, args.encoding)
        del data  # a large input is not held twice, as bytes and as text
        return Outcome(path, work(text), encoding=encoding)
    except InputError as error:
        return Outcome(path, error=str(error))
    except OSError as error:
        return Outcome(path, error=error.strerror or str(error))


def run_files(args: argparse.Namespace, work: Callable[[str], Any]) -> Iterator[Outcome]:
    """The text of every input through ``work`` on ``--jobs`` threads, yielded in input order
    as soon as each and every earlier one is done, with at most a few files per thread in
    flight; a progress bar runs while several files are processed and standard error is a
    terminal. This thread only reads standard input and waits, so Ctrl-C reaches it at once."""
    report: Report = args.report
    files = find_inputs(args.paths, args.glob, report)
    if len(files) > 1 and not args.no_progress and sys.stderr is not None and sys.stderr.isatty():
        try:
            tqdm = importlib.import_module("tqdm").tqdm
            report.bar = tqdm(total=len(files), unit="file", file=sys.stderr, leave=False)
        except ImportError:  # the bar is a convenience; work on without it
            pass
    pool = ThreadPoolExecutor(max_workers=args.jobs)
    pending: collections.deque[Future[Outcome]] = collections.deque()
    window = args.jobs * _WINDOW_PER_JOB

    def finish(outcome: Outcome) -> Iterator[Outcome]:
        if report.bar is not None:
            report.bar.update()
        if outcome.error is not None:
            report.error(outcome.path, outcome.error)
            return
        if report.verbose:
            report.note(f"kezo: {outcome.path}: read as {outcome.encoding}")
        yield outcome

    try:
        for path in files:
            read: list[bytes] = []
            if path == STDIN:
                try:
                    read.append(read_bytes(STDIN, args.max_bytes))
                except (InputError, OSError) as error:
                    yield from finish(Outcome(path, error=str(error)))
                    continue
            pending.append(pool.submit(process, path, work, args, read))
            del read
            while len(pending) >= window or (pending and pending[0].done()):
                yield from finish(pending.popleft().result())
        while pending:
            yield from finish(pending.popleft().result())
    finally:
        pool.shutdown(wait=False, cancel_futures=True)
        if report.bar is not None:
            report.bar.close()
            report.bar = None


@contextlib.contextmanager
def _interrupts_held() -> Iterator[None]:
    """Hold Ctrl-C back while one result is written, then raise it: an interrupt arriving inside
    a large write would otherwise leave half a line in the output (or, through the buffers'
    retry, a line's tail twice). Only the main thread handles signals; elsewhere, or under a
    caller's own handler, this does nothing."""
    if threading.current_thread() is not threading.main_thread() or (
        signal.getsignal(signal.SIGINT) is not signal.default_int_handler
    ):
        yield
        return
    held: list[int] = []
    signal.signal(signal.SIGINT, lambda number, frame: held.append(number))
    try:
        yield
    finally:
        signal.signal(signal.SIGINT, signal.default_int_handler)
    if held:
        raise KeyboardInterrupt


class Writer:
    """The results of one command in the chosen format: text lines, a JSON document, JSON
    Lines, or a table with a header row; each result is flushed as it is written."""

    def __init__(
        self, fmt: str, columns: tuple[str, ...], report: Report, stream: TextIO | None = None
    ) -> None:
        self.fmt, self.columns, self.report = fmt, columns, report
        self.stream: TextIO = stream if stream is not None else sys.stdout
        self.documents: list[dict[str, Any]] = []
        self.table = None
        if fmt in ("tsv", "csv"):
            self.table = csv.writer(
                self.stream, delimiter="\t" if fmt == "tsv" else ",", lineterminator="\n"
            )
            self.table.writerow(columns)

    def write(self, document: dict[str, Any], rows: list[tuple[Any, ...]], text: list[str]) -> None:
        with _interrupts_held(), self.report.clear_bar(self.stream):
            if self.fmt == "json":
                self.documents.append(document)
            elif self.fmt == "jsonl":
                print(json.dumps(document, ensure_ascii=False), file=self.stream)
            elif self.table is not None:
                self.table.writerows(rows)
            elif text:
                print("\n".join(text), file=self.stream)
            self.stream.flush()

    def close(self) -> None:
        with _interrupts_held():
            if self.fmt == "json":
                json.dump(self.documents, self.stream, ensure_ascii=False, indent=2)
                print(file=self.stream)
            self.stream.flush()
