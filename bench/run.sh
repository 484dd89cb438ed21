#!/usr/bin/env bash
# Benchmarks of the command-line front end against the floor of the same I/O.
#   bench/run.sh [WORK_DIR]
# scan:    quenlor-cli scan over ~2,000 .exe files of 0.3-8 MB (3% projectors, one sparse 4 GiB
#          .exe) vs. reading the same byte ranges of the same files; target: within 1.5x.
# any:     the same scan with --any-version (every file's trailer is read too) vs. the scan
#          without it; target: within 1.3x.
# convert: one projector with a 1 GiB movie vs. `dd ... conv=fsync` of the movie bytes; target:
#          within 1.25x.
# record:  the same conversion with --record (the SHA-256 made while copying, the CSV written) vs.
#          the same synced copy; target: within 1.1x.
# cws:     a projector with a 100 MiB CWS movie, converted with --record (the stream inflated
#          beside the copy) vs. the larger of `dd ... conv=fsync` of the movie bytes and zlib's
#          inflate of its stream alone (bench/InflateFloor.cpp); target: within 1.2x.
# Peak memory (maximum resident set) of both runs; target: under 64 MiB.
# Windows: quenlor-cli.exe scan under Wine vs. a Win32 program doing only the walk and the reads
# (bench/WinReadFloor.cpp), start-up included, in pairs; target: within 1.5x.
# Times are the median of five warm-cache runs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
work="${1:-$root/build-bench/data}"
bash "$root/tools/setup.sh"
build_native quenlor-cli quenlor-bench-tree quenlor-bench-floor quenlor-bench-inflate
cli="$build/src/cli/quenlor-cli"

mkdir -p "$work"
if [ ! -d "$work/tree" ]; then "$build/bench/quenlor-bench-tree" tree "$work/tree" 2000; fi
if [ ! -f "$work/big/big.exe" ]; then "$build/bench/quenlor-bench-tree" big "$work/big/big.exe" 1024; fi

# plain:   --any-version over 100,000 small files without extension, none a projector (the
#          Linux-projector check reads each one's first bytes, a folder's files on the walking
#          thread and its helpers side by side) vs. the scan without the option,
#          which never opens them; target: within 1.5x. Also against the floor of the same walk
#          plus one 64-byte read of each file (quenlor-bench-floor --heads).
plain_scan() {
    if [ ! -d "$work/plain" ]; then "$build/bench/quenlor-bench-tree" plain "$work/plain" 100000; fi
    "$cli" scan --any-version "$work/plain" >/dev/null 2>&1  # warm the cache
    local today=() any=() floor=()
    for _ in $(seq $runs); do
        today+=("$(seconds "$cli" scan "$work/plain")")
        any+=("$(seconds "$cli" scan --any-version "$work/plain")")
        floor+=("$(seconds "$build/bench/quenlor-bench-floor" --heads "$work/plain")")
    done
    local t a f
    t=$(printf '%s\n' "${today[@]}" | median)
    a=$(printf '%s\n' "${any[@]}" | median)
    f=$(printf '%s\n' "${floor[@]}" | median)
    plain_line=$(printf 'plain    %6.3f s  scan  %6.3f s  ratio %.2f (target <= 1.50)  heads floor %6.3f s  ratio %.2f  %s found' \
        "$a" "$t" "$(echo "$a / $t" | bc -l)" "$f" "$(echo "$a / $f" | bc -l)" \
        "$("$cli" scan --any-version "$work/plain" 2>/dev/null | wc -l)")
}

