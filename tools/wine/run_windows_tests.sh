#!/usr/bin/env bash
# Runs the Windows test suite (the `windows` preset, built) under Wine once:
#   run_windows_tests.sh [CTEST_OPTIONS...]        for example -j 2
# Every failing test fails the run, with one exception: a Wine start-up death, a test that failed
# within a second without printing anything at all. GoogleTest prints and flushes its first lines
# before the first test starts, and the scripts say why they fail, so such a test never ran: the
# process died starting. Those tests, and only when nothing else failed, run once more; the run
# passes if they pass then, and names them. The last lines say what happened:
#   == windows suite: N tests passed
#   1 test retried after a Wine start-up death: NAME         (only after a retry)
# or
#   == windows suite: FAILED: NAME, ...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
temporary=build/windows/Testing/Temporary
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs ctest with the caller's options and `$@`; its output goes to the terminal and to $work/out.
run_ctest() {
    local status=0
    ctest --preset windows "${options[@]}" "$@" | tee "$work/out" || status=$?
    return "$status"
}

# The failed tests of the last ctest run, one a line.
failed_tests() {
    if [ ! -s "$temporary/LastTestsFailed.log" ]; then
        echo "run_windows_tests.sh: ctest failed, but $temporary/LastTestsFailed.log names no" \
            "failed test: see its output above" >&2
        exit 1
    fi
    sed 's/^[0-9]*://' "$temporary/LastTestsFailed.log"
}

# The failed tests of the last run that died at start-up: no output, under a second (LastTest.log
# shows an empty output as "<end of output>" right after the line below "Output:").
startup_deaths() {
    awk '
        BEGIN { line = 2 }
        /^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name) }
        /^Output:$/ { line = 0; next }
        line == 0 { line = 1; next }
        line == 1 { line = 2; empty = ($0 == "<end of output>") }
        /^Test time = / { time = $4 }
        /^Test Failed\.$/ && empty && time < 1.0 { print name }
    ' "$temporary/LastTest.log"
}

joined() { paste -sd, - | sed 's/,/, /g'; }
tests() { if [ "$1" -eq 1 ]; then echo "1 test"; else echo "$1 tests"; fi; }

options=("$@")
status=0
run_ctest || status=$?
total=$(sed -n 's/.*tests failed out of \([0-9]*\)$/\1/p' "$work/out" | tail -n 1)
if [ "$status" -eq 0 ]; then
    echo "== windows suite: $total tests passed"
    exit 0
fi

failed_tests | sort >"$work/failed"
startup_deaths | sort >"$work/deaths"
others=$(comm -23 "$work/failed" "$work/deaths")
if [ -n "$others" ]; then
    echo "== windows suite: FAILED: $(joined <<<"$others")"
    if [ -s "$work/deaths" ]; then
        echo "(not retried, as other tests failed: $(joined <"$work/deaths"), which died at" \
            "start-up with no output)"
    fi
    exit 1
fi

count=$(wc -l <"$work/deaths")
echo "== windows suite: $(tests "$count") died at start-up with no output, retried once:" \
    "$(joined <"$work/deaths")"
if ! run_ctest --rerun-failed; then
    echo "== windows suite: FAILED: $(failed_tests | joined) (again, on the retry)"
    exit 1
fi
echo "== windows suite: $total tests passed"
echo "$(tests "$count") retried after a Wine start-up death: $(joined <"$work/deaths")"
