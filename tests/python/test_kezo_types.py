import os
import pathlib
import re
import subprocess
import sys

import pytest

import kezo

pytest.importorskip("mypy", reason="mypy checks the stubs and the package")
ROOT = pathlib.Path(__file__).resolve().parents[2]
TOUR = ROOT / "examples" / "api_tour.py"

# Each line marked "# planted" holds one type error that the stubs must let mypy catch.
PLANTED = """
import kezo
import kezo_native

config = kezo_native.ExtractConfig()
config.top_k = "5"  # planted
kezo_native.tokenize("text", kezo_native.YAKEConfig())  # planted
keywords: list[str] = kezo_native.extract_keywords("text", config)  # planted
kezo_native.extract_keywords("text")[0].score.upper()  # planted
kezo.extract("text", top_k="5")  # planted
kezo.extract("text")[0].text + 1  # planted
kezo.snap("tenant", 5)  # planted
language: kezo.Language = kezo.detect("text")  # planted
"""


def mypy(*args):
    env = dict(os.environ, MYPYPATH=str(ROOT / "python"))
    return subprocess.run([sys.executable, "-m", *args], cwd=ROOT, env=env, capture_output=True,
                          text=True, timeout=600)


def test_stubs_match_the_built_module():
    run = mypy("mypy.stubtest", "kezo_native")
    assert run.returncode == 0, run.stdout + run.stderr


def test_package_and_tour_pass_strict_checking_and_planted_errors_are_caught(tmp_path):
    planted = tmp_path / "planted.py"
    planted.write_text(PLANTED)
    run = mypy("mypy", "--strict", "--no-incremental", "python/kezo", str(TOUR), str(planted))
    flagged = {int(n) for n in re.findall(r"planted\.py:(\d+): error", run.stdout)}
    expected = {i for i, line in enumerate(PLANTED.splitlines(), 1) if "# planted" in line}
    assert flagged == expected, run.stdout
    assert "api_tour" not in run.stdout and "kezo/" not in run.stdout, run.stdout
    # The tour uses every public name.
    assert not [name for name in kezo.__all__ if f"kezo.{name}" not in TOUR.read_text()]
