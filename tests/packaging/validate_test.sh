#!/usr/bin/env bash
# The desktop entry, the AppStream metainfo and the man pages, as their own validators see them.
#   validate_test.sh PACKAGING_BUILD_DIR APP_ID [desktop|none]
# "none": a build without the window, which has only the man pages.
set -uo pipefail
dir=$1
app_id=$2
window_files=${3:-desktop}
failures=0
check() {  # check NAME COMMAND...: passes when the command succeeds and prints nothing
    local name=$1 output status
    shift
    output=$("$@" 2>&1)
    status=$?
    if [ "$status" != 0 ] || [ -n "$output" ]; then
        echo "FAIL $name (status $status):"; echo "$output" | sed 's/^/    /'
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}
# appstreamcli prints a line of success; a warning or an error also makes it fail.
appstream() {
    local output
    output=$(appstreamcli validate --no-net "$1" 2>&1) || { echo "$output"; return 1; }
    echo "$output" | grep -v 'Validation was successful' || true
}
if [ "$window_files" = desktop ]; then
    check desktop-entry desktop-file-validate "$dir/$app_id.desktop"
    check metainfo appstream "$dir/$app_id.metainfo.xml"
fi
for page in "$dir"/man/*.1; do
    check "man $(basename "$page")" sh -c "LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l '$page' >/dev/null"
done
[ "$failures" = 0 ]
