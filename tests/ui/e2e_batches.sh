#!/usr/bin/env bash
# End to end, in a Wine virtual desktop with the mouse and the keyboard: one thing at a time, the
# list's buttons, and batches that report only what they did.
#  1. While a search of a large tree runs, 打开 is disabled and 文件 → 打开文件 → 搜索目录 chosen from
#     the drawn menu starts nothing: no folder dialog, and the search lists the whole tree.
#  3. 全选, then a new search: the button says 全选 again, and 转换 and 删除 are disabled.
#  2. 删除原文件 + 全选 + 转换, then 添加 one more, tick it and 转换: the earlier rows keep 成功 and
#     their cells, only the new row converts, and the status line reads as a batch of one success
#     (compared by pixels with a batch that has one success by construction).
#   e2e_batches.sh QUENLOR_EXE PROBE_EXE
set -euo pipefail

QUENLOR_EXE="$(readlink -f "$1")"
PROBE_EXE="$(readlink -f "$2")"
source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"

# Control identifiers of the main window.
OPEN=1007 REMOVE=1009 STOP_SEARCH=1010 ADD=1011 SELECT_ALL=1012 CONVERT=1013 DELETE_SOURCE=1004

# A tree large enough for a search to take a while.
BIG_FILES=5000
make_big_tree "$WORK/big" "$BIG_FILES"
BIG_PROJECTORS=$(((BIG_FILES + 24) / 25))
mkdir -p "$WORK/demo" "$WORK/extra"
make_projector "$WORK/demo/a.exe" 286700 6 1500
make_projector "$WORK/demo/b.exe" 286700 7 40
make_projector "$WORK/extra/c.exe" 286700 8 30
make_projector "$WORK/extra/d.exe" 286700 9 20

e2e_start desktop "$QUENLOR_EXE" "$PROBE_EXE"
read -r fl ft _ _ <<<"$(frame_of)"

state_of() { grep "^control$1 " <<<"$(probe controls)" | cut -d' ' -f2-; }
expect_state() {  # id "enabled|disabled caption"
    local actual
    actual="$(state_of "$1")"
    [ "$actual" = "$2" ] || fail "control $1: [$actual], expected [$2] ($3)"
}
rest_pointer() { move_to "$((fl + 250))" "$((ft + 12))"; sleep 0.5; }
# 添加: the file's path typed into the open dialog.
add_file() {  # path under $WORK
    click_control "$ADD"
    wait_foreground_not_main >/dev/null || fail "the open dialog did not open"
    xdotool type --delay 30 "$(winpath "$WORK/$1")"
    xdotool key Return
    wait_probe "$(basename "$1")" cells >/dev/null || fail "$1 is not listed"
}
tick_row() {  # row: a click on its check box
    local il it ib
    read -r _ il it _ ib <<<"$(probe item "$1" | grep '^item')"
    click_at "$((il + 8))" "$(((it + ib) / 2))"
}

# 1. A search of the large tree from the menu; the same menu item again while it runs.
started=$SECONDS
menu_search_folder
pick_folder big
wait_probe "^control$STOP_SEARCH enabled" controls >/dev/null || fail "the search did not start"
expect_state "$OPEN" "disabled 打开" "打开 while a search runs"
menu_search_folder
sleep 1.5
title="$(probe dialog | head -n1)"
[ "$title" = "Quenlor转换器" ] || fail "搜索目录 opened \"$title\" while a search ran"
[ "$(state_of "$STOP_SEARCH")" = "enabled 停止搜索" ] ||
    fail "the search ended before 搜索目录 was tried: make the tree larger"
# The menus close with Escape, one level a time, the last leaving 文件 selected on the bar; one
# Escape more leaves menu mode (and is the menu's: it does not stop the search).
escaped=0
for _ in 1 2 3; do
    grep -q '^popup none' <<<"$(probe popup)" && break
    key Escape
    escaped=1
done
[ "$escaped" = 0 ] || key Escape
for _ in $(seq 1 60); do
    [ "$(state_of "$STOP_SEARCH")" = "disabled 停止搜索" ] && break
    sleep 1
done
cells="$(probe cells)"
grep -q "^rows $BIG_PROJECTORS\$" <<<"$cells" ||
    fail "after the search: $(head -n1 <<<"$cells"), expected $BIG_PROJECTORS rows"
expect_state "$OPEN" "enabled 打开" "打开 after the search"
echo "1: 搜索目录 refused during the search ($((SECONDS - started)) s); $BIG_PROJECTORS rows listed" >&2

