"""Peak memory of kezo.extract per byte of input, on one long document: prose (the shared
keyphrase documents, else the shipped English sample, repeated) and Zipf text (words of that
prose drawn independently by rank, so nearly every run of words is a phrase of its own: the
worst case for distinct phrases). Each measurement runs in a fresh interpreter; the figure is
the rise of the peak resident set during the call over the resident set with the text loaded
(Linux: the peak is reset after reading), over the text's UTF-8 size.

Usage: .venv/bin/python bench/extract_memory.py [--megabytes 100]
"""

from __future__ import annotations

import argparse
import collections
import glob
import pathlib
import random
import re
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[1]
SHARED = ROOT.parent / "shared" / "data" / "keyphrases"

MEASURE = """
import re, sys, time, kezo
def peak():
    status = open("/proc/self/status").read()
    return int(re.search(r"VmHWM:\\s*(\\d+)", status).group(1)) * 1024
text = open(sys.argv[1], encoding="utf-8").read()
open("/proc/self/clear_refs", "w").write("5")  # the peak so far (reading the file) is forgotten
before = peak()
start = time.perf_counter()
phrases = kezo.extract(text, language="en")
seconds = time.perf_counter() - start
print(f"{(peak() - before) / len(text.encode()):.2f} bytes per byte, {seconds:.1f} s, "
      f"top 3: {[p.text for p in phrases[:3]]}")
"""


def prose(size: int) -> str:
    files = sorted(glob.glob(str(SHARED / "*" / "docs" / "*")))[:3000]
    parts = [open(f, encoding="utf-8", errors="ignore").read() for f in files]
    text = "\n".join(parts) or (ROOT / "examples" / "sample_en.txt").read_text(encoding="utf-8")
    return (text * (size // len(text) + 1))[:size]


def zipf(size: int, source: str) -> str:
    ranked = [w for w, _ in collections.Counter(re.findall(r"[a-z]+", source.lower())).most_common(200_000)]
    rng = random.Random(1)
    words = rng.choices(ranked, [1 / (r + 1) for r in range(len(ranked))], k=size // 5)
    return " ".join(w + ("." if k % 20 == 19 else "") for k, w in enumerate(words))[:size]


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--megabytes", type=int, default=100)
    size = parser.parse_args().megabytes << 20
    text = prose(size)
    with tempfile.TemporaryDirectory() as folder:
        for name, body in (("prose", text), ("zipf", zipf(size, text[: 20 << 20]))):
            path = pathlib.Path(folder) / f"{name}.txt"
            path.write_text(body, encoding="utf-8")
            run = subprocess.run([sys.executable, "-c", MEASURE, str(path)], capture_output=True,
                                 text=True, check=True)
            print(f"{name:6} {len(body.encode()) >> 20} MB: {run.stdout.strip()}")


if __name__ == "__main__":
    main()
