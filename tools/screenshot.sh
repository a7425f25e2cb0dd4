#!/usr/bin/env bash
# Takes a picture of the main window with examples/demo.dsf read into it, under Wine on a private
# X display:
#   tools/screenshot.sh [OUTPUT.png]      (default docs/screenshot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-$root/docs/screenshot.png}
"$root/tools/install_deps.sh" native windows screenshot
for tool in import convert; do
    command -v "$tool" >/dev/null || { echo "screenshot.sh: needs ImageMagick ($tool)" >&2; exit 1; }
done
cmake --preset windows -S "$root" >/dev/null
cmake --build "$root/build/windows" --target screenshot_driver -j 2 >/dev/null
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

# Runs on the private display: start the driver, wait for its "ready", photograph its rectangle.
shoot() {
    local wine_run=$1 driver=$2 input=$3 output=$4 work
    work=$(mktemp -d)
    "$wine_run" "$driver" "$input" >"$work/out" 2>"$work/err" &
    for _ in $(seq 300); do
        grep -q '^ready' "$work/out" 2>/dev/null && break
        sleep 0.1
    done
    if ! grep -q '^ready' "$work/out"; then
        echo "screenshot.sh: the window did not open" >&2
        cat "$work/err" >&2
        exit 1
    fi
    sleep 1  # let the window finish drawing
    read -r x y width height <"$work/out"
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "${width}x${height}+${x}+${y}" +repage "$output"
    rm -rf "$work"
}
export -f shoot
# Wine shows the Unix root as drive Z:.
input="Z:$(printf '%s' "$root/examples/demo.dsf" | tr / '\\')"
"$root/tools/wine/with_xvfb.sh" bash -c 'shoot "$@"' shoot "$root/tools/wine/wine_run.sh" \
    "$root/build/windows/tools/screenshot/screenshot_driver.exe" "$input" "$output"
echo "Saved $output"
