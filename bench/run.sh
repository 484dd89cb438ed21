#!/usr/bin/env bash
# Benchmarks of the command-line front end against the floor of the same I/O.
#   bench/run.sh [WORK_DIR]
# scan:    quenlor-cli scan over ~2,000 .exe files of 0.3-8 MB (3% projectors, one sparse 4 GiB
#          .exe) vs. reading the same byte ranges of the same files; target: within 1.5x.
# any:     the same scan with --any-version (every file's trailer is read too) vs. the scan
#          without it; target: within 1.3x.
# convert: one projector with a 1 GiB movie vs. `dd ... conv=fsync` of the movie bytes; target:
#          within 1.25x.
# Peak memory (maximum resident set) of both runs; target: under 64 MiB.
# Times are the median of five warm-cache runs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:-$root/build-bench/data}"
build="$root/build-bench"
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENLOR_TESTS=OFF >/dev/null
cmake --build "$build" --target quenlor-cli quenlor-bench-tree quenlor-bench-floor >/dev/null
cli="$build/src/cli/quenlor-cli"

mkdir -p "$work"
if [ ! -d "$work/tree" ]; then "$build/bench/quenlor-bench-tree" tree "$work/tree" 2000; fi
if [ ! -f "$work/big/big.exe" ]; then "$build/bench/quenlor-bench-tree" big "$work/big/big.exe" 1024; fi

seconds() {  # seconds COMMAND... : wall time of one run, output discarded
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
median() {  # median of the numbers on standard input
    sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}
peak_mib() {  # peak resident memory of one run, in MiB
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 | awk '{ printf "%.1f", $1 / 1024 }'
}

runs=5
"$build/bench/quenlor-bench-floor" "$work/tree" >/dev/null  # warm the cache
"$cli" scan --any-version "$work/tree" >/dev/null 2>&1
# The two scans alternate, so a change in the machine's load falls on both alike.
scan_times=()
any_times=()
for _ in $(seq $runs); do
    scan_times+=("$(seconds "$cli" scan "$work/tree")")
    any_times+=("$(seconds "$cli" scan --any-version "$work/tree")")
done
scan=$(printf '%s\n' "${scan_times[@]}" | median)
any=$(printf '%s\n' "${any_times[@]}" | median)
floor=$(for _ in $(seq $runs); do seconds "$build/bench/quenlor-bench-floor" "$work/tree"; done | median)
found=$("$cli" scan "$work/tree" 2>/dev/null | wc -l)
any_found=$("$cli" scan --any-version "$work/tree" 2>/dev/null | wc -l)
scan_mem=$(peak_mib "$cli" scan "$work/tree")

out="$work/out"
conv_times=()
dd_times=()
for _ in $(seq $runs); do
    rm -rf "$out" && mkdir -p "$out"
    conv_times+=("$(seconds "$cli" convert -o "$out" "$work/big/big.exe")")
    rm -rf "$out" && mkdir -p "$out"
    dd_times+=("$(seconds dd if="$work/big/big.exe" of="$out/big.swf" bs=1M iflag=skip_bytes \
        skip=286700 conv=fsync)")
done
convert=$(printf '%s\n' "${conv_times[@]}" | median)
ddcopy=$(printf '%s\n' "${dd_times[@]}" | median)
rm -rf "$out" && mkdir -p "$out"
conv_mem=$(peak_mib "$cli" convert -o "$out" "$work/big/big.exe")
cmp -s <(tail -c +286701 "$work/big/big.exe") "$out/big.swf" && exact=yes || exact=NO
rm -rf "$out"

printf 'scan     %6.3f s  floor %6.3f s  ratio %.2f (target <= 1.50)  %s projectors  peak %s MiB\n' \
    "$scan" "$floor" "$(echo "$scan / $floor" | bc -l)" "$found" "$scan_mem"
printf 'any      %6.3f s  scan  %6.3f s  ratio %.2f (target <= 1.30)  floor ratio %.2f  %s projectors\n' \
    "$any" "$scan" "$(echo "$any / $scan" | bc -l)" "$(echo "$any / $floor" | bc -l)" "$any_found"
printf 'convert  %6.3f s  dd    %6.3f s  ratio %.2f (target <= 1.25)  exact: %s  peak %s MiB\n' \
    "$convert" "$ddcopy" "$(echo "$convert / $ddcopy" | bc -l)" "$exact" "$conv_mem"
