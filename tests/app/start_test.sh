#!/usr/bin/env bash
# velquin started as a user would: help without a window, and a clear end where no display is.
#   start_test.sh BIN_DIR
set -uo pipefail
velquin=$1/velquin
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# expect NAME STATUS PATTERN COMMAND...: the status, and PATTERN (grep -E) in stdout+stderr
expect() {
    local name=$1 status=$2 pattern=$3
    shift 3
    "$@" >"$scratch/out" 2>&1 </dev/null
    local got=$?
    if [ "$got" != "$status" ] || ! grep -Eq -- "$pattern" "$scratch/out"; then
        echo "FAIL $name: status $got (expected $status), output:"; sed 's/^/    /' "$scratch/out"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
expect help 0 '^Usage: velquin \[-d FILE\]' "${headless[@]}" "$velquin" --help
expect version 0 '^velquin [0-9]+\.[0-9]+' "${headless[@]}" "$velquin" --version
expect no-display 2 'cannot open the window: no display is set' "${headless[@]}" "$velquin"
expect unreachable-display 2 'cannot open the window: no display could be reached' \
    "${headless[@]}" DISPLAY=:4711 XDG_RUNTIME_DIR="$scratch" "$velquin"
expect unknown-argument 2 'unknown argument --bogus' \
    "${headless[@]}" XDG_RUNTIME_DIR="$scratch" "$velquin" -platform offscreen --bogus
expect database-without-file 2 '\-d needs a FILE' "${headless[@]}" "$velquin" -d
[ "$failures" = 0 ]
