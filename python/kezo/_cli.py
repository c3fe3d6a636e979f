"""The ``kezo`` command line: extract keyphrases, detect languages, snap terms, list stopwords,
tag parts of speech.

Files that cannot be read or are not UTF-8 are reported on standard error with their path; the
other inputs are still processed and the exit status is 1 at the end.
"""

from __future__ import annotations

import argparse
import contextlib
import importlib
import os
import sys
import types
import warnings
from collections.abc import Iterator, Sequence
from typing import Any

from . import __version__
from ._batch import check_workers
from ._cli_io import FORMATS, Report, Writer, read_text, run_files
from ._cli_options import (
    EXTRACTION_FLAGS,
    add_extraction_flags,
    add_output_flags,
    add_reading_flags,
    argument,
    count,
    read_stopwords,
)
from ._cli_read import STDIN, InputError, documents
from ._extractor import Extractor
from ._languages import detect, resolve_language
from ._records import Keyphrase, LanguageGuess
from ._text import highlight
from ._snapping import DictionaryWarning, load_dictionary, set_cache_policy, snap_batch
from ._stoplists import stopwords


class _UsageError(Exception):
    """Options that cannot work together; reported like argparse's own errors."""


_MARKS = {False: ("<mark>", "</mark>"), True: ("\033[1;33m", "\033[0m")}


def _extract(args: argparse.Namespace) -> None:
    options = {name: getattr(args, name) for name in EXTRACTION_FLAGS}
    options = {name: value for name, value in options.items() if value is not None}
    if args.stopwords is not None:
        try:
            options["stopwords"] = read_stopwords(args.stopwords, args.encoding)
        except (OSError, InputError) as error:
            reason = error.strerror if isinstance(error, OSError) else str(error)
            raise _UsageError(f"--stopwords {args.stopwords}: {reason or error}") from None
    try:
        extractor = Extractor(**options)
    except (TypeError, ValueError) as error:
        raise _UsageError(str(error)) from None
    if args.corpus and extractor.get_params()["method"] not in ("keyphrase", "tfidf"):
        raise _UsageError("--corpus weighs documents for the methods keyphrase and tfidf; "
                          f"--method is {extractor.get_params()['method']}")
    columns = ("path", "rank", "text", "score", "count", "first_position")
    writer = args.writer = Writer(args.format, columns, args.report, args.output)
    tty = writer.stream.isatty()
    before, after = _MARKS[tty]
    several = len(args.paths) > 1 or any(os.path.isdir(p) for p in args.paths)
    split = args.lines or args.jsonl_field is not None
    for path, fields, body, phrases in _extracted(args, extractor):
        where = path + (f":{fields['line']}" if split else "")
        text = [f"{where}:"] if several or split else []
        if args.highlight:
            text.append(highlight(body, phrases, before, after))
        else:
            text += [f"{'  ' if text else ''}{p.score:8.4f}  {p.text}" for p in phrases]
        rows = [
            (where, rank, p.text, p.score, p.count, p.first_position)
            for rank, p in enumerate(phrases, 1)
        ]
        document = {"path": path, **fields,
                    "keyphrases": [p.to_dict() for p in phrases]}
        if args.highlight:
            document["highlighted"] = highlight(body, phrases)
        writer.write(document, rows, text)
    writer.close()


Extracted = Iterator[tuple[str, dict[str, Any], str, list[Keyphrase]]]


def _extracted(args: argparse.Namespace, extractor: Extractor) -> Extracted:
    """(path, fields, document, keyphrases) of every document of the inputs, in input order:
    each file as it is done, or with --corpus once every input is read and weighed against all
    of them."""
    if not args.corpus:

        def work(text: str) -> list[tuple[dict[str, Any], str, list[Keyphrase]]]:
            return [
                (fields, body, extractor.extract(body))
                for fields, body in documents(text, args.lines, args.jsonl_field)
            ]

        for outcome in run_files(args, work):
            for fields, body, phrases in outcome.value:
                yield outcome.path, fields, body, phrases
        return
    read = [
        (outcome.path, fields, body)
        for outcome in run_files(args, lambda text: list(documents(text, args.lines,
                                                                   args.jsonl_field)))
        for fields, body in outcome.value
    ]
    if not read:
        return
    weighed = extractor.fit_extract([body for _, _, body in read], workers=args.jobs)
    for (path, fields, body), phrases in zip(read, weighed):
        yield path, fields, body, phrases


def _detect(args: argparse.Namespace) -> None:
    columns = ("path", "language", "name", "confidence")
    writer = args.writer = Writer(args.format, columns, args.report, args.output)
    for outcome in run_files(args, detect):
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
        text = read_text(args.dictionary, args.encoding, args.max_bytes)
        terms = [line.strip() for line in text.splitlines()]
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
        text = read_text(STDIN, args.encoding, args.max_bytes)
        queries = [line.strip() for line in text.splitlines() if line.strip()]
    columns = ("query", "term", "distance", "matched")
    writer = args.writer = Writer(args.format, columns, report, args.output)
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
    stream = args.output or sys.stdout
    stream.write("".join(f"{word}\n" for word in stopwords(args.language)))
    stream.flush()


# Further commands, each a module of this package with ``register(commands, shared)``: it adds
# its parser to ``commands`` (argparse sub-parsers) and may use the helpers in ``shared``
# (``inputs``, ``add_output_flags``, ``add_reading_flags``). ``kezo tag`` goes here as "_cli_tag".
COMMAND_MODULES: list[str] = ["_cli_tag"]


