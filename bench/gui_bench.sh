#!/usr/bin/env bash
# Times the main window under Wine: Input clicked until the pane shows the echo, for synthetic
# files of p variables (default 100 300 1000), then closing the window. pane_chars is the length
# of the text the pane reports (line ends as CR LF), to compare with the echo's.
#   bench/gui_bench.sh [P...]        headless (Wine's null display driver)
#   DSF2VEMO_BENCH_X11=1 bench/gui_bench.sh [P...]   on a private X display (Xvfb)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install_deps.sh" native windows
cmake --preset windows -S "$root" >/dev/null
cmake --build "$root/build/windows" --target gui_bench -j 2 >/dev/null
[ $# -gt 0 ] || set -- 100 300 1000
bench="$root/build/windows/bench/gui/gui_bench.exe"
if [ -n "${DSF2VEMO_BENCH_X11:-}" ]; then
    "$root/tools/wine/with_xvfb.sh" "$bench" "$@"
else
    "$root/tools/wine/wine_run.sh" "$bench" "$@"
fi
