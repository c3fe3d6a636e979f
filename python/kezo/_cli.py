"""The ``kezo`` command line: extract keyphrases, detect languages, snap terms, list stopwords.

Files that cannot be read or are not UTF-8 are reported on standard error with their path; the
other inputs are still processed and the exit status is 1 at the end.
"""

from __future__ import annotations

import argparse
import os
import sys
import warnings
from collections.abc import Sequence
from typing import Any, Callable

from . import __version__
from ._batch import check_workers
from ._cli_io import FORMATS, STDIN, InputError, Report, Writer, read_text, run_files
from ._extractor import Extractor
from ._languages import detect, resolve_language
from ._options import UINT32_MAX
from ._plans import DEFAULT_METHOD, METHODS
from ._records import LanguageGuess
from ._snapping import DictionaryWarning, load_dictionary, set_cache_policy, snap_batch
from ._stoplists import stopwords


class _UsageError(Exception):
    """Options that cannot work together; reported like argparse's own errors."""


def _extract(args: argparse.Namespace) -> None:
    try:
        extractor = Extractor(method=args.method, language=args.language, top_k=args.top_k)
    except (TypeError, ValueError) as error:
        raise _UsageError(str(error)) from None
    columns = ("path", "rank", "text", "score", "count", "first_position")
    writer = Writer(args.format, columns, args.report)
    several = len(args.paths) > 1 or any(os.path.isdir(p) for p in args.paths)
    for outcome in run_files(args, lambda: extractor.extract):
        phrases = outcome.value
        text = [f"{outcome.path}:"] if several else []
        text += [f"{'  ' if several else ''}{p.score:8.4f}  {p.text}" for p in phrases]
        rows = [
            (outcome.path, rank, p.text, p.score, p.count, p.first_position)
            for rank, p in enumerate(phrases, 1)
        ]
        document = {"path": outcome.path, "keyphrases": [p.to_dict() for p in phrases]}
        writer.write(document, rows, text)
    writer.close()


def _detect(args: argparse.Namespace) -> None:
    columns = ("path", "language", "name", "confidence")
    writer = Writer(args.format, columns, args.report)
    for outcome in run_files(args, lambda: detect):
        guess: LanguageGuess = outcome.value
        text = [f"{outcome.path}: {guess.code}  {guess.name}  {guess.confidence:.2f}"]
        writer.write(
            {"path": outcome.path, **guess.to_dict()},
            [(outcome.path, guess.code, guess.name, guess.confidence)],
            text,
        )
    writer.close()


def _snap(args: argparse.Namespace) -> None:
    report: Report = args.report
    try:
        terms = [line.strip() for line in read_text(args.dictionary).splitlines()]
    except (OSError, InputError) as error:
        reason = error.strerror if isinstance(error, OSError) else str(error)
        report.error(args.dictionary, reason or str(error))
        return
    if args.max_terms is not None:
        set_cache_policy(max_terms_per_tenant=args.max_terms)
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always", DictionaryWarning)
        load_dictionary(args.tenant, [term for term in terms if term])
    for warning in caught:
        report.note(
            f"kezo: {args.dictionary}: {warning.message}"
            + ("; raise the limit with --max-terms" if "max_terms" in str(warning.message) else "")
        )
    queries = args.terms
    if not queries or queries == [STDIN]:
        queries = [line.strip() for line in read_text(STDIN).splitlines() if line.strip()]
    columns = ("query", "term", "distance", "matched")
    writer = Writer(args.format, columns, report)
    for result in snap_batch(args.tenant, queries, max_distance=args.distance):
        found = (
            f"{result.query} -> {result.term}  (distance {result.distance})"
            if result.matched
            else f"{result.query}: no match"
        )
        row = (result.query, result.term, result.distance, result.matched)
        writer.write(result.to_dict(), [row], [found])
    writer.close()


def _stopwords(args: argparse.Namespace) -> None:
    for word in stopwords(args.language):
        print(word)


def _argument(check: Callable[[str], Any]) -> Callable[[str], Any]:
    """An argparse type that shows the check's own message."""

    def convert(value: str) -> Any:
        try:
            return check(value)
        except (TypeError, ValueError) as error:
            raise argparse.ArgumentTypeError(str(error)) from None

    convert.__name__ = check.__name__
    return convert


