#!/usr/bin/env bash
# Builds everything and runs every test: the native build with warnings as errors, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build under Wine and
# its zip package.
set -euo pipefail
cd "$(dirname "$0")"
# Two jobs at most: the machines have two cores.
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

tools/install_deps.sh native windows

for preset in linux linux-asan windows; do
    echo "== $preset"
    start=$SECONDS
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset: configured and built in $((SECONDS - start)) s"
    if [ "$preset" = windows ]; then
        cmake --build --preset windows --target dist
        # Make the Wine prefix and start its server before ctest, with no pipes of ours held.
        tools/wine/wine_run.sh cmd /c exit </dev/null >/dev/null 2>&1
    fi
    start=$SECONDS
    ctest --preset "$preset" -j "$jobs"
    echo "== $preset: tested in $((SECONDS - start)) s"
done
