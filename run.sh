#!/usr/bin/env bash
# Opens the program's window under Wine on your X display, reading a file at once if one is given:
#   ./run.sh
#   ./run.sh --window FILE.dsf
# or converts data system files with the command line converter and shows the result:
#   ./run.sh examples/demo.dsf [more options for dsf2vemo-cli]
# or builds the browser page and prints where it is, to open in any browser:
#   ./run.sh --web
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --web ]; then
    "$root/tools/install_deps.sh" web
    cmake --preset web -S "$root" >/dev/null
    cmake --build "$root/build/web-build" -j 2 >/dev/null
    echo "The page is built: open $root/build/web/index.html in a browser (file://$root/build/web/index.html)"
    exit 0
fi

window=
if [ "${1:-}" = --window ]; then
    window=1
    shift
fi

if [ $# -eq 0 ] || [ -n "$window" ]; then
    if [ -z "${DISPLAY:-}" ]; then
        echo "run.sh: the window needs an X display (DISPLAY is not set);" \
            "give a file to use the command line converter: ./run.sh FILE.dsf" >&2
        exit 2
    fi
    "$root/tools/install_deps.sh" native windows
    cmake --preset windows -S "$root" >/dev/null
    cmake --build "$root/build/windows" --target dsf2vemo -j 2 >/dev/null
    # A prefix with Wine's X11 driver: the build's default one has the null driver.
    export DSF2VEMO_WINEPREFIX=${DSF2VEMO_WINEPREFIX:-$root/build/windows/wineprefix-x11}
    export DSF2VEMO_WINE_GRAPHICS=x11
    # Wine shows the Unix root as drive Z:.
    files=()
    for file in "$@"; do
        files+=("Z:$(realpath -m "$file" | tr / '\\')")
    done
    exec "$root/tools/wine/wine_run.sh" "$root/build/windows/main_window/dsf2vemo.exe" "${files[@]}"
fi

"$root/tools/install_deps.sh" native
cmake --preset linux -S "$root" >/dev/null
cmake --build "$root/build/linux" --target dsf2vemo-cli -j "$(nproc)" >/dev/null

input=$1
shift
cli="$root/build/linux/cli/dsf2vemo-cli"
echo "== What was read"
"$cli" --echo "$@" "$input"
echo
case "$input" in
    *.*) output="${input%.*}.txt" ;;
    *) output="$input.txt" ;;
esac
if [ -f "$output" ] && [[ " $* " != *" -o "* && " $* " != *" --output"* ]]; then
    echo "== Written to $output"
    cat "$output"
fi
