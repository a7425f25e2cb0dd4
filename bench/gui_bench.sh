#!/usr/bin/env bash
# Times the main window under Wine for synthetic files of p variables (default 100 300 1000):
# Input clicked until the text is handed to the results pane's rich edit control (the program's
# share, by the clock and as CPU time), the control taking it (the control's share), the rest
# until the pane is shown, and closing the window; beside them, the CPU time of formatting the
# echo's numbers alone. pane_chars is the length of the text the pane reports (line ends as
# CR LF), handed the length of the text it was given.
#   bench/gui_bench.sh [--garbage] [--program-only] [--repeat N] [P...]
#     --garbage        files of random bytes, the worst case for the program's share
#     --program-only   the text kept from the control (a garbage file's would take hours)
#     --repeat N       each file read N times, with the spread of the program's share
#   DSF2VEMO_BENCH_X11=1 bench/gui_bench.sh ...   on a private X display (Xvfb), not headless
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install_deps.sh" native windows
cmake --preset windows -S "$root" >/dev/null
cmake --build "$root/build/windows" --target gui_bench -j 2 >/dev/null
options=()
while [ $# -gt 0 ] && [ "${1#--}" != "$1" ]; do
    options+=("$1")
    [ "$1" != --repeat ] || { shift; options+=("$1"); }
    shift
done
[ $# -gt 0 ] || set -- 100 300 1000
bench="$root/build/windows/bench/gui/gui_bench.exe"
if [ -n "${DSF2VEMO_BENCH_X11:-}" ]; then
    "$root/tools/wine/with_xvfb.sh" "$bench" "${options[@]}" "$@"
else
    "$root/tools/wine/wine_run.sh" "$bench" "${options[@]}" "$@"
fi
