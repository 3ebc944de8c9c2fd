#!/usr/bin/env bash
# Runs the tests of a 64-bit Windows cross build under Wine.
#
#   scripts/wine-test.sh BUILD_DIR [ctest arguments...]
#   scripts/wine-test.sh --exec COMMAND [ARGS...]   (any command, e.g. a demo scan, in a prefix)
#
# Tests need the x86_64 build's velquin-idle.exe, which keeps the prefix alive between tests, and
# its velquin-desktop-keeper.exe, which keeps the prefix's desktop up for the programs that draw.
#
# Every run gets its own Wine prefix in a temporary folder; its wineserver is stopped and the
# prefix removed at the end, also on failure or interrupt. The window program and the controls'
# hosts show real windows: they get a virtual X server of their own (Xvfb, on a free display),
# stopped at the end too. No dialog can wait for an answer: Wine's Mono and Gecko installers and
# its menu builder are switched off.
set -euo pipefail

find_tool() {
    local name=$1
    if [ -x "/usr/lib/wine/$name" ]; then echo "/usr/lib/wine/$name"; return; fi
    command -v "$name" || { echo "wine-test: $name not found (install wine64)" >&2; exit 2; }
}
WINE64=${WINE64:-$(find_tool wine64)}
WINESERVER=${WINESERVER:-$(find_tool wineserver)}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velquin-wine.XXXXXX")
export WINEPREFIX="$scratch/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
export WAYLAND_DISPLAY=
export TMPDIR="$scratch/tmp"
mkdir -p "$TMPDIR"

xvfb_pid=
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The virtual X server: it picks a free display and writes its number to the file. With
# VELQUIN_WINE_DISPLAY=1 the caller's display is used instead (to watch the windows).
if [ "${VELQUIN_WINE_DISPLAY:-}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    :
elif command -v Xvfb >/dev/null; then
    export DISPLAY=
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        sleep 0.1
    done
    [ -s "$scratch/display" ] || { echo "wine-test: Xvfb did not start" >&2; exit 2; }
    DISPLAY=":$(head -n1 "$scratch/display")"
else
    echo "wine-test: Xvfb not found (install xvfb); the window tests will fail" >&2
fi

mode=test
if [ "${1:-}" = "--exec" ]; then
    mode=exec
    shift
else
    build=${1:?usage: wine-test.sh BUILD_DIR [ctest arguments...]}
    shift
fi

# One Windows program runs for the whole session, away from ctest's output pipes. Without it, the
# prefix's own processes (services, the desktop shell "explorer.exe") would end between two
# programs and start again under the next one, holding its output open so that ctest waits for
# ever, and the shell would not be running when a test looks for it.
# In --exec mode the program may be named in VELQUIN_WINE_KEEPER.
keeper=${VELQUIN_WINE_KEEPER:-}
if [ "$mode" = test ]; then
    keeper=$(find "$build" -maxdepth 2 -name velquin-idle.exe -print -quit)
fi
if [ -n "$keeper" ]; then
    "$WINE64" "$keeper" 86400 </dev/null >/dev/null 2>&1 &
fi
# Build the prefix (and start its services and shell) before the first program, so no test pays
# for it or races another one for it.
"$WINE64" wineboot --init </dev/null >/dev/null 2>&1 || true
# The same for the prefix's desktop, once the prefix is made: while no program is attached to it,
# the prefix ends it, and every test program that draws would start it again with its services,
# for seconds each.
if [ "$mode" = test ]; then
    desktop_keeper=$(find "$build" -maxdepth 2 -name velquin-desktop-keeper.exe -print -quit)
    if [ -n "$desktop_keeper" ]; then
        "$WINE64" "$desktop_keeper" 86400 </dev/null >/dev/null 2>&1 &
    fi
fi

if [ "$mode" = exec ]; then
    "$@" </dev/null
    exit $?
fi
# Now and then Wine fails to start a program at all ("wine client error: recvmsg: Connection reset
# by peer", or no output and a failure within a few milliseconds): the tests that failed are run
# once more, and say so, so that a test failing again still fails the run. Any other failure of
# ctest (no tests found, say) leaves no list of failed tests and ends the run as it is.
failed_list="$build/Testing/Temporary/LastTestsFailed.log"
rm -f "$failed_list"
status=0
ctest --test-dir "$build" --output-on-failure --no-tests=error "$@" </dev/null || status=$?
if [ "$status" != 0 ] && [ -s "$failed_list" ]; then
    echo "wine-test: running the failed tests once more:" >&2
    cat "$failed_list" >&2
    status=0
    ctest --test-dir "$build" --output-on-failure --rerun-failed </dev/null || status=$?
fi
exit "$status"
