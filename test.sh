#!/usr/bin/env bash
# Builds everything and runs every test: the native build with warnings as errors, then the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for a
# bounded time (FUZZ_SECONDS per target, 30 by default).
set -euo pipefail
cd "$(dirname "$0")"
# Two parallel jobs at most: the machine has two cores.
jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2

tools/install_deps.sh native fuzz

for preset in linux linux-asan; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

echo "== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
fuzz/run_fuzzers.sh "${FUZZ_SECONDS:-30}"
