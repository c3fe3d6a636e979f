import csv
import io
import json
import os
import pathlib
import signal
import subprocess
import sys
import time

import pytest

import kezo
import kezo_native
from kezo._cli import main

ROOT = pathlib.Path(__file__).resolve().parents[2]
SAMPLE = ROOT / "examples" / "sample_en.txt"
FRENCH = (ROOT / "tests" / "data" / "udhr" / "fr.txt").read_text(encoding="utf-8")
# The children import the same kezo and kezo_native as this process.
PATHS = [os.path.dirname(os.path.dirname(kezo.__file__)), os.path.dirname(kezo_native.__file__)]
ENV = dict(os.environ, PYTHONPATH=os.pathsep.join(PATHS + [os.environ.get("PYTHONPATH", "")]))
COMMAND = [sys.executable, "-m", "kezo"]


def kezo_cli(*args, stdin="", **redirect):
    redirect.setdefault("stdout", subprocess.PIPE)
    return subprocess.run([*COMMAND, *args], input=stdin.encode(), stderr=subprocess.PIPE,
                          env=ENV, timeout=120, **redirect)


@pytest.fixture
def corpus(tmp_path):
    """A directory with a nested text file, a file the glob skips, an unreadable entry (a
    dangling link), a file that is not UTF-8 and a FIFO, which would block a reader."""
    (tmp_path / "sub").mkdir()
    (tmp_path / "sub" / "wind.txt").write_text("Wind turbines spin. Wind farms grow.")
    (tmp_path / "notes.md").write_text("Skipped by the glob.")
    (tmp_path / "gone.txt").symlink_to(tmp_path / "missing")
    (tmp_path / "latin1.txt").write_bytes("caf\xe9 cr\xe8me".encode("latin-1"))
    os.mkfifo(tmp_path / "pipe.txt")
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
    errors = run.stderr.decode().splitlines()
    assert f"kezo: {corpus / 'gone.txt'}: No such file or directory" in errors
    assert any(f"{corpus / 'latin1.txt'}: not UTF-8 (byte 0xe9 at offset 3)" in e for e in errors)
    assert any(e.startswith(f"kezo: {corpus / 'pipe.txt'}: a FIFO, not a regular") for e in errors)
    assert len(errors) == 3


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


def test_encodings(tmp_path):
    """Real Latin-1 and UTF-16 files: refused as UTF-8 with a hint, read when named or found."""
    latin1, utf16 = tmp_path / "fr-latin1.txt", tmp_path / "fr-utf16.txt"
    latin1.write_bytes(FRENCH.encode("latin-1", "replace"))
    utf16.write_bytes(FRENCH.encode("utf-16"))
    expected = [p.to_dict() for p in kezo.extract(FRENCH.encode("latin-1", "replace").decode(
        "latin-1"), top_k=3)]
    refused = kezo_cli("extract", str(latin1))
    assert refused.returncode == 1 and b"--encoding auto" in refused.stderr
    named = kezo_cli("extract", "-f", "jsonl", "-k", "3", "-e", "latin-1", str(latin1))
    assert json.loads(named.stdout)["keyphrases"] == expected
    run = kezo_cli("extract", "-f", "jsonl", "-k", "3", "-e", "auto", "-v", str(latin1), str(utf16))
    assert run.returncode == 0, run.stderr
    found = [json.loads(line)["keyphrases"] for line in run.stdout.splitlines()]
    assert found == [expected, [p.to_dict() for p in kezo.extract(FRENCH, top_k=3)]]
    assert f"{utf16}: read as utf-16".encode() in run.stderr
    assert f"{latin1}: read as cp1252".encode() in run.stderr


