#!/usr/bin/env bash
# Sets up the checkout with the test tools (see setup.sh), then runs every test: the C++ suite
# through CTest and the Python suite with pytest against kezo as built from this checkout.
# Ends with one line: the verdict and the number of C++ and Python tests.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
bash scripts/setup.sh --tests || die "set-up failed"
export PATH="$PWD/$VENV/bin:$PATH"

build=build/tests
cpp_log=$(mktemp)
py_log=$(mktemp)
trap 'rm -f "$cpp_log" "$py_log"' EXIT

cpp_status=0
if cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEZO_BUILD_TESTS=ON \
        -DKEZO_BUILD_BENCH=OFF -DKEZO_BUILD_PYTHON=OFF >/dev/null && cmake --build "$build"; then
    ctest --test-dir "$build" -j 2 --output-on-failure 2>&1 | tee "$cpp_log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || cpp_status=1
else
    cpp_status=1
fi

"$VENV/bin/python" -m pytest -q -p no:cacheprovider tests/python 2>&1 | tee "$py_log"
py_status=${PIPESTATUS[0]}

# "100% tests passed out of 61" or "95% tests passed, 3 tests failed out of 61"; then
# "120 passed, 2 skipped in 5.31s".
cpp_total=$(sed -n 's/.*tests passed.* out of \([0-9]*\).*/\1/p' "$cpp_log" | tail -n 1)
cpp_failed=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$cpp_log" | tail -n 1)
py_line=$(grep -E '[0-9]+ (passed|failed|error)' "$py_log" | tail -n 1 | tr -d '=' | sed 's/^ *//')
py_count() { printf '%s' "$py_line" | grep -oE "[0-9]+ $1" | grep -oE '[0-9]+' || echo 0; }
summary="C++ ${cpp_total:-0} tests (${cpp_failed:-0} failed), Python $(py_count passed) passed, $(py_count failed) failed, $(py_count skipped) skipped"
if [ "$cpp_status" -eq 0 ] && [ "$py_status" -eq 0 ]; then
    echo "PASS: $summary"
else
    echo "FAIL: $summary${py_line:+ (pytest: $py_line)}"
    exit 1
fi
