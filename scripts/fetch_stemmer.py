"""Puts Snowball's C stemmer library (libstemmer_c) into third_party/libstemmer_c, from where
CMake builds it into kezo. The sources come from a PyStemmer source distribution on the package
index, fetched with pip and checked against its pinned digest; only the licence, the headers and
what builds the UTF-8 stemmers are kept. Does nothing when that digest is in place already.

Usage: python scripts/fetch_stemmer.py [DEST]   (run from the repository root)

DEST (third_party/libstemmer_c by default) is replaced whole, so it must be absent, empty or
hold only what this script writes there: any other folder is refused, never deleted.
"""

from __future__ import annotations

import argparse
import hashlib
import pathlib
import shutil
import subprocess
import sys
import tarfile
import tempfile

REQUIREMENT = "PyStemmer==2.0.1"  # carries Snowball 2.0.0's libstemmer_c
ARCHIVE = "PyStemmer-2.0.1.tar.gz"
SHA256 = "9b81c35302f1d2a5ad9465b85986db246990db93d97d3e8f129269ed7102788e"
PREFIX = "PyStemmer-2.0.1/libstemmer_c/"
STAMP = ".sdist-sha256"
# What this script writes at the top of DEST; a folder holding anything else is not its own.
WRITTEN = {"COPYING", "README", "NEWS", "include", "runtime", "libstemmer", "src_c", STAMP}


def wanted(relative: str) -> bool:
    top, _, rest = relative.partition("/")
    if top in ("COPYING", "README", "NEWS"):
        return not rest
    if top == "src_c":
        return rest.startswith("stem_UTF_8_")
    return top in ("include", "runtime", "libstemmer") and bool(rest)


def ours_to_replace(dest: pathlib.Path) -> bool:
    """Whether dest may be deleted to make room: absent, or a real folder (no link) holding
    nothing but what this script writes, as an earlier or interrupted fetch leaves it."""
    if not dest.exists() and not dest.is_symlink():
        return True
    if dest.is_symlink() or not dest.is_dir():
        return False
    return all(entry.name in WRITTEN for entry in dest.iterdir())


def fetch(dest: pathlib.Path) -> None:
    if (dest / STAMP).is_file() and (dest / STAMP).read_text().strip() == SHA256:
        return
    if not ours_to_replace(dest):
        sys.exit(f"[kezo] error: {dest} holds files this script did not write; it is left as it "
                 "is (remove it or give another DEST)")
    print(f"[kezo] fetching the Snowball stemmer sources ({REQUIREMENT})", file=sys.stderr)
    with tempfile.TemporaryDirectory() as download:
        subprocess.run(
            [sys.executable, "-m", "pip", "download", "-q", "--no-deps",
             "--no-binary", "PyStemmer", "-d", download, REQUIREMENT],
            check=True,
        )
        archive = pathlib.Path(download) / ARCHIVE
        digest = hashlib.sha256(archive.read_bytes()).hexdigest()
        if digest != SHA256:
            sys.exit(f"[kezo] error: {ARCHIVE} has sha256 {digest}, expected {SHA256}")
        if dest.exists():
            shutil.rmtree(dest)
        with tarfile.open(archive) as tar:
            for member in tar.getmembers():
                relative = member.name[len(PREFIX):]
                if not member.isfile() or not member.name.startswith(PREFIX):
                    continue
                if ".." in relative.split("/") or not wanted(relative):
                    continue
                target = dest / relative
                target.parent.mkdir(parents=True, exist_ok=True)
                source = tar.extractfile(member)
                assert source is not None
                target.write_bytes(source.read())
    (dest / STAMP).write_text(SHA256 + "\n")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(
        description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("dest", nargs="?", default="third_party/libstemmer_c", type=pathlib.Path,
                        help="folder for the sources (default: %(default)s)")
    fetch(parser.parse_args().dest)
