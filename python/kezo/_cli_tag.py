"""``kezo tag``: the part-of-speech tags of the words of files."""

from __future__ import annotations

import argparse
import os
from typing import Any

from ._cli_io import FORMATS, Writer, run_files
from ._cli_options import argument
from ._cli_read import InputError
from ._languages import resolve_language
from ._tagging import TaggedToken, _model_language, tag

AUTO = "auto"


def _language(value: str) -> str:
    """``value`` when it is "auto" or a language with a model (ValueError naming it if not)."""
    if resolve_language(value) != resolve_language(AUTO):
        _model_language(value, lambda: "")
    return value


def _tag(args: argparse.Namespace) -> None:
    columns = ("path", "index", "text", "upos", "start", "end")
    writer = args.writer = Writer(args.format, columns, args.report, args.output)
    several = len(args.paths) > 1 or any(os.path.isdir(p) for p in args.paths)

    def work(text: str) -> list[TaggedToken]:
        try:
            return tag(text, language=args.language)
        except ValueError as error:
            raise InputError(str(error)) from None

    for outcome in run_files(args, work):
        tokens: list[TaggedToken] = outcome.value
        line = " ".join(f"{t.text}/{t.upos}" for t in tokens)
        text = [f"{outcome.path}: {line}" if several else line]
        rows = [(outcome.path, k, *t) for k, t in enumerate(tokens)]
        document: dict[str, Any] = {
            "path": outcome.path,
            "tokens": [t._asdict() for t in tokens],
        }
        writer.write(document, rows, text)
    writer.close()


def register(commands: Any, shared: Any) -> None:
    """Add ``kezo tag`` to the sub-parsers ``commands``."""
    command = commands.add_parser(
        "tag",
        help="tag the words of files with their part of speech",
        description="Print each word and punctuation mark of each file with its Universal "
        "Dependencies part-of-speech tag (UPOS), as WORD/TAG in text output.",
    )
    shared.inputs(command)
    command.add_argument(
        "--language",
        "-l",
        type=argument(_language),
        default=AUTO,
        metavar="LANG",
        help="language code or name of the inputs (default: identified per file)",
    )
    shared.add_output_flags(command, FORMATS)
    command.set_defaults(run=_tag)
