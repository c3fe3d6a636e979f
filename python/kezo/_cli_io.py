"""Inputs and outputs of the command line: finding and reading files, reporting problems on
standard error, the progress bar, and writing results in each output format."""

from __future__ import annotations

import argparse
import contextlib
import csv
import fnmatch
import importlib
import json
import os
import sys
from collections.abc import Iterator, Sequence
from dataclasses import dataclass
from functools import partial
from typing import Any, Callable, TextIO

from ._batch import map_ordered

FORMATS = ("text", "json", "jsonl", "tsv", "csv")
STDIN = "-"


class Report:
    """Problems met on the way: written to standard error at once, remembered for the status."""

    def __init__(self) -> None:
        self.failed = False
        self.bar: Any = None  # the progress bar, cleared around every write while it runs

    def error(self, path: str, message: str) -> None:
        self.failed = True
        self.note(f"kezo: {path}: {message}")

    def note(self, line: str) -> None:
        with self.clear_bar(sys.stderr):
            print(line, file=sys.stderr, flush=True)

    def clear_bar(self, stream: TextIO) -> contextlib.AbstractContextManager[None]:
        if self.bar is not None and stream.isatty():
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


def read_text(path: str) -> str:
    """The text of ``path`` (standard input for "-"), which must be UTF-8."""
    if path == STDIN:
        data = sys.stdin.buffer.read()
    else:
        with open(path, "rb") as stream:
            data = stream.read()
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError as error:
        where = f"byte 0x{data[error.start]:02x} at offset {error.start}"
        raise InputError(f"not UTF-8 ({where})") from None


class InputError(Exception):
    """An input that cannot be used; the message says why."""


@dataclass
class Outcome:
    path: str
    value: Any = None
    error: str | None = None


def process(path: str, work: Callable[[str], Any]) -> Outcome:
    try:
        return Outcome(path, work(read_text(path)))
    except InputError as error:
        return Outcome(path, error=str(error))
    except OSError as error:
        return Outcome(path, error=error.strerror or str(error))


def run_files(
    args: argparse.Namespace, make_work: Callable[[], Callable[[str], Any]]
) -> Iterator[Outcome]:
    """The text of every input through a function from ``make_work`` (one per thread) on
    ``--jobs`` threads, in input order, with a progress bar while several files are processed
    and standard error is a terminal."""
    report: Report = args.report
    files = find_inputs(args.paths, args.glob, report)
    if len(files) > 1 and not args.no_progress and sys.stderr.isatty():
        try:
            tqdm = importlib.import_module("tqdm").tqdm
            report.bar = tqdm(total=len(files), unit="file", file=sys.stderr, leave=False)
        except ImportError:  # the bar is a convenience; work on without it
            pass
    try:
        make = lambda: partial(process, work=make_work())  # noqa: E731
        for outcome in map_ordered(make, files, args.jobs):
            if report.bar is not None:
                report.bar.update()
            if outcome.error is not None:
                report.error(outcome.path, outcome.error)
            else:
                yield outcome
    finally:
        if report.bar is not None:
            report.bar.close()
            report.bar = None


class Writer:
    """The results of one command in the chosen format: text lines, a JSON document, JSON
    Lines, or a table with a header row."""

    def __init__(self, fmt: str, columns: tuple[str, ...], report: Report) -> None:
        self.fmt, self.columns, self.report = fmt, columns, report
        self.documents: list[dict[str, Any]] = []
        self.table = None
        if fmt in ("tsv", "csv"):
            self.table = csv.writer(
                sys.stdout, delimiter="\t" if fmt == "tsv" else ",", lineterminator="\n"
            )
            self.table.writerow(columns)

    def write(self, document: dict[str, Any], rows: list[tuple[Any, ...]], text: list[str]) -> None:
        with self.report.clear_bar(sys.stdout):
            if self.fmt == "json":
                self.documents.append(document)
            elif self.fmt == "jsonl":
                print(json.dumps(document, ensure_ascii=False))
            elif self.table is not None:
                self.table.writerows(rows)
            elif text:
                print("\n".join(text))
            sys.stdout.flush()

    def close(self) -> None:
        if self.fmt == "json":
            json.dump(self.documents, sys.stdout, ensure_ascii=False, indent=2)
            print()