# 3. 全选, then a new search (with 打开): the buttons follow the ticks.
click_control "$SELECT_ALL"
expect_state "$SELECT_ALL" "enabled 全不选" "after 全选"
click_control "$OPEN"
pick_folder demo
cells="$(wait_probe '^rows 2$' cells)" || fail "the demo search listed $(head -n1 <<<"$cells")"
wait_probe "^control$STOP_SEARCH disabled" controls >/dev/null || fail "the demo search did not end"
expect_state "$SELECT_ALL" "enabled 全选" "after a new search"
expect_state "$CONVERT" "disabled 转换" "after a new search"
expect_state "$REMOVE" "disabled 删除" "after a new search"
echo "3: 全选 / 转换 / 删除 follow the ticks after a new search" >&2

# 2. Convert deleting the sources, then one more file.
W="$(winpath "$WORK")"
click_control "$DELETE_SOURCE"
click_control "$SELECT_ALL"
click_control "$CONVERT"
first="$(wait_probe "^-	.*b\.exe	成功" cells)" || { echo "$first"; fail "the first batch did not finish"; }
[ ! -e "$WORK/demo/a.exe" ] && [ ! -e "$WORK/demo/b.exe" ] || fail "the sources were not deleted"
grep -qxF -- "-	$W\\demo\\a.exe	成功	Ver: 6	1,504	$W\\demo\\a.swf" <<<"$first" ||
    { echo "$first"; fail "row 1 after the first batch"; }
add_file extra/c.exe
tick_row 3
wait_probe "^control$CONVERT enabled" controls >/dev/null || fail "ticking the new row left 转换 disabled"
click_control "$CONVERT"
second="$(wait_probe "c\.exe	成功" cells)" || { echo "$second"; fail "the second batch did not finish"; }
echo "$second" >&2
[ "$(sed -n 2,3p <<<"$second")" = "$(sed -n 2,3p <<<"$first")" ] ||
    fail "the earlier rows changed: [$(sed -n 2,3p <<<"$second")]"
[ "$(stat -c %s "$WORK/extra/c.swf")" = 34 ] || fail "c.swf is not the 34 bytes of c.exe's movie"

# The status line, by pixels: a batch over 3 rows with one success by construction must look the
# same. Remove row 1 (ticked alone), add d.exe, tick it, convert.
client="$(grep '^client' <<<"$(probe window)")"
read -r _ cx cy _ _ <<<"$client"
status_shot() { rest_pointer; screenshot "$1" "$((cx + 4))" "$((cy + 324))" "$((cx + 402))" "$((cy + 344))"; }
status_shot "$WORK/status-second.png"
tick_row 1
click_control "$REMOVE"
wait_probe '^rows 2$' cells >/dev/null || fail "删除 did not remove row 1"
add_file extra/d.exe
tick_row 3
click_control "$CONVERT"
wait_probe "d\.exe	成功" cells >/dev/null || fail "the reference batch did not finish"
status_shot "$WORK/status-reference.png"
differing="$(compare -metric AE "$WORK/status-second.png" "$WORK/status-reference.png" null: 2>&1 || true)"
[ "$differing" = 0 ] || fail "the second batch's status line differs from ' 共有3个文件  成功转换1个文件' in $differing pixels"
echo "2: earlier rows kept, one conversion counted" >&2
# 4. The pointer resting on a converted row's Flash版本 cell shows what the movie is: a tip below
#    the cell, where nothing was with the pointer elsewhere (by pixels).
facts_tip_step() {
    local il it ir ib x y
    read -r _ il it ir ib <<<"$(probe item 3 | grep '^item')"
    x=$((il + $(dpx 250))) y=$(((it + ib) / 2))
    tip_shot() { screenshot "$1" "$((il + $(dpx 200)))" "$((ib + 2))" "$((il + $(dpx 480)))" "$((ib + $(dpx 22)))"; }
    rest_pointer
    tip_shot "$WORK/tip-none.png"
    move_to "$((x - 3))" "$y"
    move_to "$x" "$y"
    sleep 1
    tip_shot "$WORK/tip-version.png"
    differing="$(compare -metric AE "$WORK/tip-none.png" "$WORK/tip-version.png" null: 2>&1 || true)"
    [ "$differing" -gt 200 ] || fail "no tip below row 3's Flash版本 cell ($differing pixels changed)"
    rest_pointer
    echo "4: the Flash版本 cell's tip shows ($differing pixels)" >&2
}
facts_tip_step
echo "e2e_batches: PASS"
