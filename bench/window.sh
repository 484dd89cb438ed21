#!/usr/bin/env bash
# The main window's folder search under Wine, on the ~2,000-file tree of bench/run.sh, each run
# timed from the search's start to the final count, in paired runs (median of five pairs):
#   any:  "识别新版放映器" ticked vs. unticked; target: within 1.3x.
#   cli:  the window (unticked) vs. `quenlor-cli.exe scan` of the same tree; target: within 1.5x.
#         The window's figure is timed inside the program; the command line's is the process's wall
#         time, Wine's start included. The window program's wall time (its start, the window's
#         creation and the search) is shown beside it.
#   bench/window.sh [WORK_DIR]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
work="${1:-$root/build-bench/data}"
build_native quenlor-bench-tree
build_windows quenlor-cli quenlor-bench-search
mkdir -p "$work"
if [ ! -d "$work/tree" ]; then "$build/bench/quenlor-bench-tree" tree "$work/tree" 2000; fi
source "$root/tools/wine-env.sh"
wtree="$(winepath -w "$work/tree" 2>/dev/null)"
search="$wbuild/bench/quenlor-bench-search.exe"
cli="$wbuild/src/cli/quenlor-cli.exe"

# Outputs go to files: a Wine server started by a run keeps an output pipe open.
window() {  # window [--any-version] : "SECONDS ROWS WALL" of one run
    local start end
    start=$(date +%s.%N)
    "$QUENLOR_WINE" "$search" "$@" "$wtree" >"$work/window.out" 2>/dev/null </dev/null
    end=$(date +%s.%N)
    echo "$(tr -d '\r' <"$work/window.out") $(echo "$end - $start" | bc -l)"
}
cli_seconds() {
    local start end
    start=$(date +%s.%N)
    "$QUENLOR_WINE" "$cli" scan "$wtree" >"$work/cli.out" 2>/dev/null </dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

window >/dev/null  # the Wine server and the cache warm up
cli_seconds >/dev/null
plain=() ticked=() walls=() clis=()
for _ in 1 2 3 4 5; do
    read -r s rows wall <<<"$(window)"
    plain+=("$s") walls+=("$wall")
    read -r s any_rows _ <<<"$(window --any-version)"
    ticked+=("$s")
    clis+=("$(cli_seconds)")
done
p=$(printf '%s\n' "${plain[@]}" | median)
t=$(printf '%s\n' "${ticked[@]}" | median)
w=$(printf '%s\n' "${walls[@]}" | median)
c=$(printf '%s\n' "${clis[@]}" | median)
found=$(tr -d '\r' <"$work/cli.out" | wc -l)
printf 'window any  %6.3f s  unticked %6.3f s  ratio %.2f (target <= 1.30)  %s / %s rows\n' \
    "$t" "$p" "$(echo "$t / $p" | bc -l)" "$any_rows" "$rows"
printf 'window cli  %6.3f s  cli scan %6.3f s  ratio %.2f (target <= 1.50)  %s / %s projectors  (window program wall %.3f s)\n' \
    "$p" "$c" "$(echo "$p / $c" | bc -l)" "$rows" "$found" "$w"