def _inputs(command: argparse.ArgumentParser) -> None:
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
        type=count(1, 1024),
        default=None,
        help="files processed at once (default: every core)",
    )
    command.add_argument(
        "--no-progress", action="store_true", help="no progress bar on standard error"
    )
    add_reading_flags(command)


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(
        prog="kezo",
        description="Multi-language keyphrase extraction, language detection and term snapping.",
        epilog="Run 'kezo COMMAND --help' for the options of a command.",
    )
    parser.add_argument("--version", action="version", version=f"kezo {__version__}")
    commands = parser.add_subparsers(dest="command", metavar="COMMAND", required=True)

    extract = commands.add_parser(
        "extract",
        help="extract the keyphrases of files",
        description="Extract the keyphrases of each file (or line, or JSON record), best first.",
    )
    _inputs(extract)
    extract.add_argument(
        "--lines", action="store_true", help="each non-empty line of an input is a document"
    )
    extract.add_argument(
        "--jsonl-field",
        metavar="NAME",
        help="inputs are JSON Lines; field NAME of each record is a document, and the other "
        "fields (an id, say) are carried into the output",
    )
    extract.add_argument(
        "--highlight",
        action="store_true",
        help="print each text with its keyphrases marked (bold on a terminal, <mark> tags "
        "otherwise; a 'highlighted' field in JSON)",
    )
    extract.add_argument(
        "--corpus",
        action="store_true",
        help="weigh each document against all the documents given: their corpus frequencies "
        "are counted first, so every input is read before anything is written [keyphrase, tfidf]",
    )
    add_extraction_flags(extract)
    add_output_flags(extract, FORMATS)
    extract.set_defaults(run=_extract)

    detect_command = commands.add_parser(
        "detect",
        help="detect the language of files",
        description="Print the language of each file.",
    )
    _inputs(detect_command)
    add_output_flags(detect_command, FORMATS)
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
        help="file of canonical terms, one a line",
    )
    snap.add_argument(
        "--distance",
        type=count(0, 2147483647),
        default=2,
        help="largest edit distance that still matches (default: %(default)s)",
    )
    snap.add_argument(
        "--max-terms",
        type=count(1, 2**63),
        default=None,
        help="dictionary size limit (default: the service's, 50000)",
    )
    snap.add_argument("--tenant", default="cli", help=argparse.SUPPRESS)
    add_reading_flags(snap)
    add_output_flags(snap, FORMATS)
    snap.set_defaults(run=_snap)

    stop = commands.add_parser(
        "stopwords",
        help="list the stopwords of a language",
        description="Print the stopwords of a language, one a line.",
    )
    stop.add_argument(
        "language",
        type=argument(resolve_language),
        metavar="LANG",
        help="language code or name (auto means English)",
    )
    stop.add_argument("--output", "-o", metavar="FILE", help="write to FILE")
    stop.set_defaults(run=_stopwords)

    shared = types.SimpleNamespace(
        inputs=_inputs, add_output_flags=add_output_flags, add_reading_flags=add_reading_flags
    )
    for name in COMMAND_MODULES:
        importlib.import_module(f".{name}", __package__).register(commands, shared)
    return parser


def _quit(status: int, args: argparse.Namespace | None, hard: bool) -> int:
    """Flush what was written and, as the process's own command (``hard``), leave at once
    without waiting for threads still working (standard output, maybe broken, is let go
    unflushed); else return ``status``."""
    if hard and status == 1:
        with contextlib.suppress(Exception):
            os.dup2(os.open(os.devnull, os.O_WRONLY), 1)
    for stream in (getattr(args, "output", None), sys.stdout, sys.stderr):
        with contextlib.suppress(Exception):
            if stream is not None and not isinstance(stream, str):
                stream.flush()
    if hard:
        os._exit(status)
    return status


def main(argv: Sequence[str] | None = None) -> int:
    """Run the command line with ``argv`` (default: the process arguments); return the exit
    status: 0 when every input was processed, 1 when some could not be or the output could not
    be written, 2 for a usage error, 130 after Ctrl-C (the results finished by then are
    written)."""
    parser = _parser()
    args = parser.parse_args(argv)
    args.report = Report(getattr(args, "verbose", False))
    args.writer = None
    if getattr(args, "jobs", 1) is None:
        args.jobs = check_workers(None)
    path = getattr(args, "output", None)
    try:
        if path is not None:
            args.output = open(path, "w", encoding="utf-8")
        elif sys.stdout is None:
            print("kezo: standard output is closed; give --output FILE", file=sys.stderr)
            return 1
        try:
            args.run(args)
        finally:
            if path is not None:
                args.output.close()
    except BrokenPipeError:
        # The reader went away (kezo ... | head): stop at once and quietly, as other filters do.
        return _quit(1, args, argv is None)
    except _UsageError as error:
        parser.error(str(error))
    except KeyboardInterrupt:
        with contextlib.suppress(Exception):
            if args.writer is not None:
                args.writer.close()
        return _quit(130, args, argv is None)
    except (OSError, InputError) as error:
        if isinstance(error, OSError) and error.filename is None and path is None:
            where = "standard output"
        else:
            where = str(getattr(error, "filename", None) or path)
        reason = error.strerror if isinstance(error, OSError) and error.strerror else str(error)
        args.report.error(where, f"cannot write: {reason}" if where == "standard output"
                          else reason)
        return _quit(1, args, argv is None)
    return 1 if args.report.failed else 0