def test_documents_options_and_highlight(tmp_path, capsys):
    """--lines, --jsonl-field (other fields carried), --highlight, -o, and extraction flags
    giving what the same options give in Python."""
    records = tmp_path / "articles.jsonl"
    records.write_text(
        '{"id": "a1", "body": "Solar panels age. Old solar panels fail."}\n\n'
        '{"id": "a2", "body": "Wind turbines spin. Wind turbines break."}\n')
    out = tmp_path / "out.jsonl"
    assert main(["extract", "--jsonl-field", "body", "-f", "jsonl", "-k", "1", "--highlight",
                 "-o", str(out), str(records)]) == 0
    rows = [json.loads(line) for line in out.read_text().splitlines()]
    bodies = ["Solar panels age. Old solar panels fail.", "Wind turbines spin. Wind turbines break."]
    assert [(r["id"], r["line"], r["keyphrases"]) for r in rows] == [
        (name, line, [p.to_dict() for p in kezo.extract(body, top_k=1)])
        for name, line, body in (("a1", 1, bodies[0]), ("a2", 3, bodies[1]))]
    assert rows[0]["highlighted"] == kezo.highlight(bodies[0], kezo.extract(bodies[0], top_k=1))
    lines = tmp_path / "lines.txt"
    lines.write_text("Solar panels age. Old solar panels fail\n\nWind farms grow.\n")
    assert main(["extract", "--lines", "--highlight", str(lines)]) == 0
    marked = kezo.highlight(bodies[0][:-1], kezo.extract(bodies[0][:-1]))
    assert "</mark>" in marked
    assert capsys.readouterr().out.splitlines() == [
        f"{lines}:1:", marked, f"{lines}:3:", kezo.highlight("Wind farms grow.",
                                                             kezo.extract("Wind farms grow."))]

    stop = tmp_path / "stop.txt"
    stop.write_text("human\nrights\n")
    cases = [
        (["--stopwords", str(stop), "--near-duplicate-threshold", "0.5", "--max-n", "2"],
         dict(stopwords=["human", "rights"], near_duplicate_threshold=0.5, max_n=2)),
        (["-m", "textrank", "--window", "3", "--damping", "0.9", "--min-n", "2"],
         dict(method="textrank", window=3, damping=0.9, min_n=2)),
        (["-m", "ensemble", "--weights", "rake=0.5,yake=2", "-k", "0"],
         dict(method="ensemble", weights={"rake": 0.5, "yake": 2}, top_k=0)),
    ]
    for flags, options in cases:
        assert main(["extract", "-f", "jsonl", *flags, str(SAMPLE)]) == 0
        found = json.loads(capsys.readouterr().out)["keyphrases"]
        assert found == [p.to_dict() for p in kezo.extract(SAMPLE.read_text(), **options)]
    # --corpus: the documents given (lines here) are weighed against each other.
    assert main(["extract", "-f", "jsonl", "--corpus", "--lines", "-m", "tfidf", str(lines)]) == 0
    found = [json.loads(row)["keyphrases"] for row in capsys.readouterr().out.splitlines()]
    texts = [bodies[0][:-1], "Wind farms grow."]
    assert found == [[p.to_dict() for p in ps]
                     for ps in kezo.Extractor(method="tfidf").fit_extract(texts)]
    for bad in (["--damping", "1"], ["--window", "3"], ["--stopwords", str(tmp_path / "no")],
                ["--corpus", "-m", "rake"]):
        with pytest.raises(SystemExit) as done:
            main(["extract", *bad, str(SAMPLE)])
        assert done.value.code == 2
    errors = capsys.readouterr().err
    assert "damping" in errors and "does not apply to method 'keyphrase'" in errors
    assert "--corpus weighs documents for the methods keyphrase and tfidf" in errors


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
    os.mkfifo(tmp_path / "fifo")
    blocked = kezo_cli("snap", "-d", str(tmp_path / "fifo"), "aple")
    assert blocked.returncode == 1 and b"a FIFO, not a regular file" in blocked.stderr


def one_line_error(run, text):
    errors = run.stderr.decode().splitlines()
    assert run.returncode == 1 and len(errors) == 1 and text in errors[0], run.stderr


def test_limits_and_write_errors(tmp_path):
    """Devices, inputs over --max-bytes, a full disk and a closed standard output each end in
    one line on standard error, exit status 1."""
    one_line_error(kezo_cli("extract", "/dev/zero"), "a character device, not a regular file")
    one_line_error(kezo_cli("extract", "--max-bytes", "100", str(SAMPLE)), "--max-bytes 100")
    with open("/dev/full", "w") as full:
        one_line_error(kezo_cli("extract", str(SAMPLE), stdout=full),
                       "standard output: cannot write: No space left on device")
    closed = subprocess.run([*COMMAND, "extract", str(SAMPLE)], stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, env=ENV, timeout=120,
                            preexec_fn=lambda: os.close(1))
    one_line_error(closed, "standard output is closed")


@pytest.fixture
def many(tmp_path):
    """Enough files that extracting them all takes seconds."""
    text = SAMPLE.read_text() * 100
    for number in range(200):
        (tmp_path / f"{number:03}.txt").write_text(text)
    return tmp_path


def test_closed_pipe_and_interrupt(many):
    """A reader that goes away ends the run at once and quietly; Ctrl-C ends it with 130 and
    keeps every result finished by then."""
    shell = f"{' '.join(COMMAND)} extract -j 2 --no-progress {many} | head -1"
    run = subprocess.run(["bash", "-c", shell], capture_output=True, env=ENV, timeout=120)
    assert run.stdout.decode() == f"{many / '000.txt'}:\n" and run.stderr == b""
    # The folder three times over: far more work than can finish before the signal lands.
    child = subprocess.Popen(
        [*COMMAND, "extract", "-f", "jsonl", "-j", "2", "-k", "1", *[str(many)] * 3],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ENV, bufsize=0,
        preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
    # Unbuffered: communicate() reads the pipe itself, and would miss what a buffered readline
    # had read beyond the first line. The child starts with Ctrl-C at its default even when this
    # suite runs in the background, which ignores it (a process started ignoring SIGINT keeps
    # ignoring it, as it should).
    assert child.stdout.readline()  # the first result is out: the run is under way
    child.send_signal(signal.SIGINT)
    out, err = child.communicate(timeout=30)
    assert child.returncode == 130 and err == b""
    finished = [json.loads(line) for line in out.splitlines()]
    assert len(finished) < 599
    assert [r["path"] for r in finished] == [str(many / f"{n % 200:03}.txt") for n in range(1, 1 + len(finished))]
