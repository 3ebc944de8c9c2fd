#!/usr/bin/env bash
# One scan of the same generated tree (20 000 files by default) by the Linux velquin-scan and by
# the 64-bit Windows velquin-scan.exe under Wine, both --dry-run on a warm page cache; prints
# hyperfine's medians, the time Wine takes to start and end a program that does nothing, and the
# ratios with and without it. A sanity figure for the Windows build, not a target.
#
#   bench/scan_wine_vs_linux.sh [LINUX_BUILD] [WINDOWS_BUILD] [WORK_DIR]
set -euo pipefail
linux=$(cd "${1:-build}" && pwd)
windows=$(cd "${2:-build-windows/x86_64}" && pwd)
work=${3:-/tmp/velquin-wine-bench}
files=${FILES:-20000}
runs=${RUNS:-5}
source "$(dirname "$0")/shared_perf.sh"
perf=$(shared_perf_dir)
here=$(cd "$(dirname "$0")/.." && pwd)

[ -f "$work/database.db" ] || python3 "$perf/mktree.py" "$work" --files "$files" >/dev/null
export VELQUIN_WINE_KEEPER="$windows/bin/velquin-idle.exe"
exec "$here/scripts/wine-test.sh" --exec bash -euo pipefail -c '
linux=$1 windows=$2 work=$3 runs=$4
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)
native=("$linux/bin/velquin-scan" --dry-run --quiet --database "$work/database.db" "$work/tree")
# Windows takes "/" too; hyperfine would read "\\" as an escape.
emulated="$wine $windows/bin/velquin-scan.exe --dry-run --quiet --database Z:$work/database.db Z:$work/tree"
idle="$wine $windows/bin/velquin-idle.exe 0"
# Both once, to warm the cache and to show that they agree (exit status 1: detections).
{ "${native[@]}" || [ $? -le 1 ]; } | sed -n "/File Scanned/,/Virus Detected/p"
{ $emulated || [ $? -le 1 ]; } | tr -d "\r" | sed -n "/File Scanned/,/Virus Detected/p"
hyperfine -N -w 1 -r "$runs" -i --export-json "$work.json" "${native[*]}" "$emulated" "$idle" >/dev/null
python3 - "$work.json" <<PY
import json, sys
native, wine, idle = (r["median"] for r in json.load(open(sys.argv[1]))["results"])
print(f"Linux {native:.3f} s, Wine {wine:.3f} s, Wine start and end alone {idle:.3f} s")
print(f"ratio Wine/Linux {wine / native:.2f}, without the start {(wine - idle) / native:.2f}")
PY
' bench "$linux" "$windows" "$work" "$runs"
