#!/usr/bin/env bash
# The fleet playbook run against this machine with the local connection (no network, no ssh):
# a dry run of a demo tree, then a cleaning run, each fetched and merged into the host's table.
# The Windows play is checked for syntax only.
#   playbook_test.sh BIN_DIR DEPLOY_DIR
set -uo pipefail
bin=$(cd "$1" && pwd)
deploy=$(cd "$2" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velquin-playbook-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

export ANSIBLE_HOME=$scratch/ansible ANSIBLE_LOCAL_TEMP=$scratch/ansible/tmp \
       ANSIBLE_REMOTE_TEMP=$scratch/ansible/remote ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 \
       ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3 ANSIBLE_CONFIG=$scratch/ansible.cfg
touch "$scratch/ansible.cfg"   # no configuration of the machine's or the user's
mkdir "$scratch/host-tmp"
"$bin/velquin-demo" tree "$scratch/demo" >/dev/null || fail "velquin-demo"

play() {  # play NAME EXTRA_VARS...: runs the playbook, output in $scratch/NAME.log
    local name=$1
    shift
    ansible-playbook -i localhost, -c local "$deploy/velquin.yml" \
        -e "velquin_hosts=localhost velquin_become=false velquin_temp_parent=$scratch/host-tmp" \
        -e "velquin_program=$bin/velquin-scan velquin_database=$bin/database.db" \
        -e "{\"velquin_paths\": [\"$scratch/demo\"]}" -e "velquin_reports=$scratch/$name" "$@" \
        >"$scratch/$name.log" 2>&1 || { cat "$scratch/$name.log"; fail "$name: ansible-playbook"; }
}
# The host's table row: "total DETECTIONS REMOVED PROCESSES UNREADABLE STATUS".
total_row() { "$deploy/merge_reports.py" "$scratch/$1" | awk '$1 == "total" {$1 = $1; print}'; }

play dry
grep -q 'Scan (dry run)' "$scratch/dry.log" || fail "the default is not a dry run"
[ "$(total_row dry)" = "total 5 0 0 0 1" ] || { cat "$scratch/dry.log"; fail "dry run table: $(total_row dry)"; }
[ -e "$scratch/demo/Downloads/setup-helper.exe" ] || fail "the dry run removed a file"
grep -q "localhost" "$scratch/dry.log" && grep -q '"total ' "$scratch/dry.log" || fail "the merged table is not shown"
[ -z "$(ls -A "$scratch/host-tmp")" ] || fail "the working folder was left on the host"

play clean -e velquin_clean=true
echo "--- merged table of the cleaning run:"
"$deploy/merge_reports.py" "$scratch/clean" --json "$scratch/merged.json"
status=$?
[ "$status" = 1 ] || fail "merge exit status $status"
[ "$(total_row clean)" = "total 5 5 0 0 1" ] || fail "cleaning table: $(total_row clean)"
[ ! -e "$scratch/demo/Downloads/setup-helper.exe" ] || fail "the cleaning run left a detected file"
python3 - "$scratch/merged.json" <<'PY' || fail "merged JSON"
import json, sys
merged = json.load(open(sys.argv[1]))
assert merged["exitStatus"] == 1, merged["exitStatus"]
assert merged["totals"] == {"hosts": 1, "detections": 5, "filesRemoved": 5, "processesEnded": 0, "unreadable": 0}, merged["totals"]
host = merged["hosts"][0]
assert host["host"] == "localhost" and host["report"]["dryRun"] is False, host
PY

# A host whose scan wrote no report still gets its row, with status 2.
mkdir -p "$scratch/broken/pc-9"
echo '{"host": "pc-9", "exitStatus": 2, "stderr": "no signature list found"}' >"$scratch/broken/pc-9/outcome.json"
cp -r "$scratch/clean/localhost" "$scratch/broken/"
"$deploy/merge_reports.py" "$scratch/broken" >"$scratch/broken.txt"
[ $? = 2 ] || fail "a host without a report does not make the merge fail"
grep -q "no report" "$scratch/broken.txt" || fail "the missing report is not said"

ANSIBLE_COLLECTIONS_PATH=/usr/lib/python3/dist-packages/ansible_collections \
    ansible-playbook -i localhost, --syntax-check "$deploy/velquin-windows.yml" >"$scratch/windows.log" 2>&1 ||
    { cat "$scratch/windows.log"; fail "the Windows play does not parse"; }
echo "ok: dry run and cleaning run through the playbook, merged"
