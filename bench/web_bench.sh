#!/usr/bin/env bash
# The page against the native converter, for p = 2000 (16 MB in): the page in headless Chromium,
# opened from disk, from choosing the file to its pane shown and from Convert to the text data
# file downloaded; dsf2vemo-cli converting the same file, with and without printing the echo
# the page shows. Prints the medians, their ratio (target at most 2), the median from dropping a
# file of p = 200 on the page to its pane drawn (target under 100 ms) and the page's size
# compressed with gzip, file by file as a static host serves it (target at most 600 KB).
#   bench/web_bench.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
"$root/tools/install_deps.sh" native bench web
cmake --preset bench -S "$root" >/dev/null
cmake --build "$root/build/bench" -j 2 --target dsf2vemo-cli make_bench_dsf >/dev/null
cmake --preset web -S "$root" >/dev/null
cmake --build --preset web -j 2 >/dev/null
cli="$root/build/bench/cli/dsf2vemo-cli"
page="$root/build/web"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/build/bench/bench/make_bench_dsf" 2000 "$work/p2000.dsf"
"$root/build/bench/bench/make_bench_dsf" 200 "$work/p200.dsf"

echo "The page, p = 2000: choosing the file to its pane shown, Convert to the file downloaded (ms)"
node "$root/bench/web_bench.mjs" "$page" "$work/p2000.dsf" "$runs" | tee "$work/page.txt"

echo
echo "dsf2vemo-cli, p = 2000"
hyperfine --shell=none --warmup 2 --runs "$runs" --style basic --export-csv "$work/cli.csv" \
    --prepare "rm -f $work/cli.txt" \
    -n convert "$cli --list-separator , --decimal-separator . -o $work/cli.txt $work/p2000.dsf" \
    -n "convert and echo" "$cli --echo --list-separator , --decimal-separator . -o $work/cli.txt $work/p2000.dsf"

echo
echo "The page, p = 200: dropping the file on the page to its pane drawn (ms)"
node "$root/bench/web_bench.mjs" "$page" "$work/p200.dsf" "$runs" drop | tee "$work/drop.txt"

median() { sort -n | awk '{ value[NR] = $1 } END { print value[int((NR + 1) / 2)] }'; }
read_ms=$(cut -d' ' -f1 "$work/page.txt" | median)
convert_ms=$(cut -d' ' -f2 "$work/page.txt" | median)
total_ms=$(awk '{ print $1 + $2 }' "$work/page.txt" | median)
drop_ms=$(median <"$work/drop.txt")
echo
awk -F, -v read="$read_ms" -v convert="$convert_ms" -v page="$total_ms" -v drop="$drop_ms" '
    $1 == "convert" { plain = $4 * 1000 } $1 == "convert and echo" { echo = $4 * 1000 }
    END {
        printf "Page (medians): %.0f ms to read and show, %.0f ms to convert and download, %.0f ms in all\n", read, convert, page
        printf "dsf2vemo-cli (medians): %.0f ms to convert, %.0f ms with the echo printed\n", plain, echo
        printf "Ratio to the converter with its echo: %.2f; to the conversion alone: %.2f (target at most 2)\n", page / echo, page / plain
        printf "p = 200, drop to pane: %.0f ms (target under 100)\n", drop
    }' "$work/cli.csv"

size=0
for file in "$page"/*; do
    size=$((size + $(gzip -9 -c "$file" | wc -c)))
done
echo "The page with its WebAssembly: $(du -cb "$page"/* | tail -1 | cut -f1) bytes, $((size / 1024)) KB compressed with gzip (target at most 600 KB)"
