#!/usr/bin/env bash
# End to end: starts the real Quenlor.exe straight on the X display, as tools/run.sh does (the
# other settings: settings.sh), and uses it like a person, with
# the mouse and the keyboard and the real dialogs: searches a generated folder of projectors, adds one
# more file through the open dialog, ticks all, unticks one, converts, checks the files written and
# the cells shown (read from the list by QuenlorProbe.exe), saves a screenshot, opens 文件 from the
# drawn menu bar with the mouse, opens the About window from the menu with the keyboard (帮助 Alt+H,
# 关于 A), saves its screenshot beside the first (NAME-about.png), closes it with 确定, drags the
# window by its skinned caption and closes it with the drawn close button.
#   end_to_end.sh QUENLOR_EXE PROBE_EXE SCREENSHOT_PNG
set -euo pipefail

QUENLOR_EXE="$(readlink -f "$1")"
PROBE_EXE="$(readlink -f "$2")"
SCREENSHOT="$3"
source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"


mkdir -p "$WORK/src/sub" "$WORK/extra"
make_projector "$WORK/src/a.exe" 286700 6 1500
make_projector "$WORK/src/b.exe" 286700 7 40
make_projector "$WORK/src/sub/c.exe" 286700 8 30
make_projector "$WORK/extra/manual.exe" 90100 5 25   # found only when added by hand
head -c 300000 /dev/zero >"$WORK/src/not-a-projector.exe"

e2e_start plain "$QUENLOR_EXE" "$PROBE_EXE"
read -r fl ft fr fb <<<"$(grep '^frame' <<<"$WINDOW" | cut -d' ' -f2-)"
echo "main window: $(head -n1 <<<"$WINDOW"), desktop at $OX,$OY" >&2

# 文件 → 打开文件 → 搜索目录 with the mouse on the drawn menu bar: pick the source folder and search
# it. (The 打开 button runs the same command; the window tests click it.)
menu_search_folder
pick_folder src
cells="$(wait_probe 'sub\\c\.exe' cells)" || { echo "$cells"; fail "the search listed nothing"; }
echo "after the search:"; echo "$cells"
grep -q '^rows 3$' <<<"$cells" || fail "expected 3 rows after the search"

# 添加: type the file's path into the open dialog.
click_control 1011
wait_foreground_not_main >/dev/null || fail "the open dialog did not open"
xdotool type --delay 30 "$(winpath "$WORK/extra/manual.exe")"
xdotool key Return
cells="$(wait_probe 'manual\.exe' cells)" || fail "the added file is not listed"

# 全选, then untick row 2 (b.exe) by clicking its check box, then 转换.
click_control 1012
item="$(probe item 2 | grep '^item')" || fail "no row 2"
read -r _ il it ir ib <<<"$item"
click_at "$((il + 8))" "$(((it + ib) / 2))"
click_control 1013
cells="$(wait_probe 'manual\.swf' cells)" || { echo "$cells"; fail "the conversion did not finish"; }
echo "after the conversion:"; echo "$cells"

expect_row() {  # row expected-line
    local actual
    actual="$(sed -n "$(($1 + 1))p" <<<"$cells")"
    [ "$actual" = "$2" ] || fail "row $1: got [$actual], expected [$2]"
}
W="$(winpath "$WORK")"
expect_row 1 "x	$W\\src\\a.exe	成功	Ver: 6	1,504	$W\\src\\a.swf"
expect_row 2 "-	$W\\src\\b.exe				"
expect_row 3 "x	$W\\src\\sub\\c.exe	成功	Ver: 8	34	$W\\src\\sub\\c.swf"
expect_row 4 "x	$W\\extra\\manual.exe	成功	Ver: 5	29	$W\\extra\\manual.swf"

# The files: each movie is the projector's bytes from the signature on; b.exe was not ticked.
cmp <(tail -c +286701 "$WORK/src/a.exe") "$WORK/src/a.swf" || fail "a.swf differs"
cmp <(tail -c +286701 "$WORK/src/sub/c.exe") "$WORK/src/sub/c.swf" || fail "c.swf differs"
cmp <(tail -c +90101 "$WORK/extra/manual.exe") "$WORK/extra/manual.swf" || fail "manual.swf differs"
[ ! -e "$WORK/src/b.swf" ] || fail "b.swf written although b.exe was not ticked"
[ -e "$WORK/src/a.exe" ] || fail "the source was deleted"

# The window as it looks now, for the README.
WINDOW="$(probe window)"
read -r _ fl ft fr fb <<<"$(grep '^frame' <<<"$WINDOW")"
mkdir -p "$(dirname "$SCREENSHOT")"
click_at "$((fl + 250))" "$((ft + 18))"   # a click on the caption activates the window
sleep 0.5
screenshot "$SCREENSHOT" "$fl" "$ft" "$fr" "$fb"
echo "screenshot: $SCREENSHOT"

