#!/usr/bin/env bash
# A demo scan as a Windows user would see it, run under Wine: a generated tree with the harmless
# demo samples, one of them a running program, scanned by velquin-scan.exe of a 64-bit build.
#
#   scripts/wine-demo.sh [BUILD_DIR]     (default build-windows/x86_64)
set -euo pipefail
build=$(cd "${1:-build-windows/x86_64}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export VELQUIN_WINE_KEEPER="$build/bin/velquin-idle.exe"
exec "$here/wine-test.sh" --exec bash -euo pipefail -c '
build=$1
wine=${WINE64:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64)
demo=$(mktemp -d)
trap "rm -rf \"$demo\"" EXIT
win() { echo "Z:${1//\//\\}"; }

"$wine" "$build/bin/velquin-demo.exe" tree "$(win "$demo/tree")" | tr -d "\r"
# A running program under a detected name: a copy of a harmless idle program.
cp "$build/bin/velquin-idle.exe" "$demo/tree/Downloads/qarnix-updater.exe"
key=$("$wine" "$build/bin/velquin-scan.exe" --fingerprint "$(win "$demo/tree/Downloads/qarnix-updater.exe")" | cut -d" " -f1)
{ grep -v "^Finish:Finish" "$build/bin/database.db"; printf "%s:Trojan.Qarnix-UP (06)\r\nFinish:Finish\r\n" "$key"; } \
    > "$demo/database.db"
"$wine" "$(win "$demo/tree/Downloads/qarnix-updater.exe")" 600 </dev/null >/dev/null 2>&1 &
runner=$!
sleep 1
echo "--- before: $(find "$demo/tree" -type f | wc -l) files; running: qarnix-updater.exe (host pid $runner)"
echo "--- wine64 velquin-scan.exe -d database.db --json report.json $(win "$demo/tree")"
status=0
"$wine" "$build/bin/velquin-scan.exe" -d "$(win "$demo/database.db")" --json "$(win "$demo/report.json")" \
    "$(win "$demo/tree")" | tr -d "\r" || status=$?
echo "--- exit status $status; processes ended (report.json):"
python3 -c "import json,sys; [print(\"   \", p) for s in json.load(open(sys.argv[1]))[\"scans\"] for p in s[\"processesEnded\"]]" \
    "$demo/report.json"
if kill -0 "$runner" 2>/dev/null; then echo "--- qarnix-updater.exe still runs"; else echo "--- qarnix-updater.exe has ended"; fi
echo "--- after: $(find "$demo/tree" -type f | wc -l) files"
left=0
for f in Documents/invoice-viewer.exe Downloads/setup-helper.exe Downloads/qarnix-updater.exe \
         "Program Files/Qarnix Helper/bank-update.exe" "Program Files/Qarnix Helper/winsys32.dll" \
         Pictures/Holiday/autorun-helper.scr; do
    if [ -e "$demo/tree/$f" ]; then echo "    still there: $f"; left=$((left + 1)); fi
done
echo "--- detected files left: $left"
' demo "$build"
