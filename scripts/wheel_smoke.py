"""Smoke test of an installed kezo, run by the interpreter it is installed in, from outside the
checkout: extraction (also a batch on worker threads), language identification, snapping,
part-of-speech tags from a shipped model, pickling, an exit while daemon threads are inside native
calls, that every file the package ships is there, and that importing kezo pulls in none of the
optional extras.

Usage: python wheel_smoke.py MANIFEST   (MANIFEST: the package's files, one path a line,
relative to the package folder, as listed from the sources the wheel was built from)
"""

from __future__ import annotations

import pathlib
import pickle
import subprocess
import sys

import kezo
import kezo_native

TEXT = (
    "Solar panels convert sunlight into electricity. Cheap solar panels need careful "
    "installation, and solar panel owners check the inverter every year."
)
OPTIONAL = ("spacy", "sklearn", "dask", "distributed", "pandas")
# Daemon threads in native calls while the interpreter exits: the wheel's own C++ runtime must
# not be asked to unwind them (the process would crash, its output lost).
BUSY_AT_EXIT = f"""
import threading, time, kezo
text = {TEXT!r} * 40
def loop(call):
    while True:
        call()
for call in (lambda: kezo.extract(text), lambda: kezo.extract_batch([text] * 8, workers=2)):
    threading.Thread(target=loop, args=(call,), daemon=True).start()
time.sleep(0.1)
print("done")
"""


def main(manifest: str) -> None:
    package = pathlib.Path(kezo.__file__).parent
    expected = [line for line in pathlib.Path(manifest).read_text().splitlines() if line]
    missing = [name for name in expected if not (package / name).is_file()]
    assert expected and not missing, f"files missing from the installed package: {missing}"

    phrases = kezo.extract(TEXT, top_k=3)
    assert phrases and all(p.score > 0 for p in phrases), phrases
    assert any("solar" in p.text.lower() for p in phrases), phrases
    assert kezo.detect(TEXT).code == "en"
    assert kezo.detect("Les panneaux solaires transforment la lumière en électricité.").code == "fr"

    kezo.load_dictionary("shop", ["Apple", "Banana"])
    hit = kezo.snap("shop", "aple")
    assert (hit.term, hit.distance) == ("Apple", 1), hit

    assert kezo.tag(["The", "cat", "sleeps", "."], language="en")[-1] == "PUNCT"

    for value in (phrases, hit, kezo.detect(TEXT), kezo_native.Language.French):
        assert pickle.loads(pickle.dumps(value)) == value, value
    batch = kezo.extract_batch([TEXT, TEXT], workers=2, top_k=3)
    assert [[p.text for p in b] for b in batch] == [[p.text for p in phrases]] * 2

    for _ in range(5):
        done = subprocess.run([sys.executable, "-c", BUSY_AT_EXIT], capture_output=True,
                              text=True, timeout=60)
        assert (done.returncode, done.stdout) == (0, "done\n"), (done.returncode, done.stderr)

    loaded = sorted(name for name in OPTIONAL if name in sys.modules)
    assert not loaded, f"import kezo loaded optional packages: {loaded}"
    print(f"kezo {kezo.__version__} on Python {sys.version.split()[0]}: "
          f"{len(expected)} package files, extract, detect, snap, tag, pickle and exit work")


if __name__ == "__main__":
    main(sys.argv[1])
