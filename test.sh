#!/usr/bin/env bash
# Builds everything and runs every test: the native build with warnings as errors, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows build under Wine and its zip
# package, the browser page in headless Chromium, then each fuzz target for a bounded time
# (FUZZ_SECONDS per target, 30 by default).
set -euo pipefail
cd "$(dirname "$0")"
# Two jobs at most: the machines have two cores.
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

tools/install_deps.sh native windows fuzz

passed=0
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
    log=build/$preset/ctest-summary.log
    retry=()
    if [ "$preset" = windows ]; then
        # A Windows program under Wine very rarely dies at start-up with no output (seen once in
        # many hundreds of runs, never reproduced); a test that fails for a reason of its own
        # fails all three tries.
        retry=(--repeat until-pass:3)
    fi
    ctest --preset "$preset" -j "$jobs" "${retry[@]}" | tee "$log"
    # ctest failed the script above if anything failed; count what passed for the summary.
    passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")))
    echo "== $preset: tested in $((SECONDS - start)) s"
done

# The page, built for the browser and tested in headless Chromium against the linux build's
# converter and tools.
echo "== web"
start=$SECONDS
tools/install_deps.sh web
if ! { cmake --preset web >/dev/null && cmake --build --preset web -j "$jobs"; }; then
    echo "== web: the page's build FAILED" >&2
    exit 1
fi
log=build/web-build/page-test.log
if ! node --test tests/web/ >"$log" 2>&1; then
    cat "$log"
    echo "== web: the page's tests in Chromium FAILED (log: $log)" >&2
    exit 1
fi
passed=$((passed + $(sed -n 's/^# pass \([0-9]*\)$/\1/p' "$log")))
echo "== web: built and tested in $((SECONDS - start)) s ($(sed -n 's/^# pass //p' "$log") passed)"

echo "== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
fuzz/run_fuzzers.sh "${FUZZ_SECONDS:-30}"

echo "== all test suites, the page's tests and both fuzzers passed"
echo "$passed passed, 0 failed"
