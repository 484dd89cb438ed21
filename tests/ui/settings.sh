#!/usr/bin/env bash
# The skinned window where people run it: one setting (plain: Wine straight on the X display, as
# tools/run.sh runs it; wm: under openbox; desktop: a Wine virtual desktop), the real Quenlor.exe,
# X-level input. The checks, each a row of the same table in every setting:
#   frame    the window's frame on the X screen is what the skin bitmaps put there, nothing over it
#   key      the first key reaches the window unclicked (Alt+F, and the popup's first item is
#            selected: Right opens 打开文件's submenu)
#   menu     the menu row's hot zones are where its items are drawn; its top rows open the menu
#   close    the drawn close button fires only when pressed and released on it
#   minimise minimised, the window comes back the way a person does it there, skin whole
#   tab      Tab reaches 打开 and Enter on it opens the folder picker
#   tip      the pointer on the status line, cut (a long missing path given at start), shows it whole
#   settings.sh SETTING QUENLOR_EXE PROBE_EXE [SCREENSHOT_PNG]
set -euo pipefail

SETTING="$1"
QUENLOR_EXE="$(readlink -f "$2")"
PROBE_EXE="$(readlink -f "$3")"
SCREENSHOT="${4:-}"
source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"

passed=()
row() { passed+=("$1"); echo "settings: $SETTING $1 ok" >&2; }
check() { [ "$1" ] || fail "$SETTING: $2"; }

# A path given at start that is not there: the status line names it, longer than the line.
MISSING="$(winpath "$WORK")\\$(printf 'projector-archive-%.0s' 1 2 3 4)\\missing.exe"
e2e_start "$SETTING" "$QUENLOR_EXE" "$PROBE_EXE" "$MISSING"
read -r fl ft fr fb <<<"$(frame_of)"
[ "$((fr - fl))x$((fb - ft))" = "437x416" ] || fail "$SETTING: the window is not 437 x 416"
# Where the keyboard goes before anything is clicked: without a window manager, to the window
# under the pointer (as for every program there); elsewhere the pointer stays off the window.
if [ "$SETTING" = plain ]; then move_to "$((fl + 250))" "$((ft + 300))"; else move_to 700 560; fi
sleep 0.5

# frame
out="$(skin_pixels frame)" || { echo "$out"; fail "$SETTING: the frame is not the skin's"; }
row frame
if [ -n "$SCREENSHOT" ]; then
    mkdir -p "$(dirname "$SCREENSHOT")"
    screenshot "$SCREENSHOT" "$fl" "$ft" "$fr" "$fb"
    echo "screenshot: $SCREENSHOT"
fi

# key: Alt+F at start; the first item (打开文件) is selected, so Right opens its submenu.
key alt+f
wait_probe '^popups 1$' popup >/dev/null || fail "$SETTING: the first key (Alt+F) opened no menu"
key Right
wait_probe '^popups 2$' popup >/dev/null || fail "$SETTING: Right did not open 打开文件's submenu"
key Escape Escape Escape
wait_probe '^popups 0$' popup >/dev/null || fail "$SETTING: Escape left a menu open"
row key

# menu: the items' ink, then clicks on their edges and between them.
mapfile -t items < <(skin_pixels items)
[ "${#items[@]}" = 2 ] || fail "$SETTING: expected 2 menu items drawn, found: ${items[*]}"
read -r _ a1 b1 <<<"${items[0]}"
read -r _ a2 _ <<<"${items[1]}"
opens_at() {  # x y -> the opened popup's left edge relative to the window, or "none"
    click_at "$((fl + $1))" "$((ft + $2))"
    local popup
    popup="$(wait_probe '^popup -?[0-9]' popup)" || { echo none; return 0; }
    read -r _ pl _ _ _ <<<"$popup"
    echo "$((pl - fl))"
    key Escape Escape
    wait_probe '^popups 0$' popup >/dev/null
}
file_at="$(opens_at "$a1" 36)"
[ "$file_at" != none ] && [ "$file_at" -ge $((a1 - 6)) ] && [ "$file_at" -le "$a1" ] ||
    fail "$SETTING: 文件's left edge (x $a1) opened ${file_at}"