def _count(low: int, high: int) -> Callable[[str], int]:
    def count(value: str) -> int:
        number = int(value)
        if not low <= number <= high:
            raise ValueError(f"must be an integer from {low} to {high}, got {number}")
        return number

    return _argument(count)


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(
        prog="kezo",
        description="Multi-language keyphrase extraction, language detection and term snapping.",
        epilog="Run 'kezo COMMAND --help' for the options of a command.",
    )
    parser.add_argument("--version", action="version", version=f"kezo {__version__}")
    commands = parser.add_subparsers(dest="command", metavar="COMMAND", required=True)

    def inputs(command: argparse.ArgumentParser) -> None:
        command.add_argument(
            "paths",
            nargs="+",
            metavar="PATH",
            help="a file, a directory (walked recursively) or - for standard input",
        )
        command.add_argument(
            "--glob",
            default="*.txt",
            help="file names to take from directories (default: %(default)s)",
        )
        command.add_argument(
            "--jobs",
            "-j",
            type=_count(1, 1024),
            default=None,
            help="files processed at once (default: every core)",
        )
        command.add_argument(
            "--no-progress", action="store_true", help="no progress bar on standard error"
        )

    def output(command: argparse.ArgumentParser) -> None:
        command.add_argument(
            "--format",
            "-f",
            choices=FORMATS,
            default="text",
            help="output format (default: %(default)s)",
        )

    extract = commands.add_parser(
        "extract",
        help="extract the keyphrases of files",
        description="Extract the keyphrases of each file, best first.",
    )
    inputs(extract)
    extract.add_argument(
        "--method",
        "-m",
        choices=METHODS,
        default=DEFAULT_METHOD,
        help="extraction method (default: %(default)s)",
    )
    extract.add_argument(
        "--language",
        "-l",
        type=_argument(resolve_language),
        default="auto",
        help="language code or name, or auto (default: %(default)s)",
    )
    extract.add_argument(
        "--top-k",
        "-k",
        type=_count(0, UINT32_MAX),
        default=10,
        help="keyphrases per file, 0 for all (default: %(default)s)",
    )
    output(extract)
    extract.set_defaults(run=_extract)

    detect_command = commands.add_parser(
        "detect",
        help="detect the language of files",
        description="Print the language of each file.",
    )
    inputs(detect_command)
    output(detect_command)
    detect_command.set_defaults(run=_detect)

    snap = commands.add_parser(
        "snap",
        help="snap terms to a dictionary",
        description="Snap each term to the nearest term of a dictionary file (one term a line).",
    )
    snap.add_argument(
        "terms",
        nargs="*",
        metavar="TERM",
        help="terms to snap; none or - reads them from standard input, one a line",
    )
    snap.add_argument(
        "--dictionary",
        "-d",
        required=True,
        metavar="FILE",
        help="UTF-8 file of canonical terms, one a line",
    )
    snap.add_argument(
        "--distance",
        type=_count(0, 2147483647),
        default=2,
        help="largest edit distance that still matches (default: %(default)s)",
    )
    snap.add_argument(
        "--max-terms",
        type=_count(1, 2**63),
        default=None,
        help="dictionary size limit (default: the service's, 50000)",
    )
    snap.add_argument("--tenant", default="cli", help=argparse.SUPPRESS)
    output(snap)
    snap.set_defaults(run=_snap)

    stop = commands.add_parser(
        "stopwords",
        help="list the stopwords of a language",
        description="Print the stopwords of a language, one a line.",
    )
    stop.add_argument(
        "language",
        type=_argument(resolve_language),
        metavar="LANG",
        help="language code or name (auto means English)",
    )
    stop.set_defaults(run=_stopwords)
    return parser


def main(argv: Sequence[str] | None = None) -> int:
    """Run the command line with ``argv`` (default: the process arguments); return the exit
    status: 0 when every input was processed, 1 when some could not be, 2 for a usage error."""
    parser = _parser()
    args = parser.parse_args(argv)
    args.report = Report()
    if getattr(args, "jobs", 1) is None:
        args.jobs = check_workers(None)
    if getattr(args, "top_k", None) == 0:
        args.top_k = None
    try:
        args.run(args)
    except BrokenPipeError:
        # The reader went away (kezo ... | head): stop quietly, as other filters do.
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno())
        return 1
    except _UsageError as error:
        parser.error(str(error))
    except KeyboardInterrupt:
        return 130
    return 1 if args.report.failed else 0
