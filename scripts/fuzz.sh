#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build: first once over its seed corpus, as regression cases,
# then for SECONDS from those seeds. New inputs go to BUILD_DIR/fuzz-work/<target>/corpus, never
# into the repository; an input that crashes a target is kept as
# BUILD_DIR/fuzz-work/<target>/crash-<hash> (a run stops at its first), to be fixed and then
# added to fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh BUILD_DIR SECONDS
#
# Prints one line per target: executions, and whether it crashed. Exits non-zero when any target failed.
set -uo pipefail

build=$1
seconds=$2
seeds_root=$(cd "$(dirname "$0")/../fuzz/corpus" && pwd)
status=0

for fuzzer in "$build"/fuzz/*_fuzz; do
    [ -x "$fuzzer" ] || { echo "fuzz: no targets in $build/fuzz" >&2; exit 2; }
    name=$(basename "$fuzzer" _fuzz)
    seeds=$seeds_root/$name
    work=$build/fuzz-work/$name
    mkdir -p "$work/corpus"
    log=$work/log
    rm -f "$work"/crash-* "$work"/timeout-* "$work"/leak-* "$work"/oom-*  # those of an earlier run

    if ! "$fuzzer" -runs=0 -artifact_prefix="$work/" "$seeds" >"$log" 2>&1; then
        echo "$name: a seed of fuzz/corpus/$name fails:"
        tail -n 30 "$log"
        status=1
        continue
    fi
    "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$log" 2>&1
    result=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    if [ $result -eq 0 ]; then
        echo "$name: ${executions:-?} executions in $seconds s, no crash"
    else
        echo "$name: crashed after ${executions:-?} executions, see $log"
        grep -E 'ERROR|expected|SUMMARY|Test unit written' "$log" | head -n 10
        status=1
    fi
done
exit $status
