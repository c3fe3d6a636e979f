#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, address and undefined-behaviour
# checks) and runs each in turn for the given number of seconds (default 600), niced, one at a
# time. Corpora live in build/fuzz-corpus and are seeded from tests/data when empty; full logs go
# to build/fuzz-logs. Any finding ends the run with a non-zero status and leaves the input that
# caused it in build/fuzz-artifacts. Usage: scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
build=build/fuzz
corpus=build/fuzz-corpus
logs=build/fuzz-logs
artifacts=build/fuzz-artifacts
targets=(fuzz_text fuzz_extract fuzz_snap fuzz_term_index)

cxx="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$cxx" ]; then
    echo "fuzz.sh: clang++ not found; install clang and libclang-rt-14-dev" >&2
    exit 1
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_C_COMPILER="${cxx/clang++/clang}" -DKEZO_BUILD_FUZZERS=ON >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]}"

# Seeds: passages of every language's text for the text and extraction targets; single lines
# (short terms and titles) and a few longer passages for the snapper and its search.
seed() {
    local target="$1" dir="$corpus/$1" file name
    mkdir -p "$dir"
    [ -z "$(ls -A "$dir")" ] || return 0
    for file in tests/data/udhr/*.txt; do
        name="$(basename "$file" .txt)"
        # No pipe into head: a writer cut off early would fail the script under pipefail.
        if [ "$target" = fuzz_snap ] || [ "$target" = fuzz_term_index ]; then
            awk 'NF && n < 12 { print; n++ }' "$file" | cut -b 1-120 | split -l 1 -a 2 - "$dir/$name-"
            head -c 400 "$file" >"$dir/$name-passage"  # queries past the 64-symbol kernel
        else
            head -c 2048 "$file" >"$dir/$name-start"
            dd if="$file" of="$dir/$name-middle" bs=1024 skip=6 count=1 status=none
        fi
    done
    # Inputs that once found a fault (tests/data/fuzz/<target without fuzz_>/), kept as seeds.
    if [ -d "tests/data/fuzz/${target#fuzz_}" ]; then
        cp tests/data/fuzz/"${target#fuzz_}"/* "$dir/"
    fi
}

mkdir -p "$logs" "$artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
for target in "${targets[@]}"; do
    seed "$target"
    log="$logs/$target.log"
    echo "== $target: ${seconds}s"
    if ! nice -n 10 "$build/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
        "$corpus/$target" >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "fuzz.sh: $target found a fault; the input is in $artifacts" >&2
        exit 1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|^stat::peak_rss_mb' "$log"
done
