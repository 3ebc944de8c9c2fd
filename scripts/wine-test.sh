#!/usr/bin/env bash
# Runs the tests of a 64-bit Windows cross build under Wine.
#
#   scripts/wine-test.sh BUILD_DIR [ctest arguments...]
#   scripts/wine-test.sh --exec COMMAND [ARGS...]   (any command, e.g. a demo scan, in a prefix)
#
# Every run gets its own Wine prefix in a temporary folder; its wineserver is stopped and the
# prefix removed at the end, also on failure or interrupt. No display is used and no dialog can
# wait for an answer: Wine's Mono and Gecko installers and its menu builder are switched off.
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
export DISPLAY=
export WAYLAND_DISPLAY=
export TMPDIR="$scratch/tmp"
mkdir -p "$TMPDIR"

cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Build the prefix before the first test, so no test pays for it or races another one for it.
"$WINE64" wineboot --init </dev/null >/dev/null 2>&1 || true

if [ "${1:-}" = "--exec" ]; then
    shift
    "$@" </dev/null
    exit $?
fi

build=${1:?usage: wine-test.sh BUILD_DIR [ctest arguments...]}
shift
# One Windows program runs for the whole session, away from ctest's output pipes. Without it, the
# prefix's own processes (services, the desktop shell "explorer.exe") would end between two tests
# and start again under the next one, holding its output open so that ctest waits for ever.
keeper=$(find "$build" -name velquin-idle.exe -print -quit)
if [ -n "$keeper" ]; then
    "$WINE64" "$keeper" 86400 </dev/null >/dev/null 2>&1 &
fi
ctest --test-dir "$build" --output-on-failure --no-tests=error "$@" </dev/null
