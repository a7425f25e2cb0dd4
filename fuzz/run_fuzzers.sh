#!/usr/bin/env bash
# Runs each fuzz target of the fuzz preset for a bounded time, starting from the committed seeds.
# Any crash, leak, sanitizer report, input taking over 10 s or needing over 256 MB fails the run;
# the failing input is left in build/fuzz/fuzz-run/TARGET/artifacts/ and belongs, once fixed, in
# fuzz/regressions/. New corpus entries go to a scratch folder in the build tree only.
# Each target's inputs are cut to what a data system file of 20 variables needs, 72 + 20p + 4p^2 =
# 2072 bytes, since the bytes after the means are never read: the largest seed stays whole, and
# there are names enough for the Mplus name list to wrap. The echo is bounded by the long
# arithmetic its huge values take instead (WithinEchoFuzzBudget), not by their count.
#   fuzz/run_fuzzers.sh [SECONDS_PER_TARGET]   (default 12)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=${1:-12}
seeds="$root/fuzz/corpus/reader"

seed_listing() { (cd "$seeds" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
seeds_before=$(seed_listing)

failed=0
for entry in reader_fuzzer:2072 echo_fuzzer:2072 text_data_fuzzer:2072 json_fuzzer:2072 \
    mplus_fuzzer:2072; do
    target=${entry%%:*}
    max_len=${entry#*:}
    work="$build/fuzz-run/$target"
    rm -rf "$work/artifacts"
    mkdir -p "$work/corpus" "$work/artifacts"
    log="$work/log.txt"
    status=0
    # A small quarantine keeps ASan's own bookkeeping well below the 256 MB limit per input.
    ASAN_OPTIONS="quarantine_size_mb=32:detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
        "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=256 -timeout=10 \
        -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" "$seeds" >"$log" 2>&1 || status=$?
    echo "== $target ($seconds s, inputs up to $max_len bytes)"
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log" || true
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
        echo "$target FAILED (exit status $status); the end of its log ($log):"
        tail -n 60 "$log"
        echo "failing inputs:"
        ls -l "$work/artifacts"
        failed=1
    fi
done

if [ "$seeds_before" != "$(seed_listing)" ]; then
    echo "the committed seed corpus changed during the run"
    failed=1
fi
exit "$failed"
