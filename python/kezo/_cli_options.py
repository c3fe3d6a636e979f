"""The command line's options: the extraction flags made from the options table of
``Extractor``, and the input and output flags the commands share."""

from __future__ import annotations

import argparse
from typing import Any, Callable

from ._cli_read import DEFAULT_MAX_BYTES, check_encoding, decode, read_bytes
from ._languages import resolve_language
from ._plans import DEFAULT_METHOD, METHODS, OPTIONS, Option

# Options a command line cannot hold (objects), that get flags of their own, or that it needs as
# they are (spans: the output holds them, and the marked text is made from them).
_NOT_FLAGS = ("df", "total_documents", "tokenizer", "stopwords", "weights", "spans")
_SHORT = {"method": ["-m"], "language": ["-l"], "top_k": ["-k"]}

EXTRACTION_FLAGS = tuple(o.name for o in OPTIONS if o.name not in _NOT_FLAGS) + ("weights",)
"""The ``Extractor`` options that ``kezo extract`` takes as flags (``--stopwords`` reads a file)."""


def argument(check: Callable[[str], Any]) -> Callable[[str], Any]:
    """An argparse type that shows the check's own message."""

    def convert(value: str) -> Any:
        try:
            return check(value)
        except (TypeError, ValueError) as error:
            raise argparse.ArgumentTypeError(str(error)) from None

    convert.__name__ = check.__name__
    return convert


def count(low: int, high: int) -> Callable[[str], int]:
    def number(value: str) -> int:
        result = int(value)
        if not low <= result <= high:
            raise ValueError(f"must be an integer from {low} to {high}, got {result}")
        return result

    return argument(number)


def _typed(option: Option) -> Callable[[str], Any]:
    kind = option.kind
    assert kind in (int, float)
    return argument(lambda value: option.check(kind(value)))


def _weights(value: str) -> dict[str, float]:
    """"tfidf=1,rake=0.5" as a mapping; the names and values are checked with the options."""
    weights: dict[str, float] = {}
    for item in value.split(","):
        name, equals, weight = item.partition("=")
        if not equals:
            raise ValueError(f"weights are NAME=WEIGHT pairs such as tfidf=1,rake=0.5; got {item!r}")
        weights[name.strip()] = float(weight)
    return weights


def _applies(option: Option) -> str:
    # The methods an option applies to, as its help ends; nothing for one every method takes.
    return "" if option.methods == METHODS else f" [{', '.join(option.methods)}]"


def add_extraction_flags(command: argparse.ArgumentParser) -> None:
    """A flag for every option of ``Extractor`` that a command line can hold, named after it
    (``max_n`` is ``--max-n``), with the method it applies to in its help; each value is checked
    as ``Extractor`` checks it."""
    group = command.add_argument_group("extraction options (as kezo.Extractor takes them)")
    for option in OPTIONS:
        if option.name in _NOT_FLAGS:
            continue
        flags = [f"--{option.name.replace('_', '-')}", *_SHORT.get(option.name, [])]
        extra: dict[str, Any] = {"help": option.help + _applies(option)}
        if option.kind == "method":
            extra.update(choices=METHODS, default=DEFAULT_METHOD)
        elif option.kind == "language":
            extra.update(type=argument(resolve_language), default="auto")
        elif option.kind is bool:
            extra.update(action="store_const", const=True, default=None)
        elif option.kind in (int, float):
            extra.update(type=_typed(option), default=option.default,
                         metavar="N" if option.kind is int else "X")
        if option.default is not None:
            extra["help"] += " (default: %(default)s)"
        group.add_argument(*flags, dest=option.name, **extra)
    by_name = {option.name: option for option in OPTIONS}
    group.add_argument(
        "--stopwords",
        metavar="FILE",
        help="file of further stopwords, one a line, for this run only"
        + _applies(by_name["stopwords"]),
    )
    group.add_argument(
        "--weights",
        type=argument(_weights),
        metavar="NAME=W,...",
        help="weight of each method in the ensemble, such as tfidf=1,rake=0.5"
        + _applies(by_name["weights"]),
    )


def read_stopwords(path: str, encoding: str) -> list[str]:
    """The words of a stopword file, one a line (blank lines skipped)."""
    text = decode(read_bytes(path), encoding)[0]
    return [line.strip() for line in text.splitlines() if line.strip()]


def add_reading_flags(command: argparse.ArgumentParser) -> None:
    """``--encoding`` and ``--max-bytes``."""
    command.add_argument(
        "--encoding",
        "-e",
        type=argument(check_encoding),
        default="utf-8",
        metavar="NAME",
        help="encoding of the inputs: a codec name such as latin-1 or utf-16, or auto (a "
        "byte-order mark, else UTF-8, else the likeliest by charset-normalizer; -v reports "
        "it) (default: %(default)s)",
    )
    command.add_argument(
        "--max-bytes",
        type=count(0, 2**63),
        default=DEFAULT_MAX_BYTES,
        metavar="N",
        help="largest input read, in bytes; 0 for no limit (default: %(default)s, 1 GiB)",
    )


def add_output_flags(command: argparse.ArgumentParser, formats: tuple[str, ...]) -> None:
    """``--format``, ``--output`` and ``--verbose``."""
    command.add_argument(
        "--format",
        "-f",
        choices=formats,
        default="text",
        help="output format (default: %(default)s)",
    )
    command.add_argument(
        "--output",
        "-o",
        metavar="FILE",
        help="write the results to FILE (default: standard output)",
    )
    command.add_argument(
        "--verbose", "-v", action="store_true", help="report on standard error how each input was read"
    )
