#!/usr/bin/env bash
# Builds the scan fuzzer with clang and runs it for a bounded time, from its own corpus and the
# hand-made seeds in fuzz/seeds: fuzz.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${QUENLOR_FUZZ_BUILD:-$root/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQUENLOR_FUZZ=ON -DQUENLOR_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target quenlor_scan_fuzz >/dev/null
corpus="$build/scan-corpus"
mkdir -p "$corpus"
"$build/fuzz/quenlor_scan_fuzz" -max_total_time="$seconds" -max_len=256 -print_final_stats=1 \
    "$corpus" "$root/fuzz/seeds" 2>&1 | tail -n 12