[ "$(opens_at "$((b1 + 5))" 36)" = none ] || fail "$SETTING: a click right of 文件 opened a menu"
help_at="$(opens_at "$a2" 36)"
[ "$help_at" != none ] && [ "$help_at" -ge $((a2 - 6)) ] && [ "$help_at" -le "$a2" ] ||
    fail "$SETTING: 帮助's left edge (x $a2) opened ${help_at}, not 帮助"
top_at="$(opens_at "$((a1 + 3))" 27)"
[ "$top_at" = "$file_at" ] || fail "$SETTING: 文件's top row opened ${top_at} (a caption drag?)"
read -r nl nt _ _ <<<"$(frame_of)"
[ "$nl,$nt" = "$fl,$ft" ] || fail "$SETTING: the window moved ($nl,$nt) on a click in the menu row"
row menu

tab_to_open() {
    focus_app
    for _ in $(seq 1 14); do
        key Tab
        grep -qx 'focusid 1007' <<<"$(probe focus)" && break
    done
    grep -qx 'focusid 1007' <<<"$(probe focus)" || fail "$SETTING: Tab never reached 打开"
    key Return
    wait_foreground_not_main >/dev/null || fail "$SETTING: Enter on 打开 opened no folder picker"
    focus_app
    key Escape
    wait_main_active
}
tab_to_open; row tab

status_tip() {
    local cl ct tip
    read -r _ cl ct _ _ <<<"$(grep '^client' <<<"$(probe window)")"
    move_to "$((cl + 200))" "$((ct + 333))"
    tip="$(wait_probe '^text ' tip)" || fail "$SETTING: no tip over the cut status line"
    grep -qF 'missing.exe' <<<"$tip" || fail "$SETTING: the status line's tip is not whole: $tip"
    move_to "$((cl + 200))" "$((ct + 250))"
    wait_probe '^tip none' tip >/dev/null || fail "$SETTING: the tip stayed after the pointer left"
}
status_tip; row tip

# close: pressed on the client area and released on the button, then pressed on the button and
# released off it: the window stays both times.
press_move_release 20 55 422 15
wait_probe '^frame' window >/dev/null || fail "$SETTING: released on the close button, it closed"
press_move_release 422 15 250 15
wait_probe '^frame' window >/dev/null || fail "$SETTING: pressed on it, released off it, it closed"
row close

# minimise, then back the way a person does it in this setting; the skin is whole again.
click_at 402 15
wait_probe '^iconic' focus >/dev/null || fail "$SETTING: the minimise button did not minimise"
case "$SETTING" in
desktop)  # a double click on the minimised window's strip, on its top row
    read -r sl st sr _ <<<"$(frame_of)"
    move_to "$(((sl + sr) / 2))" "$((st + 1))"
    xdotool click --repeat 2 --delay 60 1
    ;;
wm)  # the window manager's task list raises it (what a taskbar asks a window manager for)
    xdotool windowactivate "$(xdotool search --name '^Quenlor' | head -n1)"
    ;;
plain)  # no task list and no Alt+Tab without a window manager: its window menu, Alt+Space → Restore
    move_to "$((fl + 250))" "$((ft + 300))"
    key alt+space
    wait_probe '^popups 1$' popup >/dev/null || fail "$SETTING: Alt+Space opened no window menu"
    key r
    ;;
esac
wait_probe '^normal' focus >/dev/null || fail "$SETTING: the window did not come back"
read -r fl ft fr fb <<<"$(frame_of)"
[ "$((fr - fl))x$((fb - ft))" = "437x416" ] || fail "$SETTING: restored at $((fr - fl))x$((fb - ft))"
sleep 0.5
out="$(skin_pixels frame)" || { echo "$out"; fail "$SETTING: restored, the frame is not the skin's"; }
row minimise

# The close button, pressed and released on it, ends the program.
close_with_button "$fl" "$ft"
echo "settings: $SETTING: ${passed[*]}: PASS"
