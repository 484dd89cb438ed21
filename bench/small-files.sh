#!/usr/bin/env bash
# Many small files: native `quenlor-cli convert -o OUT` of FILES small projectors (hard links of
# the demo's intro.exe) vs. a reference writing the same movies with the same durability
# (bench/SyncedWrites.cpp: a new file, fsync and rename each, one folder sync at the end).
# Paired runs (the order alternating), medians. Target: within 1.2x.
#   bench/small-files.sh [WORK_DIR] [FILES] [RUNS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
work="${1:-$root/build-bench/small}"
files="${2:-3000}"
runs="${3:-5}"
build_native quenlor-cli quenlor-demo quenlor-bench-synced
cli="$build/src/cli/quenlor-cli"
reference="$build/bench/quenlor-bench-synced"

mkdir -p "$work"
if [ ! -d "$work/in" ] || [ "$(ls "$work/in" | wc -l)" != "$files" ]; then
    rm -rf "$work/in" "$work/demo"
    "$build/tools/demo/quenlor-demo" "$work/demo"
    mkdir -p "$work/in"
    for i in $(seq -w 1 "$files"); do ln "$work/demo/intro.exe" "$work/in/g$i.exe"; done
fi
mapfile -t inputs < <(ls -d "$work"/in/*.exe)
out="$work/out"
seconds() {  # seconds COMMAND... : wall time of one run into a fresh, empty OUT
    rm -rf "$out" && mkdir -p "$out" && sync
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

cli_times=()
ref_times=()
for run in $(seq "$runs"); do
    if [ $((run % 2)) = 1 ]; then
        cli_times+=("$(seconds "$cli" convert -o "$out" "${inputs[@]}")")
        ref_times+=("$(seconds "$reference" "$out" 286700 "${inputs[@]}")")
    else
        ref_times+=("$(seconds "$reference" "$out" 286700 "${inputs[@]}")")
        cli_times+=("$(seconds "$cli" convert -o "$out" "${inputs[@]}")")
    fi
done
rm -rf "$out" && mkdir -p "$out"
"$cli" convert -o "$out" "${inputs[@]}" >/dev/null 2>&1 && status=0 || status=$?
written=$(ls "$out" | grep -c '\.swf$' || true)
cmp -s <(tail -c +286701 "$work/demo/intro.exe") "$out/g$(printf "%0${#files}d" 1).swf" &&
    exact=yes || exact=NO
rm -rf "$out"
cli_median=$(printf '%s\n' "${cli_times[@]}" | median)
ref_median=$(printf '%s\n' "${ref_times[@]}" | median)
printf 'small    %6.3f s  reference %6.3f s  ratio %.2f (target <= 1.20)  %s files, %s movies, exit %s, exact: %s\n' \
    "$cli_median" "$ref_median" "$(echo "$cli_median / $ref_median" | bc -l)" "$files" "$written" \
    "$status" "$exact"
echo "  runs: cli ${cli_times[*]}; reference ${ref_times[*]}"
