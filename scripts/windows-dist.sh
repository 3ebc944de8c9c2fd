#!/usr/bin/env bash
# Packs each Windows build into OUT/velquin-scan-VERSION-windows-ARCH.zip: the scan console
# velquin.exe, the command-line scanner velquin-scan.exe, database.db and a short text on how to
# use them.
#
#   scripts/windows-dist.sh OUT BUILD_DIR...
set -euo pipefail

out=${1:?usage: windows-dist.sh OUT BUILD_DIR...}
shift
[ $# -gt 0 ] || { echo "windows-dist: no build folder given" >&2; exit 2; }
source_dir=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)

cache_value() { sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt" | head -n1; }

for build in "$@"; do
    compiler=$(cache_value "$build" VELQUIN_MINGW_CXX)   # e.g. /usr/bin/x86_64-w64-mingw32-g++-posix
    triple=$(basename "${compiler%-g++*}")
    arch=${triple%%-*}
    version=$(cache_value "$build" CMAKE_PROJECT_VERSION)
    for program in velquin.exe velquin-scan.exe; do
        [ -n "$arch" ] && [ -f "$build/bin/$program" ] || {
            echo "windows-dist: $build holds no Windows build of $program" >&2
            exit 2
        }
    done
    stage=$(mktemp -d)
    trap 'rm -rf "$stage"' EXIT
    strip=${compiler%-g++*}-strip
    for program in velquin.exe velquin-scan.exe; do
        if [ -x "$strip" ]; then
            "$strip" -o "$stage/$program" "$build/bin/$program"
        else
            cp "$build/bin/$program" "$stage/"
        fi
    done
    cp "$build/bin/database.db" "$stage/"
    # Windows line ends, so the text reads well in Notepad.
    sed 's/$/\r/' "$source_dir/packaging/windows/README.txt" > "$stage/README.txt"
    zip_file="$out/velquin-scan-$version-windows-$arch.zip"
    rm -f "$zip_file"
    (cd "$stage" && zip -q -X "$zip_file" velquin.exe velquin-scan.exe database.db README.txt)
    rm -rf "$stage"
    trap - EXIT
    echo "$zip_file"
done
