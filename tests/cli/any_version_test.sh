#!/usr/bin/env bash
# quenlor-cli --any-version on a generated demo folder: the later player's projector is listed and
# converted only with the option, and its movie is exactly the bytes its trailer announces.
#   any_version_test.sh CLI DEMO_MAKER
# A Windows build (CLI ending in .exe) runs under Wine, with paths given in Windows form.
set -u
cli="$1"
maker="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/cli_lib.sh"
# The movie a trailer announces: the L bytes in front of the last 8, L read from the trailer.
trailer_movie() {
    python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
assert data[-8:-4] == b"\x56\x34\x12\xfa"
length = struct.unpack("<I", data[-4:])[0]
sys.stdout.buffer.write(data[len(data) - 8 - length:len(data) - 8])
PY
}
# A CWS movie that inflates to the uncompressed length its header declares.
inflates() {
    python3 - "$1" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
declared = struct.unpack("<I", data[4:8])[0]
sys.exit(0 if data[:3] == b"CWS" and len(zlib.decompress(data[8:])) + 8 == declared else 1)
PY
}

if [[ "$maker" == *.exe ]]; then
    "$tools/wine-run" "$maker" "$(native_path "$work")\\demo" || exit 1
else
    "$maker" "$work/demo" || exit 1
fi
demo="$work/demo"
quest="$demo/games/quest.exe"
trailer_movie "$quest" >"$work/quest.expected"

run scan "$(native_path "$demo")"
check "scan without the option skips the later projector" bash -c "! grep -q 'quest\.exe' '$work/out'"
run scan --any-version "$(native_path "$demo")"
check "scan --any-version exits 0" test "$rc" -eq 0
check "scan --any-version lists five projectors" test "$(wc -l <"$work/out")" -eq 5
check "scan --any-version lists the later projector" grep -q 'quest\.exe$' "$work/out"
check "scan --any-version skips the 90100-byte stub" bash -c "! grep -q handmade '$work/out'"
check "scan --any-version reports the count" grep -qx '共找到：5个文件' "$work/err"
run scan "$(native_path "$demo")" --any-version
check "the option may follow the directory" test "$(wc -l <"$work/out")" -eq 5

mkdir -p "$work/out dir"
run convert -o "$(native_path "$work/out dir")" "$(native_path "$quest")"
check "convert without the option fails the later projector" test "$rc" -eq 1
check "no output without the option" test -z "$(ls "$work/out dir")"

run convert --any-version -o "$(native_path "$work/out dir")" "$(native_path "$quest")" \
    "$(native_path "$demo/intro.exe")"
check "convert --any-version exits 0" test "$rc" -eq 0
size=$(stat -c %s "$work/quest.expected")
check "later projector converted, version and size" bash -c "sed -n 1p '$work/out' | awk -F'\t' '\$2==\"成功\" && \$3==\"Ver: 8\" && \$4==$size && \$5 ~ /quest\\.swf\$/' | grep -q ."
check "exactly the movie the trailer announces" cmp -s "$work/quest.expected" "$work/out dir/quest.swf"
check "the movie inflates to its declared length" inflates "$work/out dir/quest.swf"
check "a stub-window projector converts as without the option" \
    cmp -s <(tail -c +286701 "$demo/intro.exe") "$work/out dir/intro.swf"

run convert --any-version --delete-source "$(native_path "$quest")"
check "beside the projector, deleting it" test "$rc" -eq 0
check "written beside the projector" cmp -s "$work/quest.expected" "$demo/games/quest.swf"
check "source deleted after success" test ! -e "$quest"

# A Linux projector (an ELF program with the movie behind its image; both layouts are in the
# core tests) and a Mac one (an .app folder), beside a program and a bundle that hold no movie.
other_systems() {
    local d="$work/other" o="$work/other out"
    mkdir -p "$d/Quest.app/Contents/Resources" "$d/Empty.app/Contents" "$o"
    python3 - "$d" <<'PY'
import os, struct, sys
d = sys.argv[1]
movie = b"FWS\x0a" + struct.pack("<I", 4000) + bytes(range(256)) * 15 + bytes(32)
def put(name, program, field, marker):
    with open(os.path.join(d, name), "wb") as f:
        f.write(program + struct.pack("<Q" if field == 8 else "<I", len(movie)) + marker + movie)
true = open("/bin/true", "rb").read()
put("game", true, 8, b"\x56\x34\x12\xfa\xff\xff\xff\xff")
open(os.path.join(d, "tool"), "wb").write(true)
open(os.path.join(d, "Quest.app/Contents/Resources/movie.swf"), "wb").write(movie)
open(os.path.join(d, "movie.expected"), "wb").write(movie)
PY
    run scan --any-version "$(native_path "$d")"
    check "scan --any-version lists the Linux and Mac projectors" test "$(wc -l <"$work/out")" -eq 2
    check "an .app folder is one row" grep -q 'Quest\.app$' "$work/out"
    run convert --any-version -o "$(native_path "$o")" "$(native_path "$d/game")" \
        "$(native_path "$d/Quest.app")/" "$(native_path "$d/tool")" "$(native_path "$d/Empty.app")"
    check "two converted, two failed" test "$rc" -eq 1 -a "$(grep -c $'\t成功\t' "$work/out")" -eq 2
    check "the ELF projector's movie, exactly" cmp -s "$d/movie.expected" "$o/game.swf"
    check "the bundle's movie, named after it" cmp -s "$d/movie.expected" "$o/Quest.swf"
    check "a program without movie is named so" grep -q 'ELF文件末尾没有影片' "$work/err"
    run convert --any-version --delete-source "$(native_path "$d/Quest.app")" "$(native_path "$d/game")"
    check "deleting the sources exits 0" test "$rc" -eq 0
    check "the .app folder is gone as a whole" test ! -e "$d/Quest.app" -a ! -e "$d/game"
    check "its movie stays beside it" cmp -s "$d/movie.expected" "$d/Quest.swf"
}
other_systems

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
