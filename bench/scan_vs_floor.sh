#!/usr/bin/env bash
# Whole-scan cost against the floor: velquin-scan --dry-run and the floor program walk the same
# generated tree (200 000 entries, 100 000-record list) on a warm page cache; hyperfine reports
# both and their ratio. The floor does the least work a scan can do (shared/perf in the workspace).
#
#   bench/scan_vs_floor.sh [BUILD_DIR] [WORK_DIR] [PERF_DIR]
set -euo pipefail
build=${1:-build}
work=${2:-/tmp/velquin-scan-bench}
perf=${3:-$(cd "$(dirname "$0")/../.." && pwd)/shared/perf}
[ -f "$perf/floor.c" ] || perf=/work/shared/perf
runs=${RUNS:-5}

cc -O2 -o "$work.floor" "$perf/floor.c"
if [ ! -f "$work/database.db" ]; then
  python3 "$perf/mktree.py" "$work" --files 200000
fi
scan=("$build/bin/velquin-scan" --dry-run --quiet --database "$work/database.db" "$work/tree")
"$work.floor" "$work/tree" "$work/database.db"            # warm the cache
"${scan[@]}" > /dev/null || [ $? -le 1 ]
hyperfine -N -w 1 -r "$runs" --export-json "$work.json" \
  "$work.floor $work/tree $work/database.db" \
  "$build/bin/velquin-scan --dry-run --quiet --database $work/database.db $work/tree" -i
python3 - "$work.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
floor, scan = r[0]["median"], r[1]["median"]
print(f"median floor {floor:.3f} s, velquin-scan {scan:.3f} s, ratio {scan / floor:.3f}")
PY
