import pathlib
import re
import subprocess
import sys

# Daemon threads busy in every kind of call that runs without the interpreter lock while the main
# thread prints and returns: the interpreter must end them and exit normally, output flushed.
BUSY_AT_EXIT = """
import random, string, threading, time
import kezo, kezo_native as kz

kezo.set_cache_policy(max_updates_per_minute=0)
rng = random.Random(5)
terms = ["".join(rng.choices(string.ascii_lowercase, k=90)) for _ in range(3000)]
kezo.load_dictionary("exit", terms)
text = open("examples/sample_en.txt", encoding="utf-8").read() * 20
calls = [
    lambda: kezo.snap("exit", terms[7][::-1], max_distance=2**31 - 1),
    lambda: kezo.snap_batch("exit", terms[:200], max_distance=40, workers=2),
    lambda: kezo.load_dictionary("exit-load", terms),
    lambda: kezo.extract(text, language="en"),
    lambda: kezo.extract(text, language="en", method="ensemble"),
    lambda: kz.identify_language(text * 4),
    lambda: kezo.tag(text.split(), language="en"),
    # These take the lock back between texts to make records while helpers extract.
    lambda: kezo.Extractor(method="tfidf", language="en").fit_extract([text[:3000]] * 60, 2),
    lambda: kezo.Extractor(method="rake", language="en").extract_batch([text[:3000]] * 60, 2),
]

def loop(call):
    while True:
        call()

for call in calls:
    threading.Thread(target=loop, args=(call,), daemon=True).start()
time.sleep(0.2)
for i in range(3000):
    print("line", i)
"""


def test_exit_with_daemon_threads_inside_native_calls():
    root = pathlib.Path(__file__).resolve().parents[2]
    expected = "".join(f"line {i}\n" for i in range(3000))
    for run in range(10):
        done = subprocess.run(
            [sys.executable, "-c", BUSY_AT_EXIT], cwd=root, capture_output=True, text=True,
            timeout=120,
        )
        assert (done.returncode, done.stderr) == (0, ""), f"run {run}: {done.stderr[-2000:]}"
        assert done.stdout == expected, f"run {run}"


def test_no_binding_takes_the_lock_back_in_a_destructor():
    # gil_scoped_release and call_guard re-take the lock in a destructor, where the thread's end
    # at interpreter exit aborts the process; python/gil_release.h explains and replaces them.
    sources = pathlib.Path(__file__).resolve().parents[2] / "python"
    offenders = [
        path.name
        for path in sources.glob("*.cpp")
        if re.search(r"gil_scoped_release|call_guard", path.read_text(encoding="utf-8"))
    ]
    assert offenders == []
