#!/usr/bin/env bash
# Sets up the machine, installs kezo and runs it on the shipped English sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >&2
python3 examples/demo.py "$@"
echo "\$ kezo extract examples/sample_en.txt"
python3 -m kezo extract examples/sample_en.txt
