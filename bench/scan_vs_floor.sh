#!/usr/bin/env bash
# Whole-scan cost against the floor: velquin-scan --dry-run and the floor program walk the same
# generated tree (200 000 entries, 100 000-record list) on a warm page cache; hyperfine reports
# both and their ratio. The floor does the least work a scan can do (../shared/perf from the
# repository's top; see bench/shared_perf.sh).
#
#   bench/scan_vs_floor.sh [BUILD_DIR] [WORK_DIR] [PERF_DIR]
set -euo pipefail
source "$(dirname "$0")/shared_perf.sh"
build=${1:-build}
work=${2:-/tmp/velquin-scan-bench}
perf=$(VELQUIN_PERF_DIR=${3:-${VELQUIN_PERF_DIR:-}} shared_perf_dir)
runs=${RUNS:-5}

cc -O2 -o "$work.floor" "$perf/floor.c"
if [ ! -f "$work/database.db" ]; then
  python3 "$perf/mktree.py" "$work" --files 200000
fi
scan=("$build/bin/velquin-scan" --dry-run --quiet --database "$work/database.db" "$work/tree")
"$work.floor" "$work/tree" "$work/database.db"            # warm the cache
"${scan[@]}" > /dev/null || [ $? -le 1 ]
hyperfine -N -w 1 -r "$runs" --export-json "$work.json" -i \
  "$work.floor $work/tree $work/database.db" "${scan[*]}"
python3 - "$work.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
floor, scan = r[0]["median"], r[1]["median"]
print(f"hyperfine medians: floor {floor:.3f} s, velquin-scan {scan:.3f} s, ratio {scan / floor:.3f}")
PY
# The same, interleaved run by run, so that load from elsewhere falls on both alike; CPU time too.
python3 - "$runs" "$work.floor" "$work/tree" "$work/database.db" "${scan[@]}" <<'PY'
import os, resource, statistics, subprocess, sys, time
runs, floor, scan = int(sys.argv[1]), sys.argv[2:5], sys.argv[5:]
def measure(cmd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
f, s = [], []
for _ in range(runs):
    f.append(measure(floor)); s.append(measure(scan))
fw, fc = statistics.median(x[0] for x in f), statistics.median(x[1] for x in f)
sw, sc = statistics.median(x[0] for x in s), statistics.median(x[1] for x in s)
print(f"interleaved medians of {runs}: wall floor {fw:.3f} s, velquin-scan {sw:.3f} s, ratio {sw / fw:.3f}; "
      f"cpu floor {fc:.3f} s, velquin-scan {sc:.3f} s, ratio {sc / fc:.3f}")
PY
