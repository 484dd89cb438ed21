#!/usr/bin/env bash
# The skinned frame's benchmark on the real main window under Wine, in a virtual desktop of its own
# (as the program runs for its users), at 96 and at 144 DPI (a prefix whose LogPixels is 144):
# frame paint median and worst of 200, caption-drag rate.
#   bench/frame.sh [BUILD_DIR]   (a MinGW build folder; default build-win)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-win}"
cmake --build "$build" --target quenlor-bench-frame >/dev/null
source "$root/tests/support/e2e.sh"
for dpi in 96 144; do
    (
        [ "$dpi" = 96 ] || e2e_use_dpi "$dpi"
        out="$WORK/frame-$dpi.txt"
        # explorer does not pass the program's output on: the program writes it to a file.
        "$QUENLOR_WINE" explorer "/desktop=QBench$$-$dpi,1240x1000" cmd /c \
            "$(winepath -w "$build/bench/quenlor-bench-frame.exe" 2>/dev/null)" '>' \
            "$(winepath -w "$out" 2>/dev/null)" >/dev/null 2>&1
        echo "== $dpi DPI"
        cat "$out"
    )
done
