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
echo "entries: $(find "$tree" | wc -l); cores: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# The window removes what it detects: the samples are put back before every round.
mkdir -p "$work/samples"
"$scan" --dry-run --quiet --database "$db" "$tree" | sed -n 's/ <== .* Detected\.\.\.$//p' > "$work/samples.txt" || true
n=0
while IFS= read -r sample; do cp -p "$sample" "$work/samples/$n"; n=$((n + 1)); done < "$work/samples.txt"
restore() {
  local i=0
  while IFS= read -r sample; do cp -p "$work/samples/$i" "$sample"; i=$((i + 1)); done < "$work/samples.txt"
}

# Interleaved rounds: the command line's dry run, then the window's scan of the same tree.
rounds=${RUNS:-3}
for round in $(seq "$rounds"); do
  start=$(date +%s.%N)
  "$scan" --dry-run --quiet --database "$db" "$tree" >/dev/null || true
  end=$(date +%s.%N)
  echo "round $round: velquin-scan --dry-run wall time: $(echo "$end - $start" | bc) s"
  restore
  QT_QPA_PLATFORM=offscreen "$window" "$tree" "$db" | sed "s/^/round $round: /"
done | tee "$work/rounds.txt"
python3 - "$work/rounds.txt" <<'PY'
import re, statistics, sys
cli, win, gaps, ticks = {}, {}, [], []
for line in open(sys.argv[1]):
    m = re.match(r"round (\d+): (.*)", line)
    if not m: continue
    r, text = int(m[1]), m[2]
    if (x := re.match(r"velquin-scan --dry-run wall time: ([\d.]+)", text)): cli[r] = float(x[1])
    if (x := re.match(r"window scan wall time: ([\d.]+)", text)): win[r] = float(x[1])
    if (x := re.search(r"longest gap between two turns: ([\d.]+)", text)): gaps.append(float(x[1]))
    if (x := re.search(r"longest interval between two ticks: ([\d.]+)", text)): ticks.append(float(x[1]))
ratios = [win[r] / cli[r] for r in cli if r in win]
print(f"medians of {len(ratios)} rounds: velquin-scan {statistics.median(cli.values()):.3f} s, window "
      f"{statistics.median(win.values()):.3f} s, window / command line {statistics.median(ratios):.2f}x "
      f"(each round: {', '.join(f'{x:.2f}' for x in ratios)}); longest gap between event-loop turns "
      f"{max(gaps):.1f} ms, longest busy-bar interval {max(ticks):.1f} ms")
PY
