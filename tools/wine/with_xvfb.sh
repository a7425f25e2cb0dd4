#!/usr/bin/env bash
# Runs a command with a private X display, for Windows programs that must really draw (screenshots):
#   with_xvfb.sh PROGRAM.exe [ARGS...]   runs the program under Wine
#   with_xvfb.sh COMMAND [ARGS...]       runs a Linux command that starts Wine programs itself
#                                        through tools/wine/wine_run.sh
# Xvfb picks a free display (-displayfd). The command sees DISPLAY, and DSF2VEMO_WINEPREFIX and
# DSF2VEMO_WINE_GRAPHICS=x11 for wine_run.sh: the prefix build/windows/wineprefix-x11 has the X11
# driver with unmanaged windows (no window manager runs). Runs are serialised on that prefix; at
# the end every Wine process of the prefix is ended, then Xvfb, by its process id. The exit
# status is the command's. XVFB_SCREEN sets the screen (default 1280x800x24).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ $# -eq 0 ]; then
    echo "usage: with_xvfb.sh PROGRAM.exe|COMMAND [ARGS...]" >&2
    exit 2
fi

prefix=${DSF2VEMO_WINEPREFIX_X11:-$here/../../build/windows/wineprefix-x11}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export DSF2VEMO_WINEPREFIX=$prefix
export DSF2VEMO_WINE_GRAPHICS=x11

# One run at a time on this prefix; the descriptor is closed for everything started below.
exec 8>"$prefix.run-lock"
flock 8

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    WINEPREFIX=$prefix wineserver -k </dev/null >/dev/null 2>&1 8>&- || true
    WINEPREFIX=$prefix wineserver -w </dev/null >/dev/null 2>&1 8>&- || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x800x24}" -nolisten tcp \
    3>"$work/display" </dev/null >"$work/xvfb.log" 2>&1 8>&- &
xvfb_pid=$!
# Xvfb writes the display number and a newline once it accepts clients.
for _ in $(seq 100); do
    if grep -q '^[0-9]*$' "$work/display" 2>/dev/null && [ "$(wc -l <"$work/display")" -ge 1 ]; then
        break
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "with_xvfb.sh: Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ "$(wc -l <"$work/display")" -lt 1 ]; then
    echo "with_xvfb.sh: Xvfb reported no display within 10 s" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"

# The prefix made (the first time) and its server started before the command, away from its pipes.
"$here/wine_run.sh" cmd /c exit </dev/null >/dev/null 2>&1 8>&-

status=0
case "$1" in
    *.exe | *.EXE) "$here/wine_run.sh" "$@" 8>&- || status=$? ;;
    *) "$@" 8>&- || status=$? ;;
esac
exit "$status"
