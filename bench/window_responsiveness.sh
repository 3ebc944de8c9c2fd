#!/usr/bin/env bash
# The scan console's responsiveness during a scan of a 200 000-entry tree, and the scan's wall time
# beside the command-line scanner's --dry-run on the same tree (warm cache).
# usage: bench/window_responsiveness.sh [BUILD_DIR] [WORK_DIR]
# The window's scan really removes the planted samples; the tree is made anew for every run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/shared_perf.sh"
build=${1:-$here/../build}
work=${2:-/tmp/velquin-window-bench}
mktree=${MKTREE:-$(shared_perf_dir)/mktree.py}
files=${FILES:-200000}
scan="$build/bin/velquin-scan"
window="$build/bin/velquin_window_responsiveness"
for tool in "$scan" "$window"; do
  [ -x "$tool" ] || { echo "missing $tool: build it first (cmake --build $build)" >&2; exit 2; }
done

rm -rf "$work"
python3 "$mktree" "$work" --files "$files"
tree="$work/tree"
db="$work/database.db"
echo "entries: $(find "$tree" | wc -l)"

"$scan" --dry-run --quiet --database "$db" "$tree" >/dev/null || true   # warms the cache
echo "== velquin-scan --dry-run"
if command -v hyperfine >/dev/null; then
  hyperfine -N -w 1 -r 3 -i "$scan --dry-run --quiet --database $db $tree"
else
  /usr/bin/time -f "%e s wall" "$scan" --dry-run --quiet --database "$db" "$tree" >/dev/null || true
fi

echo "== window (offscreen), same tree"
QT_QPA_PLATFORM=offscreen "$window" "$tree" "$db"
