#!/usr/bin/env bash
# Cross-builds a cp39 manylinux_2_17 aarch64 wheel from the unpacked sdist with zig's clang, and
# tests it on an emulated aarch64: Debian 11's arm64 python3.9 (whose headers the build uses)
# run by qemu-user inside a chroot. The arm64 userspace is debootstrap's first stage plus the
# downloaded packages unpacked (its second stage would need the kernel to run arm64 programs on
# its own, which this does not ask for), so only the interpreter itself runs, with the wheel
# installed for it by this machine's pip.
# Usage: bash scripts/wheel_aarch64.sh SOURCE_DIR MANIFEST   (wheel.sh --aarch64 runs it)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
. scripts/zig_toolchain.sh
source_dir=$1 manifest=$2
root="$PWD/.cache/debian11-arm64"
[ "$(id -u)" -eq 0 ] || die "entering the arm64 userspace with chroot needs root"
export PATH="$PWD/$VENV/bin:$PATH"

if [ ! -f "$root/.kezo-ready" ]; then
    apt_install_missing debootstrap qemu-user-static
    log "making a Debian 11 arm64 userspace in $root (once)"
    rm -rf "$root"
    debootstrap --foreign --arch=arm64 --variant=minbase --include=python3.9,libpython3.9-dev \
        bullseye "$root" >"$PWD/.cache/debian11-arm64.log" 2>&1 ||
        die "debootstrap failed (see .cache/debian11-arm64.log)"
    for deb in "$root"/var/cache/apt/archives/*.deb; do dpkg-deb -x "$deb" "$root"; done
    cp /usr/bin/qemu-aarch64-static "$root/usr/bin/"
    touch "$root/.kezo-ready"
fi

started=$SECONDS
zig_build_env aarch64
toolchain="$PWD/build/zig/aarch64/toolchain.cmake"
# Debian's Python.h includes its architecture's pyconfig.h by a multiarch path, and crypt.h
# (libxcrypt's, which zig's glibc headers lack): those alone are made reachable, not the rest of
# the userspace's headers (its glibc is newer than the target).
multiarch="$PWD/build/zig/aarch64/include/aarch64-linux-gnu"
mkdir -p "$multiarch"
ln -sfn "$root/usr/include/aarch64-linux-gnu/python3.9" "$multiarch/python3.9"
ln -sfn "$root/usr/include/crypt.h" "$PWD/build/zig/aarch64/include/crypt.h"
cat >"$toolchain" <<CMAKE
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER $CC)
set(CMAKE_CXX_COMPILER $CXX)
set(CMAKE_CXX_FLAGS_INIT "-isystem $PWD/build/zig/aarch64/include")
CMAKE
builder=build/wheel-venvs/cp39
[ -x "$builder/bin/python" ] || die "no cp39 build environment: run wheel.sh --all first"
rm -rf build/wheel-raw
# The running interpreter is x86_64: the target's platform (for the wheel's tag), its headers and
# its module suffix are named.
_PYTHON_HOST_PLATFORM=linux-aarch64 "$builder/bin/python" -m pip wheel -q --no-deps \
    -w build/wheel-raw "$source_dir" "${ZIG_CMAKE_SETTINGS[@]}" \
    -C "cmake.define.CMAKE_TOOLCHAIN_FILE=$toolchain" \
    -C "cmake.define.Python_INCLUDE_DIR=$root/usr/include/python3.9" \
    -C "cmake.define.PYTHON_MODULE_EXTENSION=.cpython-39-aarch64-linux-gnu.so" \
    -C "build-dir=build/aarch64-{wheel_tag}"
# auditwheel names only this machine's platforms after --plat; "auto" takes the most compatible
# policy the wheel meets, and the name looked for below must then say manylinux_2_17.
"$VENV/bin/auditwheel" repair --plat auto -w dist build/wheel-raw/*.whl \
    >build/wheel-src/auditwheel.log 2>&1 || { cat build/wheel-src/auditwheel.log >&2; exit 1; }
rm -rf build/wheel-raw
wheel=$(ls dist/kezo-*-cp39-*manylinux_2_17_aarch64*.whl)
log "built $wheel ($(du -h "$wheel" | cut -f1), $((SECONDS - started)) s)"
"$VENV/bin/auditwheel" show "$wheel" 2>/dev/null | tr -s '\n ' ' ' | sed 's/ This constrains.*//' >&2; echo >&2

check="$root/tmp/kezo-check"
rm -rf "$check"
mkdir -p "$check"
trap 'rm -rf "$check"' EXIT
"$VENV/bin/python" -m pip install -q --target "$check/site" --platform manylinux2014_aarch64 \
    --python-version 3.9 --implementation cp --abi cp39 --only-binary=:all: "$wheel"
cp scripts/wheel_smoke.py "$check/"
cp "$manifest" "$check/manifest.txt"
env -i PATH=/usr/bin:/bin LANG=C.UTF-8 PYTHONPATH=/tmp/kezo-check/site \
    "$(command -v chroot)" "$root" /usr/bin/qemu-aarch64-static /usr/bin/python3.9 /tmp/kezo-check/wheel_smoke.py \
    /tmp/kezo-check/manifest.txt
log "the aarch64 wheel runs on Debian 11's arm64 python3.9 under qemu-user"
