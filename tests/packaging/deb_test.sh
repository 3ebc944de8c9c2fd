#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack, its file list, its dependencies, lintian's
# verdict, and both programs run from the unpacked package, which finds its own list.
#   deb_test.sh BUILD_DIR APP_ID
set -euo pipefail
build=$(cd "$1" && pwd)
app_id=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velquin-deb-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(echo "$scratch"/out/velquin_*_*.deb)
[ -f "$deb" ] || fail "no package in $scratch/out"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' | grep -v '/$' | sort >"$scratch/files"
sort >"$scratch/expected" <<LIST
usr/bin/velquin
usr/bin/velquin-scan
usr/share/applications/$app_id.desktop
usr/share/bash-completion/completions/velquin-scan
usr/share/doc/velquin/changelog.gz
usr/share/doc/velquin/copyright
usr/share/fish/vendor_completions.d/velquin-scan.fish
$(for size in 16 22 24 32 48 64 128 256 512; do echo "usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"; done)
usr/share/icons/hicolor/scalable/apps/$app_id.svg
usr/share/man/man1/velquin-scan.1.gz
usr/share/man/man1/velquin.1.gz
usr/share/metainfo/$app_id.metainfo.xml
usr/share/velquin/database.db
usr/share/zsh/vendor-completions/_velquin-scan
LIST
diff -u "$scratch/expected" "$scratch/files" || fail "file list"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6; do
    [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section"

status=0
lintian --fail-on error "$deb" >"$scratch/lintian.txt" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.txt" || true  # warnings, for the log
[ "$status" = 0 ] || fail "lintian reports errors"

dpkg-deb -x "$deb" "$scratch/root"
"$build/bin/velquin-demo" tree "$scratch/demo" >/dev/null
status=0
"$scratch/root/usr/bin/velquin-scan" --dry-run --quiet --json "$scratch/report.json" "$scratch/demo" \
    >"$scratch/scan.txt" 2>&1 || status=$?
[ "$status" = 1 ] || { cat "$scratch/scan.txt"; fail "dry run from the package: status $status"; }
python3 - "$scratch/report.json" "$scratch/root/usr/share/velquin/database.db" <<'PY' || fail "report"
import json, sys
report = json.load(open(sys.argv[1]))
assert report["database"] == sys.argv[2], report["database"]
assert report["virusDetected"] == 5 and report["fileRemoved"] == 0, report
PY
grep -qx 'Virus Detected : 5' "$scratch/scan.txt" || fail "text report"

"$scratch/root/usr/bin/velquin" --help | grep -q '^Usage: velquin' || fail "velquin --help"
# The window opens (off screen) and stays until it is closed; ending it after a moment is the pass.
status=0
XDG_RUNTIME_DIR=$scratch timeout 3 "$scratch/root/usr/bin/velquin" -platform offscreen \
    >"$scratch/window.txt" 2>&1 || status=$?
[ "$status" = 124 ] || { cat "$scratch/window.txt"; fail "velquin from the package: status $status"; }
echo "ok: $(basename "$deb"), $(wc -l <"$scratch/files") files, scan and window run from the unpacked package"
