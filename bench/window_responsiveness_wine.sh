#!/usr/bin/env bash
# The scan console's responsiveness during a scan of a generated tree (20 000 files by default):
# the Windows window (velquin.exe's shell, under Wine with a virtual X server) beside the Linux
# window (offscreen) on the same tree. Each prints its scan's wall time, the longest gap between
# two turns of its event loop and the longest interval between two ticks of the 20 ms busy-bar
# timer. The scans really remove the planted samples, so the tree is made anew for each.
#
#   bench/window_responsiveness_wine.sh [LINUX_BUILD] [WINDOWS_BUILD] [WORK_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/bench/shared_perf.sh"
linux=$(cd "${1:-$here/build}" && pwd)
windows=$(cd "${2:-$here/build-windows/x86_64}" && pwd)
work=${3:-/tmp/velquin-window-wine-bench}
files=${FILES:-20000}
mktree=${MKTREE:-$(shared_perf_dir)/mktree.py}
for tool in "$linux/bin/velquin_window_responsiveness" "$windows/bin/velquin_window_responsiveness.exe"; do
    [ -f "$tool" ] || { echo "missing $tool: build it first" >&2; exit 2; }
done

fresh_tree() { rm -rf "$work" && python3 "$mktree" "$work" --files "$files" >/dev/null; }

fresh_tree
echo "entries: $(find "$work/tree" | wc -l)"
echo "== Linux window (offscreen)"
QT_QPA_PLATFORM=offscreen "$linux/bin/velquin_window_responsiveness" "$work/tree" "$work/database.db" |
    grep -v '^  '

fresh_tree
echo "== Windows window (Wine, Xvfb)"
wine=$(command -v /usr/lib/wine/wine64 || command -v wine64)
"$here/scripts/wine-test.sh" --exec bash -c '
"$1" wineboot --init >/dev/null 2>&1 || true
"$1" "$2" "Z:$3/tree" "Z:$3/database.db" | tr -d "\r"
' bench "$wine" "$windows/bin/velquin_window_responsiveness.exe" "$work"
rm -rf "$work"
