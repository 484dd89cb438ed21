#!/usr/bin/env bash
# The skinned frame at another screen resolution, end to end: the real Quenlor.exe in a Wine prefix
# whose LogPixels is DPI, used with the mouse. Drags the window by its caption, checks the frame's
# pixels against the skin pictures drawn for that resolution (the left end with the emblem and the
# right end 1:1, the close button whole at its full size near the top-right corner, the title
# above the menu row, the menu row's bottom lines untouched by the texts and their frames), opens
# 文件 from the drawn menu bar and checks that its popup opens below it, and saves a screenshot.
#   frame_dpi.sh QUENLOR_EXE PROBE_EXE DPI SCREENSHOT_PNG [SETTING]   (SETTING: desktop)
set -euo pipefail

QUENLOR_EXE="$(readlink -f "$1")"
PROBE_EXE="$(readlink -f "$2")"
DPI="$3"
SCREENSHOT="$4"
RES="$(dirname "$(readlink -f "$0")")/../../src/ui/res"
source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"

suffix=""
[ "$DPI" = 96 ] || suffix="$DPI"
CAPTION_BMP="$RES/PicCaption$suffix.bmp"
[ -f "$CAPTION_BMP" ] || fail "no skin drawn for $DPI DPI"
e2e_use_dpi "$DPI"
e2e_start "${5:-desktop}" "$QUENLOR_EXE" "$PROBE_EXE"
read -r fl ft fr fb <<<"$(frame_of)"
echo "main window at $DPI DPI: $fl,$ft - $fr,$fb ($E2E_FRAME_SIZE)" >&2

# Dragged by its caption (over the title), the window moves by the pointer's offset.
gx=$((fl + $(dpx 200))) gy=$((ft + $(dpx 18)))
xdotool mousemove "$((OX + gx))" "$((OY + gy))"
sleep 0.3
xdotool mousedown 1
for step in 1 2 3 4 5; do
    sleep 0.1
    xdotool mousemove "$((OX + gx + 6 * step))" "$((OY + gy + 4 * step))"
done
sleep 0.3
xdotool mouseup 1
sleep 0.5
read -r nl nt nr nb <<<"$(frame_of)"
[ "$((nl - fl)),$((nt - ft))" = "30,20" ] ||
    fail "dragged by (30, 20), the window moved by ($((nl - fl)), $((nt - ft)))"
fl=$nl ft=$nt fr=$nr fb=$nb

# The frame as it is on the screen, against the picture drawn for this resolution.
check_frame() {  # png what
    convert "$1" -depth 8 "rgb:$WORK/frame.rgb"
    convert "$CAPTION_BMP" -depth 8 "rgb:$WORK/art.rgb"
    python3 - "$WORK" "$((fr - fl))" "$(identify -format %w "$CAPTION_BMP")" "$DPI" "$2" \
        ${POPUP_COLUMNS:-0 0} <<'PY'
import sys
work, width, art_width, dpi, what, skip0, skip1 = sys.argv[1:]
width, art_width, dpi, skip = int(width), int(art_width), int(dpi), range(int(skip0), int(skip1))
def reader(path, w):
    data = open(path, "rb").read()
    return lambda x, y: data[3 * (y * w + x):3 * (y * w + x) + 3]
shown, art = reader(f"{work}/frame.rgb", width), reader(f"{work}/art.rgb", art_width)
px = lambda n: (n * dpi + 48) // 96
C, cw, errors = px(48), px(240) - px(140), []
def expect(x, y, ax, ay, piece):
    if shown(x, y) != art(ax, ay) and len(errors) < 5:
        errors.append(f"{piece}: pixel ({x}, {y}) is not the picture's ({ax}, {ay})")
# The band's left end (emblem included), the right end's lower half and the menu row's bottom
# lines (the texts and their frames lie inside the band), pixel for pixel as drawn.
for y in range(C // 2):
    for x in range(px(90)):
        expect(x, y, x, y, "left end")
for y in range(px(40), C):
    for x in range(cw):
        expect(width - cw + x, y, px(140) + x, y, "right end")
for y in range(C - 2 * px(1), C):
    for x in (x for x in range(px(90), width - cw) if x not in skip):
        expect(x, y, px(90) + 1, y, "menu row's bottom line")
# The close button whole, at its full size, near the top-right corner.
bw, bh = px(19), px(20)
found = [(x, y) for y in range(px(3), px(8)) for x in range(width - px(12) - bw, width - px(3) - bw)
         if all(shown(x + i, y + j) == art(px(240) + 1 + i, j) for j in range(bh) for i in range(bw))]
if len(found) != 1:
    errors.append(f"the close button ({bw} x {bh}) is shown {len(found)} times where expected")
# The title (white) lies wholly in the caption line: none of it where the menu row begins.
white = [y for y in range(C // 2 + px(2)) for x in range(px(90), width - px(100))
         if shown(x, y) == b"\xff\xff\xff"]
if len(white) < 40 or max(white) >= C // 2:
    errors.append(f"{len(white)} title pixels, the lowest in row {max(white, default=-1)}")
print(f"{what}: " + ("; ".join(errors) if errors else "as drawn"))
sys.exit(1 if errors else 0)
PY
}

click_at "$((fl + $(dpx 250)))" "$((ft + $(dpx 18)))"   # the caption: the window is active
sleep 0.5
mkdir -p "$(dirname "$SCREENSHOT")"
screenshot "$SCREENSHOT" "$fl" "$ft" "$fr" "$fb"
echo "screenshot: $SCREENSHOT"
check_frame "$SCREENSHOT" "the frame" || fail "the frame at $DPI DPI is not as drawn"

# 文件 in the drawn menu bar, clicked: its popup opens below it, its texts and frame whole.
click_at "$((fl + $(dpx 100)))" "$((ft + $(dpx 36)))"
popup="$(wait_probe '^popup -?[0-9]' popup)" || { echo "$popup"; fail "文件 opened no menu"; }
read -r _ pl pt pr pb <<<"$popup"
[ "$pl" -ge "$((fl + $(dpx 70)))" ] && [ "$pl" -le "$((fl + $(dpx 130)))" ] &&
    [ "$pt" -ge "$((ft + $(dpx 36)))" ] && [ "$pt" -le "$((ft + $(dpx 50)))" ] ||
    fail "the file menu opened at $pl,$pt, not below 文件"
screenshot "$WORK/menu.png" "$fl" "$ft" "$fr" "$fb"
POPUP_COLUMNS="$((pl - fl)) $((pr - fl))" check_frame "$WORK/menu.png" "with 文件 open" ||
    fail "the frame with the file menu open is not as drawn"
xdotool key Escape
sleep 0.3
xdotool key Escape
wait_probe '^popup none' popup >/dev/null || fail "Escape left the file menu open"
echo "frame_dpi $DPI: PASS"
