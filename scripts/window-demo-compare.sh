#!/usr/bin/env bash
# The same demo scan in the Linux window and in the Windows window (under Wine): both pictures,
# both logs, and the difference of the logs once paths are written alike and the dates dropped.
#
#   scripts/window-demo-compare.sh [BUILD] [WINDOWS_BUILD] [OUT_DIR]
#
# The Windows build's paths are the same tree seen through Wine's drive Z:. Each window really
# scans, so each gets a fresh demo tree at the same place.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
windows=$(cd "${2:-$here/../build-windows/x86_64}" && pwd)
out=${3:-/tmp/velquin-window-demo}
mkdir -p "$out"
out=$(cd "$out" && pwd)
tree=$out/tree

rm -rf "$tree" && "$build/bin/velquin-demo" tree "$tree" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/velquin_form1_screenshot" "$out/linux.png" "$tree" \
    "$build/bin/database.db" "$out/linux.log" 2>/dev/null

rm -rf "$tree" && "$build/bin/velquin-demo" tree "$tree" >/dev/null
winpath() { echo "Z:${1//\//\\}"; }
cat >"$out/run-windows.sh" <<SCRIPT
"\$WINE64" wineboot --init >/dev/null 2>&1 || true
"\$WINE64" "$windows/bin/velquin_form1_screenshot.exe" "$out/windows.png" '$(winpath "$tree")' \
    '$(winpath "$windows/bin/database.db")' "$out/windows.log"
SCRIPT
WINE64=$(command -v /usr/lib/wine/wine64 || command -v wine64) "$here/wine-test.sh" --exec bash "$out/run-windows.sh"
rm -rf "$tree"

# Paths written alike (Z:\dir\file as /dir/file), line ends and the report's date left out.
normalise() {
    tr -d '\r' <"$1" | sed -e 's|Z:\\|/|g' -e 's|\\|/|g' -e 's|^Latest Scanned : .*|Latest Scanned : (date)|'
}
normalise "$out/linux.log" >"$out/linux.txt"
normalise "$out/windows.log" >"$out/windows.txt"
echo "pictures: $out/linux.png $out/windows.png"
if diff -u --label linux --label windows "$out/linux.txt" "$out/windows.txt"; then
    echo "the two logs are the same line for line"
fi
