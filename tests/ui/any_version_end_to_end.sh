#!/usr/bin/env bash
# End to end, "识别新版放映器" and paths given at start: starts the real Quenlor.exe with a folder and
# a later player's projector on its command line (the folder is searched, the program added), ticks
# the item from the keyboard (Alt+F, N), converts and compares the written movies byte for byte with
# the movies put into the projectors; saves the 文件 menu with the item ticked as a screenshot
# (SCREENSHOT_PNG); saves the batch's record with 文件 → 导出清单… and the Save As dialog and checks
# its hashes with sha256sum. Then starts the program again with the folder only: the kept choice lists the
# later projector found in the folder, which converts as the first did.
#   any_version_end_to_end.sh QUENLOR_EXE PROBE_EXE SCREENSHOT_PNG [SETTING]
# SETTING: desktop (the default), wm or plain, as tests/support/e2e.sh names them.
set -euo pipefail

QUENLOR_EXE="$(readlink -f "$1")"
PROBE_EXE="$(readlink -f "$2")"
SCREENSHOT="$3"
source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"

reg_any_version() { "$QUENLOR_WINE" reg query 'HKCU\Software\Quenlor' /v AnyVersion 2>/dev/null | tr -d '\r' | grep -o '0x[0-9a-f]*' || true; }
"$QUENLOR_WINE" reg delete 'HKCU\Software\Quenlor' /f >/dev/null 2>&1 || true
e2e_on_exit "\"$QUENLOR_WINE\" reg delete 'HKCU\\Software\\Quenlor' /f >/dev/null 2>&1"

