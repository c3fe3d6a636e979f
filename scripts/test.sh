#!/usr/bin/env bash
# Sets up the machine, then runs every test: the C++ suite through CTest, then pytest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=build/tests
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEZO_BUILD_TESTS=ON \
    -DKEZO_BUILD_BENCH=ON
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure

python3 -m pytest -q tests/python
