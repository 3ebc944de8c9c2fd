#!/usr/bin/env python3
"""Merges the velquin-scan reports that the fleet playbook fetched into one table per host and
one JSON file.

    merge_reports.py REPORTS_DIR [--json MERGED.json]

REPORTS_DIR holds a folder per host with the scan's outcome, outcome.json ({"host", "exitStatus",
"stderr"}), and the report it wrote, report.json (missing when the scan ended before writing it).
Exit status: 0 when every host was clean, 1 when there were detections and all were handled,
2 when a host reported an error or could not be read: the worst host's status, as velquin-scan's.
"""

import argparse
import json
import os
import sys

COLUMNS = ("target", "detections", "files removed", "processes ended", "unreadable entries",
           "exit status")


def read_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def load_host(folder):
    """The merged record of one host: its outcome, its report (or None) and what went wrong."""
    host = os.path.basename(folder)
    record = {"host": host, "exitStatus": 2, "report": None, "problems": []}
    try:
        outcome = read_json(os.path.join(folder, "outcome.json"))
        record["host"] = outcome.get("host", host)
        record["exitStatus"] = int(outcome["exitStatus"])
        if outcome.get("stderr"):
            record["stderr"] = outcome["stderr"]
    except (OSError, ValueError, KeyError, TypeError) as error:
        record["problems"].append(f"no scan outcome: {error}")
    try:
        record["report"] = read_json(os.path.join(folder, "report.json"))
    except (OSError, ValueError) as error:
        record["problems"].append(f"no report: {error}")
        record["exitStatus"] = max(record["exitStatus"], 2)
    return record


def rows_of(record):
    """One row per scanned target, then the host's total."""
    rows = []
    totals = [0, 0, 0, 0]
    for scan in (record["report"] or {}).get("scans", []):
        detections = scan.get("detections", [])
        counts = [len(detections), sum(1 for d in detections if d.get("removed")),
                  len(scan.get("processesEnded", [])), len(scan.get("unreadable", []))]
        totals = [a + b for a, b in zip(totals, counts)]
        rows.append([scan.get("target", "?")] + [str(c) for c in counts] + [""])
    rows.append(["total"] + [str(c) for c in totals] + [str(record["exitStatus"])])
    return rows, totals


def table(rows):
    widths = [max(len(row[i]) for row in [COLUMNS] + rows) for i in range(len(COLUMNS))]
    def line(cells):
        return "  ".join(cell.ljust(w) if i == 0 else cell.rjust(w)
                         for i, (cell, w) in enumerate(zip(cells, widths))).rstrip()
    return "\n".join([line(COLUMNS), line(["-" * w for w in widths])] + [line(r) for r in rows])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("reports", help="folder with one folder per host")
    parser.add_argument("--json", dest="merged", help="also write the merged reports to this file")
    args = parser.parse_args()

    try:
        folders = sorted(e.path for e in os.scandir(args.reports) if e.is_dir(follow_symlinks=False))
    except OSError as error:
        print(f"merge_reports: cannot read {args.reports}: {error}", file=sys.stderr)
        return 2
    if not folders:
        print(f"merge_reports: {args.reports} holds no host's report", file=sys.stderr)
        return 2

    merged = {"hosts": [], "totals": {"hosts": 0, "detections": 0, "filesRemoved": 0,
                                      "processesEnded": 0, "unreadable": 0}}
    worst = 0
    for folder in folders:
        record = load_host(folder)
        rows, totals = rows_of(record)
        print(f"{record['host']}")
        print(table(rows))
        for problem in record["problems"]:
            print(f"  {problem}")
        print()
        for key, value in zip(("detections", "filesRemoved", "processesEnded", "unreadable"), totals):
            merged["totals"][key] += value
        merged["totals"]["hosts"] += 1
        merged["hosts"].append(record)
        worst = max(worst, record["exitStatus"] if record["exitStatus"] in (0, 1) else 2)
    merged["exitStatus"] = worst
    t = merged["totals"]
    print(f"{t['hosts']} host{'' if t['hosts'] == 1 else 's'}: {t['detections']} detections, {t['filesRemoved']} files removed, "
          f"{t['processesEnded']} processes ended, {t['unreadable']} unreadable entries; "
          f"worst exit status {worst}")

    if args.merged:
        try:
            with open(args.merged, "w", encoding="utf-8") as f:
                json.dump(merged, f, indent=2, ensure_ascii=False)
                f.write("\n")
        except OSError as error:
            print(f"merge_reports: cannot write {args.merged}: {error}", file=sys.stderr)
            return 2
    return worst


if __name__ == "__main__":
    sys.exit(main())
