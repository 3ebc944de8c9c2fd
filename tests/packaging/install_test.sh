#!/usr/bin/env bash
# An install under an unusual prefix into a staging folder (what "make install PREFIX=... DESTDIR=..."
# does): everything lands below DESTDIR/PREFIX and the installed scanner finds its installed list.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velquin-install-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix=/opt/velquin-test
DESTDIR=$scratch/stage cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
    { cat "$scratch/install.log"; fail "cmake --install"; }
[ "$(ls "$scratch/stage")" = opt ] || fail "files outside DESTDIR/PREFIX: $(ls "$scratch/stage")"
root=$scratch/stage$prefix
for file in bin/velquin-scan share/velquin/database.db share/man/man1/velquin-scan.1.gz \
            share/bash-completion/completions/velquin-scan share/doc/velquin/copyright; do
    [ -f "$root/$file" ] || fail "$file not installed"
done

"$build/bin/velquin-demo" samples "$scratch/samples" >/dev/null
status=0
"$root/bin/velquin-scan" --dry-run --json - "$scratch/samples" >"$scratch/report.json" 2>&1 || status=$?
[ "$status" = 1 ] || { cat "$scratch/report.json"; fail "scan with the installed list: status $status"; }
grep -q "\"database\": \"$root/share/velquin/database.db\"" "$scratch/report.json" || fail "list used"

# Moved away from its data folder, the scanner names both places it looked in.
mkdir "$scratch/elsewhere"
cp "$root/bin/velquin-scan" "$scratch/elsewhere/"
status=0
"$scratch/elsewhere/velquin-scan" "$scratch/samples" >"$scratch/moved.txt" 2>&1 || status=$?
[ "$status" = 2 ] || fail "scan without a list: status $status"
grep -qF "$scratch/elsewhere/database.db, then $scratch/share/velquin/database.db" "$scratch/moved.txt" ||
    { cat "$scratch/moved.txt"; fail "message does not name both places"; }
echo "ok: installed under DESTDIR$prefix, the scanner uses $prefix/share/velquin/database.db"
