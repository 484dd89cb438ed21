#!/usr/bin/env bash
# Builds the fuzzers with clang and runs them for a bounded time, half each: the scan fuzzer from
# its own corpus and the hand-made seeds in fuzz/seeds, the movie facts fuzzer from its own corpus:
# fuzz.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${QUENLOR_FUZZ_BUILD:-$root/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQUENLOR_FUZZ=ON -DQUENLOR_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target quenlor_scan_fuzz quenlor_facts_fuzz >/dev/null
corpus="$build/scan-corpus"
mkdir -p "$corpus"
"$build/fuzz/quenlor_scan_fuzz" -max_total_time="$(((seconds + 1) / 2))" -max_len=256 -print_final_stats=1 \
    "$corpus" "$root/fuzz/seeds" 2>&1 | tail -n 12
facts="$build/facts-corpus"
mkdir -p "$facts"
"$build/fuzz/quenlor_facts_fuzz" -max_total_time="$(((seconds + 1) / 2))" -max_len=4096 \
    -print_final_stats=1 "$facts" 2>&1 | tail -n 12