seconds() {  # seconds COMMAND... : wall time of one run, output discarded
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
peak_mib() {  # peak resident memory of one run, in MiB
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 | awk '{ printf "%.1f", $1 / 1024 }'
}

runs=5

# A projector whose CWS movie is 100 MiB: its body half random, half zero, so it inflates to
# about twice that. Times the recorded conversion against its two floors, run by run.
compressed_movie() {
    local exe="$work/cws/cws.exe" out="$work/cws-out"
    if [ ! -f "$exe" ]; then
        mkdir -p "$work/cws"
        python3 - "$exe" <<'PY'
import os, struct, sys, zlib
chunks = [os.urandom(1 << 16) + bytes(1 << 16) for _ in range(1650)]
body = bytes([0x78, 0, 5, 0x5F, 0, 0, 0x0F, 0xA0, 0, 0, 0x18, 0x78, 0]) + b"".join(chunks)
z = zlib.compressobj(1)
stream = z.compress(body) + z.flush()
movie = b"CWS\x0a" + struct.pack("<I", 8 + len(body)) + stream
with open(sys.argv[1], "wb") as f:
    f.write(b"P" * 286700 + movie + b"\x56\x34\x12\xfa" + struct.pack("<I", len(movie)))
PY
        tail -c +286701 "$exe" | head -c -8 >"$work/cws/movie.swf"
    fi
    local cws_times=() copy_times=() inflate_times=()
    for _ in $(seq $runs); do
        rm -rf "$out" && mkdir -p "$out"
        cws_times+=("$(seconds "$cli" convert --any-version --record "$out/record.csv" -o "$out" "$exe")")
        rm -rf "$out" && mkdir -p "$out"
        copy_times+=("$(seconds dd if="$work/cws/movie.swf" of="$out/cws.swf" bs=1M conv=fsync)")
        inflate_times+=("$(seconds "$build/bench/quenlor-bench-inflate" "$work/cws/movie.swf")")
    done
    cws=$(printf '%s\n' "${cws_times[@]}" | median)
    cws_copy=$(printf '%s\n' "${copy_times[@]}" | median)
    cws_inflate=$(printf '%s\n' "${inflate_times[@]}" | median)
    cws_floor=$(echo "if ($cws_copy > $cws_inflate) $cws_copy else $cws_inflate" | bc -l)
    rm -rf "$out" && mkdir -p "$out"
    "$cli" convert --any-version --record "$out/record.csv" -o "$out" "$exe" >/dev/null 2>&1 || true
    cws_whole=$(tail -n 1 "$out/record.csv" | tr -d '\r' | awk -F, '{ print $15 }')
    cws_size=$(stat -c %s "$work/cws/movie.swf")
    rm -rf "$out"
}
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

plain_scan  # files without extension (below)

out="$work/out"
conv_times=()
dd_times=()
rec_times=()
for _ in $(seq $runs); do
    rm -rf "$out" && mkdir -p "$out"
    conv_times+=("$(seconds "$cli" convert -o "$out" "$work/big/big.exe")")
    rm -rf "$out" && mkdir -p "$out"
    rec_times+=("$(seconds "$cli" convert --record "$out/record.csv" -o "$out" "$work/big/big.exe")")
    rm -rf "$out" && mkdir -p "$out"
    dd_times+=("$(seconds dd if="$work/big/big.exe" of="$out/big.swf" bs=1M iflag=skip_bytes \
        skip=286700 conv=fsync)")
done
convert=$(printf '%s\n' "${conv_times[@]}" | median)
ddcopy=$(printf '%s\n' "${dd_times[@]}" | median)
recorded=$(printf '%s\n' "${rec_times[@]}" | median)
rm -rf "$out" && mkdir -p "$out"
"$cli" convert --record "$out/record.csv" -o "$out" "$work/big/big.exe" >/dev/null 2>&1 || true
hashed=$(tail -n 1 "$out/record.csv" | tr -d '\r' | awk -F, '{ print $9 }')
[ "$hashed" = "$(sha256sum <"$out/big.swf" | cut -d' ' -f1)" ] && hash_ok=yes || hash_ok=NO
rm -rf "$out" && mkdir -p "$out"
conv_mem=$(peak_mib "$cli" convert -o "$out" "$work/big/big.exe")
cmp -s <(tail -c +286701 "$work/big/big.exe") "$out/big.swf" && exact=yes || exact=NO
rm -rf "$out"

compressed_movie
printf 'scan     %6.3f s  floor %6.3f s  ratio %.2f (target <= 1.50)  %s projectors  peak %s MiB\n' \
    "$scan" "$floor" "$(echo "$scan / $floor" | bc -l)" "$found" "$scan_mem"
printf 'any      %6.3f s  scan  %6.3f s  ratio %.2f (target <= 1.30)  floor ratio %.2f  %s projectors\n' \
    "$any" "$scan" "$(echo "$any / $scan" | bc -l)" "$(echo "$any / $floor" | bc -l)" "$any_found"
echo "$plain_line"
printf 'convert  %6.3f s  dd    %6.3f s  ratio %.2f (target <= 1.25)  exact: %s  peak %s MiB\n' \
    "$convert" "$ddcopy" "$(echo "$convert / $ddcopy" | bc -l)" "$exact" "$conv_mem"
printf 'record   %6.3f s  dd    %6.3f s  ratio %.2f (target <= 1.10)  hash as sha256sum: %s\n' \
    "$recorded" "$ddcopy" "$(echo "$recorded / $ddcopy" | bc -l)" "$hash_ok"

printf 'cws      %6.3f s  copy  %6.3f s  inflate %6.3f s  ratio %.2f (target <= 1.20)  %s MiB, %s\n' \
    "$cws" "$cws_copy" "$cws_inflate" "$(echo "$cws / $cws_floor" | bc -l)" \
    "$((cws_size >> 20))" "$cws_whole"

# The Windows build under Wine, paired with its floor run by run so that a busy machine weighs on
# both alike. Outputs go to files: a Wine server started by a run keeps an output pipe open.
build_windows quenlor-cli quenlor-bench-winfloor
source "$root/tools/wine-env.sh"
wtree="$(winepath -w "$work/tree" 2>/dev/null)"
wine_seconds() {  # wine_seconds PROGRAM.exe ARGS... : wall time of one run under Wine
    local start end
    start=$(date +%s.%N)
    "$QUENLOR_WINE" "$@" >"$work/wine.out" 2>"$work/wine.err" </dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
wfloor_exe="$wbuild/bench/quenlor-bench-winfloor.exe"
wcli_exe="$wbuild/src/cli/quenlor-cli.exe"
wine_seconds "$wfloor_exe" "$wtree" >/dev/null  # the Wine server and the cache warm up
wine_seconds "$wcli_exe" scan "$wtree" >/dev/null
wfloor_times=()
wscan_times=()
for _ in $(seq $runs); do
    wfloor_times+=("$(wine_seconds "$wfloor_exe" "$wtree")")
    wscan_times+=("$(wine_seconds "$wcli_exe" scan "$wtree")")
done
wfound=$(tr -d '\r' <"$work/wine.out" | wc -l)
wfloor=$(printf '%s\n' "${wfloor_times[@]}" | median)
wscan=$(printf '%s\n' "${wscan_times[@]}" | median)
printf 'scan.exe %6.3f s  floor %6.3f s  ratio %.2f (target <= 1.50)  %s projectors  (Windows build, Wine)\n' \
    "$wscan" "$wfloor" "$(echo "$wscan / $wfloor" | bc -l)" "$wfound"
