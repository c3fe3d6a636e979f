"""The stemmer fetch replaces its own folder only: a DEST holding anything else is refused and
left as it was, before anything is downloaded."""

import pathlib
import runpy

import pytest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "fetch_stemmer.py"


def test_a_folder_it_did_not_write_is_refused_and_kept(tmp_path):
    script = runpy.run_path(str(SCRIPT))  # its functions, without running it
    (tmp_path / "notes.txt").write_text("mine")
    (tmp_path / "include").mkdir()  # one of its names beside a foreign file changes nothing
    with pytest.raises(SystemExit, match="did not write"):
        script["fetch"](tmp_path)
    assert (tmp_path / "notes.txt").read_text() == "mine"
    assert script["ours_to_replace"](tmp_path / "absent")
    (tmp_path / "notes.txt").unlink()
    assert script["ours_to_replace"](tmp_path)
