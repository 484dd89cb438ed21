#!/usr/bin/env bash
# Builds Quenlor.exe and runs it under Wine, with a demo folder of projectors to search.
#   tools/run.sh          the program's window, straight on $DISPLAY (or on a virtual X display):
#                         it draws its whole frame itself, with or without a window manager
#   tools/run.sh --cli    the command-line front end on the demo folder instead
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target quenlor-cli demo-folder >/dev/null
demo="$root/build/demo"

if [ "${1:-}" = "--cli" ]; then
    echo "== quenlor-cli scan $demo"
    "$root/build/src/cli/quenlor-cli" scan "$demo"
    out="$(mktemp -d)"
    echo "== quenlor-cli convert -o $out (every projector found)"
    mapfile -t found < <("$root/build/src/cli/quenlor-cli" scan "$demo" 2>/dev/null)
    "$root/build/src/cli/quenlor-cli" convert -o "$out" "${found[@]}" "$demo/handmade.exe" || true
    ls -l "$out"
    exit 0
fi

cmake -S "$root" -B "$root/build-win" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$root/build-win" --target Quenlor >/dev/null
source "$root/tools/wine-env.sh"
echo "Quenlor.exe on display $DISPLAY; the demo folder is $(winepath -w "$demo" 2>/dev/null || echo "$demo")"
cd "$demo"
exec "$QUENLOR_WINE" "$root/build-win/src/ui/Quenlor.exe"
