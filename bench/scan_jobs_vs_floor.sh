#!/usr/bin/env bash
# velquin-scan --dry-run with its default jobs and with --jobs 1, beside the floor with one and
# with eight threads, on mktree.py's tree: warm page cache, and cold (the cache dropped before
# every run, which needs root: skipped otherwise). Runs are interleaved round by round so that load
# from elsewhere falls on all alike; the table gives medians, each run's ratio to the one-thread
# floor of its round (median over the rounds), and peak memory. Every warm run follows an unmeasured
# run of the eight-thread floor: a system that pages out what has not been touched for a few
# seconds would otherwise make some warm runs partly cold.
#
#   bench/scan_jobs_vs_floor.sh [BUILD_DIR] [WORK_DIR]
#   env: FILES (200000), RUNS (5 warm), COLD_RUNS (3), JOBS ("" : more --jobs values to measure)
set -euo pipefail
source "$(dirname "$0")/shared_perf.sh"
perf=$(shared_perf_dir)
build=${1:-build}
work=${2:-/tmp/velquin-jobs-bench}
files=${FILES:-200000}
scan="$build/bin/velquin-scan"
[ -x "$scan" ] || { echo "missing $scan: build it first (cmake --build $build --target velquin-scan)" >&2; exit 2; }

mkdir -p "$work"
cc -O2 -pthread -o "$work/floor" "$perf/floor.c"
if [ ! -f "$work/database.db" ] || [ "$(cat "$work/files" 2>/dev/null)" != "$files" ]; then
    rm -rf "$work/tree"
    python3 "$perf/mktree.py" "$work" --files "$files"
    echo "$files" > "$work/files"
fi

cold=1
if [ "$(id -u)" != 0 ] || [ ! -w /proc/sys/vm/drop_caches ]; then
    echo "cold runs skipped: dropping the page cache (sync; echo 3 > /proc/sys/vm/drop_caches) needs root"
    cold=0
fi

exec python3 - "$work" "$scan" "$cold" "${RUNS:-5}" "${COLD_RUNS:-3}" "${JOBS:-}" <<'PY'
import os, statistics, subprocess, sys, time
work, scan, cold, runs, cold_runs, extra = sys.argv[1], sys.argv[2], sys.argv[3] == "1", int(sys.argv[4]), int(sys.argv[5]), sys.argv[6].split()
tree, db, floor = f"{work}/tree", f"{work}/database.db", f"{work}/floor"
default = subprocess.run([scan, "--help"], capture_output=True, text=True).stdout
default = default.split("(default: ")[-1].split(";")[0] if "--jobs" in default else "?"
commands = [("floor (1 thread)", [floor, "-d", db, tree]),
            ("floor -j 8", [floor, "-j", "8", "-d", db, tree]),
            (f"velquin-scan -n (default, -j {default})", [scan, "--dry-run", "--quiet", "--database", db, tree]),
            ("velquin-scan -n -j 1", [scan, "--dry-run", "--quiet", "--jobs", "1", "--database", db, tree])]
commands += [(f"velquin-scan -n -j {j}", [scan, "--dry-run", "--quiet", "--jobs", j, "--database", db, tree]) for j in extra]

def drop_caches():
    os.sync()
    with open("/proc/sys/vm/drop_caches", "w") as f:
        f.write("3\n")

def measure(cmd):
    start = time.perf_counter()
    child = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 1):
        sys.exit(f"{cmd[0]} exited with {code}")
    return wall, usage.ru_maxrss / 1024.0, usage.ru_utime + usage.ru_stime

def rounds(count, before):
    seen = {name: [] for name, _ in commands}
    for _ in range(count):
        for name, cmd in commands:
            before()
            seen[name].append(measure(cmd))
    return seen

def load():
    return " ".join(open("/proc/loadavg").read().split()[:3])

entries = sum(len(d) + len(f) for _, d, f in os.walk(tree))
print(f"tree: {entries} entries below {tree}; cores: {os.cpu_count()}; load average before: {load()}")
for name, cmd in commands:
    measure(cmd)  # warms the cache and the programs
warm_up = [floor, "-j", "8", "-d", db, tree]
results = {"warm": rounds(runs, lambda: subprocess.run(warm_up, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))}
load_warm = load()
if cold and cold_runs > 0:
    results["cold"] = rounds(cold_runs, drop_caches)
print(f"load average after warm: {load_warm}" + (f", after cold: {load()}" if "cold" in results else ""))

def row(mode, name):
    runs_ = results[mode][name]
    base = results[mode][commands[0][0]]
    ratios = [r[0] / b[0] for r, b in zip(runs_, base)]
    return statistics.median(r[0] for r in runs_), statistics.median(ratios), max(r[1] for r in runs_), statistics.median(r[2] for r in runs_)

modes = list(results)
header = "| run | " + " | ".join(f"{m} s | {m} ratio | {m} cpu s | {m} peak MiB" for m in modes) + " |"
print(header)
print("|---|" + "---:|" * (4 * len(modes)))
for name, _ in commands:
    cells = []
    for mode in modes:
        wall, ratio, peak, cpu = row(mode, name)
        cells += [f"{wall:.3f}", f"{ratio:.2f}x", f"{cpu:.3f}", f"{peak:.1f}"]
    print(f"| {name} | " + " | ".join(cells) + " |")
print(f"(medians of {runs} warm" + (f" and {cold_runs} cold" if "cold" in results else "") +
      " interleaved rounds; ratio: to the one-thread floor of the same round; peak: largest resident set)")
PY
