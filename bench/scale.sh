#!/usr/bin/env bash
# The window at collection scale under Wine, on trees of 3,000, 10,000 and 30,000 hard links of one
# small projector; paired runs, medians of RUNS (default 3):
#   search   the window's search filling the list (timed inside the program) vs the wall time of
#            `quenlor-cli.exe scan` of the same tree; target at 30,000: within 1.3x
#   bulk     全选, 全不选 and 删除 of every row: the longest time the window does not answer
#            (a second thread sends WM_NULL in a loop); target: 0.3 s each
#   remove   删除 of every row during a conversion: the same; target 0.3 s
#   convert  the window's conversion of 3,000 small projectors vs `quenlor-cli.exe convert` of the
#            same files (wall time); target within 1.3x
#   growth   each figure at 30,000 rows against 3,000; target within 11x
#   memory   the window process's working set with an empty list and a full one
#   bench/scale.sh [WORK_DIR]
# QUENLOR_BENCH_WIN_BUILD names a Windows build to use instead of building build-bench-win.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
work="${1:-$root/build-bench/scale}"
runs="${RUNS:-3}"
build_native quenlor-bench-tree
build_windows quenlor-cli quenlor-bench-search quenlor-bench-scale
mkdir -p "$work"
sizes=(3000 10000 30000)
for n in "${sizes[@]}"; do
    [ -d "$work/t$n" ] || "$build/bench/quenlor-bench-tree" links "$work/t$n" "$n" 100
done
[ -d "$work/c3000" ] || "$build/bench/quenlor-bench-tree" links "$work/c3000" 3000 0
source "$root/tools/wine-env.sh"
search="$wbuild/bench/quenlor-bench-search.exe"
scale="$wbuild/bench/quenlor-bench-scale.exe"
cli="$wbuild/src/cli/quenlor-cli.exe"
win() { winepath -w "$1" 2>/dev/null; }

# Outputs go to files: a Wine server started by a run keeps an output pipe open.
wall() {  # wall OUT COMMAND... : runs it, prints its wall seconds
    local out="$1" start end
    shift
    start=$(date +%s.%N)
    "$@" >"$out" 2>/dev/null </dev/null || true
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
value() { tr -d '\r' <"$1" | awk -v k="$2" '$1 == k { print $2 }'; }
declare -A samples
keep() { samples[$1]+="$2 "; }  # keep NAME VALUE
med() { printf '%s\n' ${samples[$1]} | median; }

"$QUENLOR_WINE" "$cli" scan "$(win "$work/t3000")" >/dev/null 2>&1 </dev/null || true  # warm up
out="$work/out"
for _ in $(seq 1 "$runs"); do
    for n in "${sizes[@]}"; do
        tree="$(win "$work/t$n")"
        wall "$work/run.out" "$QUENLOR_WINE" "$search" "$tree" >/dev/null
        keep "search$n" "$(tr -d '\r' <"$work/run.out" | awk '{ print $1 }')"
        keep "rows$n" "$(tr -d '\r' <"$work/run.out" | awk '{ print $2 }')"
        keep "scan$n" "$(wall "$work/cli.out" "$QUENLOR_WINE" "$cli" scan "$tree")"
        wall "$work/run.out" "$QUENLOR_WINE" "$scale" bulk "$tree" >/dev/null
        for k in select-all-s select-none-s remove-all-s memory-empty-MiB memory-full-MiB; do
            keep "$k$n" "$(value "$work/run.out" "$k")"
        done
        rm -rf "$out" && mkdir -p "$out"
        wall "$work/run.out" "$QUENLOR_WINE" "$scale" convert-remove "$tree" "$(win "$out")" >/dev/null
        keep "remove-during-convert-s$n" "$(value "$work/run.out" remove-during-convert-s)"
    done
    # 3,000 small projectors converted: the window, then the command line (names kept short so
    # that the command line holds them all).
    rm -rf "$out" && mkdir -p "$out"
    wall "$work/run.out" "$QUENLOR_WINE" "$scale" convert "$(win "$work/c3000")" "$(win "$out")" >/dev/null
    keep convert "$(value "$work/run.out" convert-s)"
    rm -rf "$out" && mkdir -p "$out"
    names=()
    for i in $(seq 0 2999); do names+=("$i.exe"); done
    keep cliconvert "$(cd "$work/c3000" && wall "$work/cli.out" "$QUENLOR_WINE" "$cli" convert -o "$(win "$out")" "${names[@]}")"
    keep converted "$(find "$out" -name '*.swf' | wc -l)"
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) print a / b; else print 0 }'; }
for n in "${sizes[@]}"; do
    printf '%6d rows: search %6.3f s  cli scan %6.3f s  ratio %.2f (<= 1.30 at 30000)\n' \
        "$(med "rows$n")" "$(med "search$n")" "$(med "scan$n")" "$(ratio "$(med "search$n")" "$(med "scan$n")")"
    printf '             全选 %.3f s  全不选 %.3f s  删除 %.3f s  删除 while converting %.3f s (<= 0.300)\n' \
        "$(med "select-all-s$n")" "$(med "select-none-s$n")" "$(med "remove-all-s$n")" \
        "$(med "remove-during-convert-s$n")"
    printf '             memory %.1f MiB empty, %.1f MiB full\n' "$(med "memory-empty-MiB$n")" \
        "$(med "memory-full-MiB$n")"
done
printf 'convert 3000: window %.3f s  cli %.3f s  ratio %.2f (<= 1.30)  %s movies\n' "$(med convert)" \
    "$(med cliconvert)" "$(ratio "$(med convert)" "$(med cliconvert)")" "$(med converted)"
for k in search select-all-s select-none-s remove-all-s remove-during-convert-s; do
    printf 'growth %-24s 30000/3000 = %.1fx (<= 11)\n' "$k" "$(ratio "$(med "$k"30000)" "$(med "$k"3000)")"
done
if [ -f "$root/bench/small-files.sh" ]; then bash "$root/bench/small-files.sh"; fi