# 文件 in the drawn menu bar (the caption band's lower half), clicked: its popup opens below it.
click_at "$((fl + 100))" "$((ft + 36))"
popup="$(wait_probe '^popup -?[0-9]' popup)" || { echo "$popup"; fail "文件 in the drawn bar opened no menu"; }
read -r _ pl pt _ _ <<<"$popup"
[ "$pl" -ge "$((fl + 70))" ] && [ "$pl" -le "$((fl + 130))" ] && [ "$pt" -ge "$((ft + 36))" ] &&
    [ "$pt" -le "$((ft + 60))" ] || fail "the file menu opened at $pl,$pt, not below 文件"
xdotool key Escape
sleep 0.3
xdotool key Escape
wait_probe '^popup none' popup >/dev/null || fail "Escape left the file menu open"

# 帮助 → 关于 from the keyboard: the About window opens over the main window, which then takes no
# input; 确定 closes it and gives the main window back.
focus_app
xdotool key alt+h
sleep 0.5
xdotool key a
about="$(wait_probe '^about -?[0-9]' about)" || { echo "$about"; fail "关于 did not open the About window"; }
grep -q '^main disabled$' <<<"$about" || fail "the main window takes input behind the About window"
read -r _ al at ar ab <<<"$(grep '^about' <<<"$about")"
sleep 0.5
ABOUT_SHOT="${SCREENSHOT%.png}-about.png"
screenshot "$ABOUT_SHOT" "$al" "$at" "$ar" "$ab"
echo "screenshot: $ABOUT_SHOT"
read -r _ kl kt kr kb <<<"$(grep '^ok' <<<"$about")" || fail "no 确定 in the About window"
click_at "$(((kl + kr) / 2))" "$(((kt + kb) / 2))"
about="$(wait_probe '^about none' about)" || { echo "$about"; fail "确定 did not close the About window"; }
grep -q '^main enabled$' <<<"$about" || fail "the main window stays disabled after 确定"
wait_main_active

# A second batch into a chosen save directory, deleting the sources: untick 自动保存, tick
# 删除原文件, pick the directory with 更改, select all anew (the convert button stays disabled after
# a batch until rows are ticked), convert, then remove the ticked rows.
mkdir -p "$WORK/out"
click_control 1003
click_control 1004
click_control 1008
pick_folder out
sleep 1
click_control 1012   # 全不选
click_control 1012   # 全选
click_control 1013
cells="$(wait_probe 'out\\manual\.swf' cells)" || { echo "$cells"; fail "the second batch did not finish"; }
echo "after the second batch:"; echo "$cells"
expect_row 2 "-	$W\\src\\b.exe	成功	Ver: 7	44	$W\\out\\b.swf"  # source deleted: unticked
for name in a b c manual; do
    [ -s "$WORK/out/$name.swf" ] || fail "out/$name.swf missing"
done
cmp <(head -c 1504 "$WORK/src/a.swf") "$WORK/out/a.swf" || fail "out/a.swf differs"
for source in src/a.exe src/b.exe src/sub/c.exe extra/manual.exe; do
    [ ! -e "$WORK/$source" ] || fail "$source was not deleted"
done
[ -e "$WORK/src/not-a-projector.exe" ] || fail "an unlisted file was deleted"
click_control 1012   # 全选 (the rows whose sources went were unticked)
click_control 1009   # 删除
cells="$(wait_probe '^rows 0$' cells)" || { echo "$cells"; fail "删除 left rows"; }

# The skinned caption: dragged by it, the window moves by the pointer's offset.
read -r fl ft fr fb <<<"$(frame_of)"
[ "$((fr - fl))x$((fb - ft))" = "437x416" ] || fail "the window is $((fr - fl))x$((fb - ft)), not 437x416"
xdotool mousemove "$((OX + fl + 200))" "$((OY + ft + 18))"
sleep 0.3
xdotool mousedown 1
for step in 1 2 3 4 5; do
    sleep 0.1
    xdotool mousemove "$((OX + fl + 200 + 12 * step))" "$((OY + ft + 18 + 8 * step))"
done
sleep 0.3
xdotool mouseup 1
sleep 0.5
read -r nl nt _ _ <<<"$(frame_of)"
[ "$((nl - fl)),$((nt - ft))" = "60,40" ] || fail "dragged by (60, 40), the window moved by ($((nl - fl)), $((nt - ft)))"

# The drawn close button ends the program: its window goes, then (with the probe told to quit)
# the desktop.
close_with_button "$nl" "$nt"
echo "end_to_end: PASS"
