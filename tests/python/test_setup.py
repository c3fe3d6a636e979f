"""The set-up script, run a second time in a checkout it has set up: it rebuilds nothing, returns
within seconds and writes nothing outside the checkout (not the home folder, not the base
interpreter's site-packages)."""

import os
import pathlib
import subprocess
import sys
import sysconfig
import time

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]

pytestmark = pytest.mark.skipif(
    pathlib.Path(sys.prefix).resolve() != (ROOT / ".venv").resolve(),
    reason="runs only inside the checkout's .venv, which scripts/setup.sh made",
)


def snapshot(folder):
    return sorted((p.name, p.stat().st_mtime_ns) for p in pathlib.Path(folder).iterdir())


def test_second_run_rebuilds_nothing_and_writes_only_inside_the_checkout(tmp_path):
    base_site = sysconfig.get_path("purelib", vars={"base": sys.base_prefix})
    before = snapshot(base_site)
    home, scratch = tmp_path / "home", tmp_path / "tmp"
    home.mkdir()
    scratch.mkdir()
    env = {**os.environ, "HOME": str(home), "TMPDIR": str(scratch), "XDG_CACHE_HOME": str(home)}

    started = time.monotonic()
    run = subprocess.run(
        ["bash", "scripts/setup.sh"], cwd=ROOT, env=env, capture_output=True, text=True
    )
    elapsed = time.monotonic() - started

    assert run.returncode == 0, run.stderr
    assert "kezo is up to date" in run.stderr and "building" not in run.stderr
    assert elapsed < 20
    assert list(home.iterdir()) == [] and list(scratch.iterdir()) == []
    assert snapshot(base_site) == before
