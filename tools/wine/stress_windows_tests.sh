#!/usr/bin/env bash
# Runs the built Windows test suite N times in a row under load, to find tests that fail only now
# and then: a busy loop keeps one core occupied while ctest runs its usual two jobs.
#   tools/wine/stress_windows_tests.sh N
# Each run goes through run_windows_tests.sh, as in test.sh: a recognised Wine start-up death is
# retried once and reported, any other failure counts. Prints each run's time, failures and
# retries, then the totals; a failed run's output and ctest log are kept in build/windows/stress/.
# The exit status is 1 when any run failed. Build first: cmake --preset windows &&
# cmake --build --preset windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

runs=${1:-}
if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: stress_windows_tests.sh N   (N runs of the Windows suite, N >= 1)" >&2
    exit 2
fi
if [ ! -f build/windows/CTestTestfile.cmake ]; then
    echo "stress_windows_tests.sh: no Windows build in build/windows; build the windows preset" \
        "first" >&2
    exit 1
fi
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
out=build/windows/stress
rm -rf "$out"
mkdir -p "$out"

# The prefix and its server, made away from our pipes, as test.sh does.
if ! tools/wine/wine_run.sh cmd /c exit </dev/null >"$out/wine-start.log" 2>&1; then
    echo "stress_windows_tests.sh: Wine did not start in build/windows/wineprefix:" >&2
    cat "$out/wine-start.log" >&2
    exit 1
fi

busy=
stop_busy() {
    if [ -n "$busy" ]; then
        kill "$busy" 2>/dev/null || true
        wait "$busy" 2>/dev/null || true
    fi
}
trap stop_busy EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
(while :; do :; done) </dev/null >/dev/null 2>&1 &
busy=$!

failed_runs=0
retried_tests=0
for ((run = 1; run <= runs; run++)); do
    log=$out/run-$run.log
    start=$SECONDS
    status=0
    tools/wine/run_windows_tests.sh -j "$jobs" >"$log" 2>&1 || status=$?
    seconds=$((SECONDS - start))
    if [ "$status" -eq 0 ]; then
        echo "run $run: passed in $seconds s"
    else
        failed_runs=$((failed_runs + 1))
        cp build/windows/Testing/Temporary/LastTest.log "$out/run-$run-LastTest.log"
        echo "run $run: FAILED in $seconds s (output: $log)"
    fi
    grep '^== windows suite: .*\(FAILED\|died at start-up\)' "$log" | sed 's/^/    /' || true
    retries=$(grep 'retried after a Wine start-up death' "$log" || true)
    if [ -n "$retries" ]; then
        echo "    $retries"
        retried_tests=$((retried_tests + $(sed 's/^\([0-9]*\) .*/\1/' <<<"$retries")))
    fi
done

echo "== $runs runs under load: $failed_runs failed; $retried_tests tests retried after a Wine" \
    "start-up death"
[ "$failed_runs" -eq 0 ]
