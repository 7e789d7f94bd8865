#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers) and
# runs each for FUZZ_SECONDS (default 20). A crash or sanitizer report fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_DIR=${FUZZ_DIR:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-20}
if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ not found, fuzz targets skipped"
    exit 0
fi
cmake -S . -B "$FUZZ_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUENDLE_FUZZ=ON -DQUENDLE_GUI=OFF -DQUENDLE_TESTS=OFF -DQUENDLE_BENCH=OFF >/dev/null
cmake --build "$FUZZ_DIR"
shopt -s nullglob
for target in "$FUZZ_DIR"/tests/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus_seed="tests/fuzz/corpus_${name#fuzz_}"
    work=$(mktemp -d)
    seeds=()
    [ -d "$corpus_seed" ] && seeds+=("$corpus_seed")
    echo "fuzz: $name for ${SECONDS_EACH}s"
    "$target" -max_total_time="$SECONDS_EACH" -print_final_stats=0 -artifact_prefix="$work/" \
        "$work" "${seeds[@]}" 2>"$work/log" || { tail -40 "$work/log"; echo "fuzz: $name FAILED"; exit 1; }
    grep -E "^#[0-9]+.*DONE" "$work/log" | tail -1 || true
    rm -rf "$work"
done
