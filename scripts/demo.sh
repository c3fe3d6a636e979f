#!/usr/bin/env bash
# Sets up the checkout (see setup.sh), then extracts the keyphrases of the shipped English sample
# with the kezo command. Extra arguments go to `kezo extract` (e.g. --format json).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec .venv/bin/python -m kezo extract examples/sample_en.txt "$@"