# PATH KIND STUB VERSION: a projector whose movie (written to PATH.movie as well) lies behind a stub
# of STUB bytes and is followed by the trailer every player since Flash 4 writes. KIND FWS: an
# uncompressed movie; CWS: a zlib-compressed one, as later players store it.
make_with_trailer() {
    python3 - "$@" <<'PY'
import struct, sys, zlib
path, kind, stub, version = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
body = bytes((7 * i) % 251 for i in range(3000))
if kind == "FWS":
    movie = b"FWS" + bytes([version]) + struct.pack("<I", 8 + len(body)) + body
else:
    movie = b"CWS" + bytes([version]) + struct.pack("<I", 8 + len(body)) + zlib.compress(body)
with open(path + ".movie", "wb") as f:
    f.write(movie)
with open(path, "wb") as f:
    f.write(b"P" * stub + movie + b"\x56\x34\x12\xfa" + struct.pack("<I", len(movie)))
PY
}
mkdir -p "$WORK/tree/sub" "$WORK/extra" "$WORK/movies"
make_with_trailer "$WORK/tree/flash5.exe" FWS 286700 5
make_with_trailer "$WORK/tree/sub/later.exe" CWS 800000 9
make_with_trailer "$WORK/extra/sent.exe" CWS 900000 8
mv "$WORK"/tree/*.movie "$WORK"/tree/sub/*.movie "$WORK"/extra/*.movie "$WORK/movies/"
W="$(winpath "$WORK")"

# 1. Started with the folder and the later projector: unticked, the search lists only the Flash 5
# projector, the program is added without examination.
e2e_start "${4:-desktop}" "$QUENLOR_EXE" "$PROBE_EXE" "$W\\tree" "$W\\extra\\sent.exe"
cells="$(wait_probe 'sent\.exe' cells)" || { echo "$cells"; fail "the paths given at start were not opened"; }
echo "after start:"; echo "$cells"
grep -q '^rows 2$' <<<"$cells" || fail "expected the Flash 5 projector and the added program"
grep -q 'later\.exe' <<<"$cells" && fail "the later projector was listed with the item unticked"

# 2. Alt+F, N ticks the item; Alt+F again shows it ticked (the screenshot); Escape closes the menu.
# A click on the caption first makes the window the active one, as a person's first look does.
read -r fl ft fr fb <<<"$(frame_of)"
click_at "$((fl + 250))" "$((ft + 18))"
click_at "$((fl + 200))" "$((fb - 25))"   # the status line: the keyboard comes to the window
focus_app
key alt+f
key n
for _ in $(seq 1 20); do [ "$(reg_any_version)" = 0x1 ] && break; sleep 0.25; done
[ "$(reg_any_version)" = 0x1 ] || fail "the choice was not kept (AnyVersion: $(reg_any_version))"
key alt+f
popup="$(wait_probe '^popup -?[0-9]' popup)" || fail "Alt+F opened no menu"
read -r _ pl pt pr pb <<<"$popup"
sleep 0.5
mkdir -p "$(dirname "$SCREENSHOT")"
screenshot "$SCREENSHOT" "$fl" "$ft" "$(( pr > fr ? pr : fr ))" "$(( pb > fb ? pb : fb ))"
echo "screenshot: $SCREENSHOT"
key Escape Escape  # the popup, then menu mode
wait_probe '^popup none' popup >/dev/null || fail "Escape left the menu open"

# 3. 全选, 转换: both movies are written beside their projectors, exactly as stored.
click_control 1012
click_control 1013
cells="$(wait_probe 'sent\.swf' cells)" || { echo "$cells"; fail "the conversion did not finish"; }
echo "after the conversion:"; echo "$cells"
grep -q "sent\\.exe	成功	Ver: 8	" <<<"$cells" || fail "the added later projector did not convert"
grep -q "flash5\\.exe	成功	Ver: 5	" <<<"$cells" || fail "the Flash 5 projector did not convert"
cmp "$WORK/movies/sent.exe.movie" "$WORK/extra/sent.swf" || fail "sent.swf differs from its movie"
cmp <(tail -c +286701 "$WORK/tree/flash5.exe") "$WORK/tree/flash5.swf" || fail "flash5.swf differs"

# 3b. 文件 → 导出清单… with the mouse; the Save As dialog takes a typed name. The record holds both
# rows, and each hash is the one sha256sum gives for the movie written.
key alt+f
popup="$(wait_probe '^popup -?[0-9]' popup)" || fail "Alt+F opened no menu"
read -r _ pl pt pr pb <<<"$popup"
item=$(((pb - pt - 12) / 5))   # five items of one height, a separator of 6 and the borders
click_at "$((pl + 60))" "$((pt + 3 + 3 * item + item / 2))"
wait_foreground_not_main >/dev/null || fail "导出清单… opened no dialog"
sleep 0.5
xdotool type --delay 30 "$W\\record.csv"
key Return
for _ in $(seq 1 20); do [ -s "$WORK/record.csv" ] && break; sleep 0.25; done
[ -s "$WORK/record.csv" ] || fail "no record was saved"
python3 - "$WORK/record.csv" >"$WORK/record.rows" <<'PY' || fail "the record is not the CSV expected"
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")))
assert rows[0][0] == "源文件" and len(rows) == 3, rows
for r in rows[1:]:
    assert r[1] == "成功" and r[4] in ("FWS", "CWS"), r
    print(r[7] + "\t" + r[8])
PY
while IFS=$'\t' read -r output hash; do
    movie="$(winepath -u "$output" 2>/dev/null)"
    [ "$hash" = "$(sha256sum <"$movie" | cut -d' ' -f1)" ] || fail "the record's hash of $output is wrong"
done <"$WORK/record.rows"
echo "record: $(wc -l <"$WORK/record.rows") rows, hashes as sha256sum gives them"

# 4. The next run keeps the choice: started with the folder alone, it lists the later projector.
probe close >/dev/null
for _ in $(seq 1 40); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.25; done
e2e_launch "$QUENLOR_EXE" "$W\\tree"
APP_PID=$!
cells="$(wait_probe 'later\.exe' cells)" || { echo "$cells"; fail "the kept choice did not list the later projector"; }
grep -q '^rows 2$' <<<"$cells" || fail "expected both projectors of the folder"
WINDOW="$(probe window)"
click_control 1012
click_control 1013
cells="$(wait_probe 'later\.swf' cells)" || { echo "$cells"; fail "the second conversion did not finish"; }
echo "second run:"; echo "$cells"
cmp "$WORK/movies/later.exe.movie" "$WORK/tree/sub/later.swf" || fail "later.swf differs from its movie"
# 5. Linux and Mac projectors: started with a folder holding one of each kind, with the choice
# kept, the window lists them all (the .app folder as one row) and converts them byte for byte.
other_systems_step() {
    local d="$WORK/systems"
    mkdir -p "$d/Game.app/Contents/Resources" "$d/Game.app/Contents/MacOS"
    make_with_trailer "$d/win.exe" CWS 800000 9
    make_with_trailer "$d/old.exe" FWS 286700 5
    python3 - "$d" <<'PY'
import os, struct, sys
d = sys.argv[1]
movie = b"FWS\x0a" + struct.pack("<I", 3008) + bytes((5 * i) % 253 for i in range(3000))
open(os.path.join(d, "movie"), "wb").write(movie)
def put(name, program, field, marker):
    with open(os.path.join(d, name), "wb") as f:
        f.write(program + struct.pack("<Q" if field == 8 else "<I", len(movie)) + marker + movie)
put("linux64", open("/bin/true", "rb").read(), 8, b"\x56\x34\x12\xfa\xff\xff\xff\xff")
# An i386 program: the header, one segment and a section table that ends the image.
elf = bytearray(52 + 32 + 100 + 2 * 40)
elf[:7] = b"\x7fELF\x01\x01\x01"
struct.pack_into("<HHIIIIIHHHHHH", elf, 16, 2, 3, 1, 0, 52, 184, 0, 52, 32, 1, 40, 2, 0)
struct.pack_into("<IIIIIIII", elf, 52, 1, 0, 0, 0, 184, 184, 5, 4096)
put("linux32", bytes(elf), 4, b"\x56\x34\x12\xfa")
open(os.path.join(d, "Game.app/Contents/Resources/movie.swf"), "wb").write(movie)
open(os.path.join(d, "Game.app/Contents/MacOS/player"), "wb").write(b"\xcf\xfa\xed\xfe" + bytes(60))
# Enough other files without extension that the folder's files are looked at on several threads.
for i in range(6):
    open(os.path.join(d, "notes%d" % i), "w").write("not a program\n" * (i + 1))
PY
    # Given at start beside the folder, an .app folder and a Linux projector are added as rows.
    mkdir -p "$WORK/loose"
    cp -r "$d/Game.app" "$WORK/loose/Loose.app"
    cp "$d/linux64" "$WORK/loose/penguin"
    probe close >/dev/null
    for _ in $(seq 1 40); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.25; done
    e2e_launch "$QUENLOR_EXE" "$W\\systems" "$W\\loose\\Loose.app" "$W\\loose\\penguin"
    APP_PID=$!
    cells="$(wait_probe 'penguin' cells)" || { echo "$cells"; fail "the folder of every kind was not searched"; }
    grep -q '^rows 7$' <<<"$cells" || { echo "$cells"; fail "expected seven projectors, each .app one row"; }
    WINDOW="$(probe window)"
    click_control 1012
    click_control 1013
    cells="$(wait_probe 'penguin\.swf' cells)" || { echo "$cells"; fail "the conversion of every kind did not finish"; }
    echo "every kind:"; echo "$cells"
    for movie in "$d"/{linux64,linux32,Game}.swf "$WORK"/loose/{Loose,penguin}.swf; do
        cmp "$d/movie" "$movie" || fail "$movie differs from its movie"
    done
    cmp "$d/win.exe.movie" "$d/win.swf" || fail "win.swf differs from its movie"
    cmp <(tail -c +286701 "$d/old.exe") "$d/old.swf" || fail "old.swf differs"
}
other_systems_step

echo "any_version_end_to_end: PASS"
