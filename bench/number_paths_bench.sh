#!/usr/bin/env bash
# The cost per value of the pane's three decimals and the text data file's 15 digits, natively
# (g++ -O3) and in WebAssembly (em++ -O3, run under Node.js), for this tree and for an earlier
# revision of core/text (main unless named), built and run side by side in one go; this tree's
# build also measures the 128-bit product by 32-bit halves against __int128.
#   bench/number_paths_bench.sh [REVISION]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
revision=${1:-main}
"$root/tools/install_deps.sh" native web

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/earlier" "$work/include"
git -C "$root" archive "$revision" core/text | tar -x -C "$work/earlier"
# {fmt} alone on the WebAssembly build's include path, not the rest of /usr/include.
ln -s /usr/include/fmt "$work/include/fmt"

sources() {
    for file in number_format.cpp exact_decimals.cpp; do
        [ ! -f "$1/$file" ] || echo "$1/$file"
    done
}

build() {  # NAME TEXT_FOLDER EXTRA_FLAGS...
    local name=$1 text=$2
    shift 2
    # shellcheck disable=SC2046
    g++ -std=c++20 -O3 -DNDEBUG -DFMT_HEADER_ONLY "$@" -I"$text" \
        "$root/bench/number_paths_bench.cpp" $(sources "$text") -o "$work/$name"
    # shellcheck disable=SC2046
    NODE_PATH=/usr/share/nodejs em++ -std=c++20 -O3 -DNDEBUG -DFMT_HEADER_ONLY -fwasm-exceptions \
        "$@" -I"$text" -I"$work/include" "$root/bench/number_paths_bench.cpp" $(sources "$text") \
        -sALLOW_MEMORY_GROWTH=1 -sSINGLE_FILE=1 -sENVIRONMENT=node -o "$work/$name.js"
}
build before "$work/earlier/core/text"
build after "$root/core/text" -DDSF2VEMO_BENCH_PRODUCTS

for run in 1 2 3; do
    echo "== run $run"
    echo "-- native, $revision";     "$work/before"
    echo "-- native, this tree";     "$work/after" --products
    echo "-- wasm, $revision";       node "$work/before.js"
    echo "-- wasm, this tree";       node "$work/after.js" --products
done
