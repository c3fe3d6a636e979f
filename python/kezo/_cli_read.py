"""Reading the command line's inputs: only regular files (or standard input), at most
``--max-bytes`` of each, decoded as ``--encoding`` says, and split into documents by
``--lines`` or ``--jsonl-field``."""

from __future__ import annotations

import codecs
import json
import os
import stat
import sys
from collections.abc import Iterator
from typing import Any

STDIN = "-"
DEFAULT_MAX_BYTES = 1 << 30  # 1 GiB

# Longest marks first: the UTF-32 little-endian mark begins with the UTF-16 one.
_BOMS = (
    (codecs.BOM_UTF32_LE, "utf-32"),
    (codecs.BOM_UTF32_BE, "utf-32"),
    (codecs.BOM_UTF8, "utf-8-sig"),
    (codecs.BOM_UTF16_LE, "utf-16"),
    (codecs.BOM_UTF16_BE, "utf-16"),
)
_KINDS = (
    (stat.S_ISFIFO, "a FIFO"),
    (stat.S_ISCHR, "a character device"),
    (stat.S_ISBLK, "a block device"),
    (stat.S_ISSOCK, "a socket"),
    (stat.S_ISDIR, "a directory"),
)


class InputError(Exception):
    """An input that cannot be used; the message says why."""


def read_bytes(path: str, max_bytes: int = DEFAULT_MAX_BYTES) -> bytes:
    """The bytes of ``path`` (standard input for "-"). Anything but a regular file is refused
    without opening it (a FIFO would block, a device may never end); more than ``max_bytes``
    (0: no limit) is refused without reading further."""
    limit = max_bytes or None
    if path == STDIN:
        stream = sys.stdin.buffer if sys.stdin is not None else None
        if stream is None:
            raise InputError("standard input is closed")
        data = stream.read(limit + 1 if limit else -1)
    else:
        mode = os.stat(path).st_mode
        if not stat.S_ISREG(mode):
            kind = next((name for test, name in _KINDS if test(mode)), "not a regular file")
            raise InputError(f"{kind}, not a regular file; to read it, give - and redirect it "
                             "to standard input")
        with open(path, "rb") as stream:
            data = stream.read(limit + 1 if limit else -1)
    if limit and len(data) > limit:
        raise InputError(f"larger than --max-bytes {max_bytes}; raise it, or 0 for no limit")
    return data


def decode(data: bytes, encoding: str) -> tuple[str, str]:
    """The text of ``data`` and the encoding it was read with. ``encoding`` is a codec name or
    "auto": a byte-order mark for UTF-8, UTF-16 or UTF-32, else UTF-8 when it decodes, else what
    charset-normalizer finds most likely."""
    if encoding == "auto":
        encoding = next((name for mark, name in _BOMS if data.startswith(mark)), "")
        if not encoding:
            try:
                return data.decode("utf-8"), "utf-8"
            except UnicodeDecodeError:
                encoding = _detect(data)
    try:
        return data.decode(encoding), encoding
    except UnicodeDecodeError as error:
        where = f"byte 0x{data[error.start]:02x} at offset {error.start}"
        hint = "; try --encoding auto or --encoding NAME" if encoding.startswith("utf-8") else ""
        raise InputError(f"not {_shown(encoding)} ({where}){hint}") from None


def _shown(encoding: str) -> str:
    return "UTF-8" if codecs.lookup(encoding).name == "utf-8" else encoding


def _detect(data: bytes) -> str:
    try:
        from charset_normalizer import from_bytes
    except ImportError:  # a dependency, but a broken install should still say what is wrong
        raise InputError("not UTF-8, and charset-normalizer is not installed to guess") from None
    matches = from_bytes(data)
    best = matches.best()
    if best is None:
        raise InputError("encoding not recognised; give it with --encoding NAME")
    # Short texts often tie; among equally likely readings take the commonest Western one.
    tied = {m.encoding for m in matches if (m.chaos, m.coherence) == (best.chaos, best.coherence)}
    return next((name for name in _COMMON if name in tied), str(best.encoding))


_COMMON = ("cp1252", "latin_1", "iso8859_15")


def check_encoding(name: str) -> str:
    """``name`` if it is "auto" or a codec Python knows (an argparse type)."""
    if name != "auto":
        try:
            codecs.lookup(name)
        except LookupError:
            raise ValueError(f"unknown encoding {name!r}; give a codec name such as latin-1, "
                             "or auto") from None
    return name


def documents(text: str, lines: bool, field: str | None) -> Iterator[tuple[dict[str, Any], str]]:
    """The documents of one input, each with the fields that identify it in the output: the
    whole text; each non-empty line (``lines``, numbered from 1); or ``field`` of each JSON
    record of a JSON Lines text, with the record's other fields."""
    if field is None and not lines:
        yield {}, text
        return
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip():
            continue
        if field is None:
            yield {"line": number}, line
            continue
        try:
            record = json.loads(line)
        except json.JSONDecodeError as error:
            raise InputError(f"line {number}: not JSON ({error.msg})") from None
        if not isinstance(record, dict) or not isinstance(record.get(field), str):
            raise InputError(f"line {number}: not a JSON object with a string field {field!r}")
        body = record.pop(field)
        yield {"line": number, **record}, body
