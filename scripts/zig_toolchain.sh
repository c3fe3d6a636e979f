# zig's clang as a compiler for old glibc, for the wheel scripts: source it from the repository
# root after scripts/common.sh, once the virtual environment has the ziglang package.
ZIG_VERSION=0.14.1
# zig's caches (its C++ runtime, built once per target, among them) stay inside the checkout.
export ZIG_GLOBAL_CACHE_DIR="$PWD/.cache/zig" ZIG_LOCAL_CACHE_DIR="$PWD/.cache/zig"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

# Writes compiler and archiver wrappers for ARCH-linux-gnu with glibc 2.17 symbols and the
# architecture's baseline instruction set into build/zig/ARCH, points CC and CXX at them, and
# sets ZIG_CMAKE_SETTINGS to the pip options that hand the archivers to scikit-build-core.
zig_build_env() {
    local arch=$1 dir="$PWD/build/zig/$1" zig tool
    zig=$("$VENV/bin/python" -c 'import os, ziglang; print(os.path.dirname(ziglang.__file__))')/zig
    mkdir -p "$dir"
    # zig keeps frame pointers unless told not to, which optimised GCC and clang builds do not:
    # keeping them made the word scan about 2 % slower.
    for tool in cc c++; do
        printf '#!/bin/sh\nexec "%s" %s -target %s-linux-gnu.2.17 -mcpu=baseline -fomit-frame-pointer "$@"\n' \
            "$zig" "$tool" "$arch" >"$dir/$tool"
    done
    for tool in ar ranlib; do printf '#!/bin/sh\nexec "%s" %s "$@"\n' "$zig" "$tool" >"$dir/$tool"; done
    chmod +x "$dir"/*
    export CC="$dir/cc" CXX="$dir/c++"
    ZIG_CMAKE_SETTINGS=(-C "cmake.define.CMAKE_AR=$dir/ar" -C "cmake.define.CMAKE_RANLIB=$dir/ranlib")
}
