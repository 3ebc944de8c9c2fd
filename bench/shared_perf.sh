# Sourced by the whole-scan benchmarks: finds the shared scan-cost tools (floor.c, mktree.py),
# which lie beside the checkout, in ../shared/perf from the repository's top. VELQUIN_PERF_DIR
# names another place.
shared_perf_dir() {
    local top dir
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    dir=${VELQUIN_PERF_DIR:-$top/../shared/perf}
    if [ ! -f "$dir/floor.c" ] || [ ! -f "$dir/mktree.py" ]; then
        echo "$(basename "$0"): no floor.c and mktree.py in $dir: the shared scan-cost tools are" \
             "expected in ../shared/perf from the repository's top; set VELQUIN_PERF_DIR to their folder" >&2
        exit 2
    fi
    (cd "$dir" && pwd)
}
