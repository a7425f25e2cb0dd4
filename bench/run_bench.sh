#!/usr/bin/env bash
# Speed and memory of the converter: Google Benchmark timings, with the diagnosis against its
# budgets; the whole-process time of dsf2vemo-cli against the floor program
# (bench/floor_conversion.cpp, with the converter's own 15-digit numbers) for p = 2000, as a
# ratio, and the JSON and Mplus outputs against the floor writing shortest round-trip numbers;
# then the peak memory of whole
# command-line conversions measured with /usr/bin/time, against 2.5 x (moment data + output).
#   bench/run_bench.sh [--ratio-only] [Google Benchmark options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ratio_only=no
if [ "${1:-}" = --ratio-only ]; then
    ratio_only=yes
    shift
fi
"$root/tools/install_deps.sh" native bench
cmake --preset bench -S "$root" >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" >/dev/null
cli="$root/build/bench/cli/dsf2vemo-cli"
floor="$root/build/bench/bench/floor_conversion"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "$ratio_only" = no ]; then
    "$root/build/bench/bench/conversion_bench" --benchmark_min_time=1 \
        --benchmark_out="$work/bench.csv" --benchmark_out_format=csv "$@"

    # The diagnosis against its budgets: at most 5 % of a conversion of 2000 variables, and the
    # positive-definiteness test of 500 variables under 50 ms. (Absent when a filter left them
    # out.)
    ms() {
        awk -F, -v name="\"$1\"" '$1 == name {
            print $3 / ($5 == "ns" ? 1e6 : $5 == "us" ? 1e3 : $5 == "s" ? 1e-3 : 1); exit }' "$work/bench.csv"
    }
    conversion=$(ms BM_ReadAndWrite/2000)
    diagnosis=$(ms BM_Diagnose/2000)
    definiteness=$(ms BM_PositiveDefiniteTest/500)
    echo
    if [ -n "$conversion" ] && [ -n "$diagnosis" ]; then
        awk -v c="$conversion" -v d="$diagnosis" 'BEGIN {
            printf "Diagnosis of 2000 variables: %.2f ms, %.2f %% of a %.1f ms conversion (budget 5 %%): %s\n",
                   d, 100 * d / c, c, (d <= 0.05 * c ? "ok" : "NO") }'
    fi
    if [ -n "$definiteness" ]; then
        awk -v t="$definiteness" 'BEGIN {
            printf "Positive-definiteness test of 500 variables: %.2f ms (budget 50 ms): %s\n",
                   t, (t < 50 ? "ok" : "NO") }'
    fi
fi

# The same file, converted by both in turn; the median of each over many runs. Both write a new
# file each time: replacing the last run's output would charge one of them for freeing it. Each
# removes only its own, so that both outputs are there to measure afterwards.
ratio_p=2000
"$root/build/bench/bench/make_bench_dsf" "$ratio_p" "$work/ratio.dsf"
echo
echo "Whole-process conversion of p = $ratio_p ($(($(stat -c %s "$work/ratio.dsf") / 1000000)) MB in) against the floor"
hyperfine --shell=none --warmup 3 --runs 21 --style basic --export-csv "$work/ratio.csv" \
    --prepare "rm -f $work/cli.txt" --prepare "rm -f $work/floor.txt" \
    -n cli "$cli --list-separator , --decimal-separator . -o $work/cli.txt $work/ratio.dsf" \
    -n floor "$floor $work/ratio.dsf $work/floor.txt"
echo "Output: $(($(stat -c %s "$work/cli.txt") / 1000000)) MB (cli), $(($(stat -c %s "$work/floor.txt") / 1000000)) MB (floor)"
# Wall-clock medians are the measure; the processor time (user + system, means) beside them is
# steadier on a busy machine.
awk -F, '$1 == "cli" { cli = $4; cli_cpu = $5 + $6 } $1 == "floor" { floor = $4; floor_cpu = $5 + $6 }
    END { printf "Ratio to the floor (medians): %.2f (%.1f ms against %.1f ms; target at most 1.3)\n",
          cli / floor, cli * 1000, floor * 1000
          printf "Processor time ratio: %.2f (%.1f ms against %.1f ms)\n",
          cli_cpu / floor_cpu, cli_cpu * 1000, floor_cpu * 1000 }' "$work/ratio.csv"

# JSON and Mplus write every number in the shortest round-trip form: their floor does the same.
echo
echo "JSON and Mplus outputs of p = $ratio_p against the floor with shortest round-trip numbers"
hyperfine --shell=none --warmup 3 --runs 21 --style basic --export-csv "$work/formats.csv" \
    --prepare "rm -f $work/cli.json" --prepare "rm -f $work/cli.inp $work/cli.dat" \
    --prepare "rm -f $work/floor.txt" \
    -n json "$cli --quiet -o $work/cli.json $work/ratio.dsf" \
    -n mplus "$cli --quiet -o $work/cli.inp $work/ratio.dsf" \
    -n floor "$floor --shortest $work/ratio.dsf $work/floor.txt"
echo "Output: $(($(stat -c %s "$work/cli.json") / 1000000)) MB (json), $(($(stat -c %s "$work/cli.dat") / 1000000)) MB (mplus data), $(($(stat -c %s "$work/floor.txt") / 1000000)) MB (floor)"
awk -F, '{ median[$1] = $4; cpu[$1] = $5 + $6 }
    END { for (i = 1; i <= 2; ++i) {
              name = i == 1 ? "json" : "mplus"
              printf "%s ratio to the shortest floor (medians): %.2f (%.1f ms against %.1f ms; target at most 1.3); processor time ratio: %.2f\n",
                     i == 1 ? "JSON" : "Mplus", median[name] / median["floor"], median[name] * 1000,
                     median["floor"] * 1000, cpu[name] / cpu["floor"] } }' "$work/formats.csv"
if [ "$ratio_only" = yes ]; then
    exit 0
fi

# What the program takes before it reads anything (code, C++ runtime), left out of the budget.
/usr/bin/time -f '%M' -o "$work/time" "$cli" --version >/dev/null
read -r baseline_kb <"$work/time"
echo
echo "Peak memory of whole conversions (baseline of the bare program: $((baseline_kb / 1024)) MB, not counted)"
printf '%6s %6s %10s %10s %12s %12s %8s\n' p input seconds peak_MB budget_MB output_MB ok
for p in 500 2000 5000; do
    "$root/build/bench/bench/make_bench_dsf" "$p" "$work/in.dsf"
    # A file, whose size is known, and a pipe, whose buffer grows as its bytes arrive.
    for input in file pipe; do
        if [ "$input" = file ]; then
            /usr/bin/time -f '%e %M' -o "$work/time" "$cli" -o "$work/out.txt" "$work/in.dsf"
        else
            /usr/bin/time -f '%e %M' -o "$work/time" "$cli" -o "$work/out.txt" - < <(cat "$work/in.dsf")
        fi
        read -r seconds peak_kb <"$work/time"
        output_bytes=$(stat -c %s "$work/out.txt")
        moment_bytes=$(( 8 * (p * (p + 1) / 2 + p) + 40 * p ))
        budget_kb=$(( (moment_bytes + output_bytes) * 5 / 2 / 1024 ))
        ok=yes; [ $((peak_kb - baseline_kb)) -le "$budget_kb" ] || ok=NO
        printf '%6d %6s %10s %10d %12d %12d %8s\n' "$p" "$input" "$seconds" $((peak_kb / 1024)) $((budget_kb / 1024)) $((output_bytes / 1000000)) "$ok"
    done
done
