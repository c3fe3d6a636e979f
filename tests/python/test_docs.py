"""Every Python block of the README and the guides runs as pasted, in order, from the
repository root. Each document runs as one script in a fresh interpreter, with its blocks at
their own line numbers, so a traceback points at the document's line. A block preceded by an
HTML comment ``<!-- skip: why -->`` is left out."""

import pathlib
import re
import subprocess
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
DOCUMENTS = ["README.md", "docs/guide.md", "docs/api.md", "docs/install.md", "docs/languages.md",
             "docs/methods.md"]
_SKIP = re.compile(r"<!--\s*skip:\s*\S.*-->")
MAX_SKIPPED = 3


def script_of(text):
    """The document's Python blocks at their line numbers (other lines blank), and the number
    of blocks run and skipped."""
    lines = text.splitlines()
    out = [""] * len(lines)
    run = skipped = 0
    inside = skip = False
    previous = ""
    for number, line in enumerate(lines):
        if not inside and line.strip() == "```python":
            inside, skip = True, bool(_SKIP.fullmatch(previous.strip()))
            run, skipped = run + (not skip), skipped + skip
        elif inside and line.strip() == "```":
            inside = False
        elif inside and not skip:
            out[number] = line
        if line.strip():
            previous = line
    return "\n".join(out) + "\n", run, skipped


@pytest.mark.parametrize("document", DOCUMENTS)
def test_document_blocks_run(document, tmp_path):
    path = ROOT / document
    if not path.exists():
        pytest.skip(f"{document} is not there")
    script, run, skipped = script_of(path.read_text(encoding="utf-8"))
    assert skipped <= MAX_SKIPPED
    program = tmp_path / (path.stem + "_blocks.py")
    program.write_text(script, encoding="utf-8")
    done = subprocess.run([sys.executable, str(program)], cwd=ROOT, capture_output=True,
                          text=True, timeout=300)
    assert done.returncode == 0, f"{document}: a block failed\n{done.stderr[-3000:]}"


def test_api_reference_covers_every_public_name_and_builds():
    """docs/reference.md names everything in kezo.__all__, and the site builds with warnings
    as errors (a docstring griffe cannot parse, a broken link)."""
    kezo = pytest.importorskip("kezo")
    pytest.importorskip("mkdocstrings")
    listed = set(re.findall(r"^::: kezo\.(\w+)$", (ROOT / "docs/reference.md").read_text(), re.M))
    assert set(kezo.__all__) <= listed
    build = subprocess.run([sys.executable, "-m", "mkdocs", "build", "--strict", "--site-dir",
                            str(ROOT / "build" / "site")], cwd=ROOT, capture_output=True,
                           text=True, timeout=300)
    assert build.returncode == 0, build.stderr[-3000:]


def test_options_table_says_which_methods_take_each_option():
    """docs/api.md's table of options names, for each, the methods the checks let it through
    for ("all", "all but X", or a list)."""
    plans = pytest.importorskip("kezo._plans")
    table = (ROOT / "docs/api.md").read_text(encoding="utf-8")
    rows = re.findall(r"^\| ((?:`\w+`(?:, )?)+) \|\s*([^|]*?)\s*\|", table, re.M)
    said = {}
    for names, methods in rows:
        if methods in ("", "all"):
            taken = set(plans.METHODS)
        elif methods.startswith("all but "):
            taken = set(plans.METHODS) - {m.strip() for m in methods[8:].split(",")}
        else:
            taken = {m.strip() for m in methods.split(",")}
        said.update({name: taken for name in re.findall(r"`(\w+)`", names)})
    assert said == {option.name: set(option.methods) for option in plans.OPTIONS}
