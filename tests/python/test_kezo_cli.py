import csv
import io
import json
import os
import pathlib
import subprocess
import sys

import pytest

import kezo
import kezo_native
from kezo._cli import main

ROOT = pathlib.Path(__file__).resolve().parents[2]
SAMPLE = ROOT / "examples" / "sample_en.txt"
# The children import the same kezo and kezo_native as this process.
PATHS = [os.path.dirname(os.path.dirname(kezo.__file__)), os.path.dirname(kezo_native.__file__)]


def kezo_cli(*args, stdin=""):
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(PATHS + [os.environ.get("PYTHONPATH", "")]))
    return subprocess.run([sys.executable, "-m", "kezo", *args], input=stdin.encode(),
                          capture_output=True, env=env, timeout=120)


@pytest.fixture
def corpus(tmp_path):
    """A directory with a nested text file, a file the glob skips, an unreadable entry (a
    dangling link) and a file that is not UTF-8."""
    (tmp_path / "sub").mkdir()
    (tmp_path / "sub" / "wind.txt").write_text("Wind turbines spin. Wind farms grow.")
    (tmp_path / "notes.md").write_text("Skipped by the glob.")
    (tmp_path / "gone.txt").symlink_to(tmp_path / "missing")
    (tmp_path / "latin1.txt").write_bytes("caf\xe9 cr\xe8me".encode("latin-1"))
    return tmp_path


def test_extract_reads_files_directories_and_stdin(corpus):
    stdin = "Solar panels convert sunlight. Solar panels age."
    run = kezo_cli("extract", "--format", "json", "-k", "3", "-j", "2", str(SAMPLE), str(corpus),
                   "-", stdin=stdin)
    assert run.returncode == 1
    documents = json.loads(run.stdout)
    assert [d["path"] for d in documents] == [str(SAMPLE), str(corpus / "sub" / "wind.txt"), "-"]
    assert all(1 <= len(d["keyphrases"]) <= 3 for d in documents)
    assert documents[0]["keyphrases"][0] == kezo.extract(SAMPLE.read_text(), top_k=1)[0].to_dict()
    errors = run.stderr.decode()
    assert f"{corpus / 'gone.txt'}: No such file" in errors
    assert f"{corpus / 'latin1.txt'}: not UTF-8 (byte 0xe9 at offset 3)" in errors


@pytest.mark.parametrize("fmt", ["jsonl", "tsv", "csv", "text"])
def test_extract_formats(fmt):
    run = kezo_cli("extract", "-f", fmt, "-k", "2", "--no-progress", str(SAMPLE), str(SAMPLE))
    assert run.returncode == 0, run.stderr
    out = run.stdout.decode()
    if fmt == "jsonl":
        assert [len(json.loads(line)["keyphrases"]) for line in out.splitlines()] == [2, 2]
    elif fmt in ("tsv", "csv"):
        rows = list(csv.reader(io.StringIO(out), delimiter="\t" if fmt == "tsv" else ","))
        assert rows[0] == ["path", "rank", "text", "score", "count", "first_position"]
        assert [row[1] for row in rows[1:]] == ["1", "2", "1", "2"]
    else:
        assert out.count(f"{SAMPLE}:") == 2


def test_other_commands_and_usage(capsys):
    for command in ([], ["extract"], ["detect"], ["snap"], ["stopwords"]):
        with pytest.raises(SystemExit) as done:
            main([*command, "--help"])
        assert done.value.code == 0
    with pytest.raises(SystemExit):
        main(["--version"])
    assert capsys.readouterr().out.endswith(f"kezo {kezo.__version__}\n")
    assert main(["detect", "-f", "jsonl", str(SAMPLE)]) == 0
    assert json.loads(capsys.readouterr().out)["language"] == "en"
    assert main(["stopwords", "FR"]) == 0 and "le" in capsys.readouterr().out.split()
    for bad in (["stopwords", "xx"], ["extract", "--top-k", "-1", str(SAMPLE)]):
        with pytest.raises(SystemExit) as done:
            main(bad)
        assert done.value.code == 2
    assert "accepted codes" in capsys.readouterr().err


def test_snap_against_a_dictionary_file(tmp_path):
    dictionary = tmp_path / "fruit.txt"
    dictionary.write_text("Apple\nBanana\n\nCherry\n")
    run = kezo_cli("snap", "-d", str(dictionary), "-f", "jsonl", "-", stdin="aple\nkiwi\n")
    assert run.returncode == 0, run.stderr
    results = [json.loads(line) for line in run.stdout.splitlines()]
    assert [(r["term"], r["distance"], r["matched"]) for r in results] == [("Apple", 1, True),
                                                                          ("kiwi", None, False)]
    cut = kezo_cli("snap", "-d", str(dictionary), "--max-terms", "2", "cherry")
    assert b"--max-terms" in cut.stderr and b"no match" in cut.stdout
