#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private, quiet prefix:
#   wine_run.sh PROGRAM.exe [ARGS...]
# The prefix is DSF2VEMO_WINEPREFIX, or build/windows/wineprefix in the source tree. It is made
# on first use (no prompts, no Mono or Gecko) with the graphics driver DSF2VEMO_WINE_GRAPHICS:
# null (the default), so windows need no X display, or x11, for tools/wine/with_xvfb.sh, which
# keeps a prefix of its own (a prefix can't switch drivers while its wineserver runs). Wine's own
# fonts are copied into the prefix's Fonts folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=${DSF2VEMO_WINEPREFIX:-$here/../../build/windows/wineprefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries or file types copied into the Linux desktop
# when an installer makes a shortcut or registers a file type.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export WINEARCH=win64
graphics=${DSF2VEMO_WINE_GRAPHICS:-null}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

# Wine's own fonts (package fonts-wine): Wine looks for them beside its data folder and finds
# none, so without this copy caption buttons show letters instead of their glyphs and
# MS Sans Serif falls back to another face. Prefixes made before the copy get it on their next run.
fonts=$prefix/drive_c/windows/Fonts
wine_fonts=/usr/share/wine/fonts
needs_fonts() { [ -d "$wine_fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; }
# Callers often send our output away: a failure says itself what failed, on stderr.
fail() {
    echo "wine_run.sh: $*" >&2
    exit 1
}

if [ ! -f "$prefix/.dsf2vemo-ready" ] || needs_fonts; then
    (
        flock 9
        if [ ! -f "$prefix/.dsf2vemo-ready" ]; then
            # The lock's descriptor must not leak into the long-lived wineserver.
            wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
            "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f </dev/null >/dev/null 2>&1 9>&- ||
                fail "could not set the graphics driver in the new prefix $prefix (wineboot -i made it)"
            if [ "$graphics" = x11 ]; then
                # Unmanaged windows: no waiting for a window manager that isn't there.
                "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&- ||
                    fail "could not switch off managed windows in the new prefix $prefix"
            fi
            wineserver -w 9>&- || fail "waiting for the wineserver of the new prefix $prefix failed"
            [ -f "$prefix/system.reg" ] || fail "wineboot -i made no registry in $prefix"
            touch "$prefix/.dsf2vemo-ready"
        fi
        if needs_fonts; then
            mkdir -p "$fonts"
            cp "$wine_fonts"/* "$fonts/"
        fi
    ) 9>"$prefix.lock"
fi

# A persistent server keeps each run quick. When this call starts it (status 0; 2 means one is
# running), a first program starts Wine's service processes with their output away from the
# caller's pipes: started by the caller's program, they would hold its pipes open until the
# server ends, and a test that reads them would wait that long. The lock makes concurrent callers
# wait for the services rather than start them too.
#
# The desktop too: Wine closes it one second after the last program on it has ended, and the next
# program to make a window starts a new desktop process. That process keeps the stderr of the
# program that started it (a test's pipe, which ctest waits on) for as long as the desktop lasts,
# and a program that starts while the old desktop closes cannot make its window ("File not
# found"). So a holder keeps the desktop open while programs come and go: a cmd, itself a program
# on the desktop, that has the desktop started with no pipes of the caller's (rundll32 makes its
# hidden window before it looks for the library), marks it held, then reads (with find) a line a
# second from a loop that stops once no program has been started through this script for
# $keep_seconds: the end of its input ends the holder, and a holder that ends early ends the loop.
# The first caller waits until the desktop is held; the loop holds the lock on $prefix.desktop.
keep_seconds=30
touch "$prefix.used"
held=$prefix/dsf2vemo-desktop-held
start_desktop="start /wait rundll32.exe dsf2vemo-no-such.dll,Start"
hold_desktop() {
    while [ $(($(date +%s) - $(stat -c %Y "$prefix.used" 2>/dev/null || echo 0))) -lt "$keep_seconds" ]; do
        sleep 1
        echo || return 0
    done
}
(
    flock 9
    status=0
    wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || status=$?
    if [ "$status" -eq 0 ]; then
        "$wine" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
    exec 8>"$prefix.desktop"
    if flock -n 8; then
        rm -f "$held"
        (
            cd "$prefix"
            hold_desktop | "$wine" cmd /c "$start_desktop & type nul > ${held##*/} & find x >nul" 8>&-
        ) </dev/null >/dev/null 2>&1 9>&- &
        for ((tries = 0; tries < 600; tries++)); do
            [ -f "$held" ] && break
            sleep 0.05
        done
        [ -f "$held" ] || echo "wine_run.sh: the desktop of $prefix was not held within 30 s" >&2
    fi
) 9>"$prefix.lock"
exec "$wine" "$@"
