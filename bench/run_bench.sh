#!/usr/bin/env bash
# Speed and memory of the converter: Google Benchmark timings, then the peak memory of whole
# command-line conversions measured with /usr/bin/time, against 2.5 x (moment data + output).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install_deps.sh" native bench
cmake --preset bench -S "$root" >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" >/dev/null

"$root/build/bench/bench/conversion_bench" --benchmark_min_time=1 "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What the program takes before it reads anything (code, C++ runtime), left out of the budget.
/usr/bin/time -f '%M' -o "$work/time" "$root/build/bench/cli/dsf2vemo-cli" --version >/dev/null
read -r baseline_kb <"$work/time"
echo
echo "Peak memory of whole conversions (baseline of the bare program: $((baseline_kb / 1024)) MB, not counted)"
printf '%6s %10s %10s %12s %12s %8s\n' p seconds peak_MB budget_MB output_MB ok
for p in 500 2000 5000; do
    "$root/build/bench/bench/make_bench_dsf" "$p" "$work/in.dsf"
    /usr/bin/time -f '%e %M' -o "$work/time" "$root/build/bench/cli/dsf2vemo-cli" -o "$work/out.txt" "$work/in.dsf"
    read -r seconds peak_kb <"$work/time"
    output_bytes=$(stat -c %s "$work/out.txt")
    moment_bytes=$(( 8 * (p * (p + 1) / 2 + p) + 40 * p ))
    budget_kb=$(( (moment_bytes + output_bytes) * 5 / 2 / 1024 ))
    ok=yes; [ $((peak_kb - baseline_kb)) -le "$budget_kb" ] || ok=NO
    printf '%6d %10s %10d %12d %12d %8s\n' "$p" "$seconds" $((peak_kb / 1024)) $((budget_kb / 1024)) $((output_bytes / 1000000)) "$ok"
done
