#!/usr/bin/env bash
# Takes pictures of the program's windows with examples/demo.dsf read into the main window, under
# Wine on a private X display:
#   tools/screenshot.sh [FOLDER]      (default docs)
# Each window named in `shots` (the driver's name for it, then the picture's file name) is
# photographed from a run of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-$root/docs}
shots=(
    main:screenshot.png
    help:screenshot-help.png
    about:screenshot-about.png
)
"$root/tools/install_deps.sh" native windows screenshot
for tool in import convert; do
    command -v "$tool" >/dev/null || { echo "screenshot.sh: needs ImageMagick ($tool)" >&2; exit 1; }
done
cmake --preset windows -S "$root" >/dev/null
cmake --build "$root/build/windows" --target screenshot_driver -j 2 >/dev/null
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)

# Runs on the private display: for each shot, start the driver, wait for its "ready", photograph
# its rectangle, then end the driver so that its windows are gone before the next one.
shoot_all() {
    local wine_run=$1 driver=$2 input=$3 folder=$4 work shot window file pid
    shift 4
    work=$(mktemp -d)
    # The sample file at the same place for every clone: C:\examples in the display's prefix
    # (with_xvfb.sh has made it).
    mkdir -p "$DSF2VEMO_WINEPREFIX/drive_c/examples"
    cp "$input" "$DSF2VEMO_WINEPREFIX/drive_c/examples/"
    input='C:\examples\'$(basename "$input")
    for shot in "$@"; do
        window=${shot%%:*}
        file=$folder/${shot#*:}
        "$wine_run" "$driver" "$window" "$input" >"$work/out" 2>"$work/err" &
        pid=$!
        for _ in $(seq 300); do
            grep -q '^ready' "$work/out" 2>/dev/null && break
            sleep 0.1
        done
        if ! grep -q '^ready' "$work/out"; then
            echo "screenshot.sh: the $window window did not open" >&2
            cat "$work/err" >&2
            exit 1
        fi
        sleep 1  # let the window finish drawing
        read -r x y width height <"$work/out"
        import -window root "$work/screen.png"
        convert "$work/screen.png" -crop "${width}x${height}+${x}+${y}" +repage "$file"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        echo "Saved $file"
    done
    rm -rf "$work"
}
export -f shoot_all
"$root/tools/wine/with_xvfb.sh" bash -c 'shoot_all "$@"' shoot_all "$root/tools/wine/wine_run.sh" \
    "$root/build/windows/tools/screenshot/screenshot_driver.exe" "$root/examples/demo.dsf" \
    "$folder" "${shots[@]}"
