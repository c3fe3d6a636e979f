#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine, then the module itself.
set -euo pipefail
export PIP_ROOT_USER_ACTION=ignore PIP_DISABLE_PIP_VERSION_CHECK=1
cd "$(dirname "$0")/.."

apt_packages=(g++ libgtest-dev libbenchmark-dev libstemmer-dev)
missing=()
for pkg in "${apt_packages[@]}"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
if [ "${#missing[@]}" -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

python3 -m pip install -q --upgrade pip >/dev/null
python3 -m pip install -q "cmake>=3.18" ninja "pybind11>=2.11" "scikit-build-core>=0.8" pytest \
    "hypothesis>=6.100"
python3 -m pip install -q .
