#!/usr/bin/env bash
# Prepares this checkout: missing system packages (apt), the project-local virtual environment
# .venv, the Snowball stemmer sources (third_party/libstemmer_c), and kezo built from this
# checkout and installed into it. A second run with nothing changed only checks and returns
# within seconds.
# Usage: bash scripts/setup.sh [--tests]   (--tests adds what the test suite needs)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

ensure_build_system
create_venv
pip_install_set build "${BUILD_REQUIREMENTS[@]}" "${RUNTIME_REQUIREMENTS[@]}"
"$VENV/bin/python" scripts/fetch_stemmer.py
if [ "${1:-}" = "--tests" ]; then
    apt_install_missing libgtest-dev libclang-rt-14-dev
    pip_install_set tests "${TEST_REQUIREMENTS[@]}"
fi
install_kezo
