#!/usr/bin/env bash
# The skinned window where people run it: one setting (plain: Wine straight on the X display, as
# tools/run.sh runs it; wm: under openbox; desktop: a Wine virtual desktop), the real Quenlor.exe,
# X-level input. The checks, each a row of the same table in every setting:
#   frame    the window's frame on the X screen is what the skin bitmaps put there, nothing over it
#   key      the first key reaches the window unclicked, the pointer parked on the terminal (Alt+F,
#            and the popup's first item is selected: Right opens 打开文件's submenu)
#   escape   Esc closes one menu level (popup, then its bar item); in a search the Escs are the menu's
#   menu     the menu row's hot zones are where its items are drawn; its top rows open the menu
#   close    the drawn close button fires only when pressed and released on it
#   minimise minimised, the window comes back the way a person does it there, skin whole
#   about    the About window (帮助 → 关于) has its raised 3-pixel dialog frame, in the system's
#            colours, at its own edges and nothing of a window manager's
#   tab      Tab reaches 打开, Enter on it opens the folder picker, and once the picker is closed
#            打开 has the keyboard again
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

# about: opened from the keyboard, its frame read from the screen ring by ring, outside in: top and
# left in light, highlight, face; bottom and right in dark shadow, shadow, face (corners left out).
about_frame() {
    focus_app
    key alt+h
    key a
    local about al at ar ab
    about="$(wait_probe '^colours' about)" || { echo "$about"; fail "$SETTING: 关于 opened nothing"; }
    read -r _ al at ar ab <<<"$(grep '^about' <<<"$about")"
    sleep 0.5
    import -window root -crop "$((ar - al))x$((ab - at))+$((OX + al))+$((OY + at))" -depth 8 \
        "rgb:$WORK/about.rgb"
    python3 - "$WORK/about.rgb" "$((ar - al))" "$((ab - at))" \
        $(grep '^colours' <<<"$about" | cut -d' ' -f2-) <<'PY' || fail "$SETTING: the About frame"
import sys
shot, w, h = open(sys.argv[1], "rb").read(), int(sys.argv[2]), int(sys.argv[3])
light, hilight, face, shadow, dark = sys.argv[4:9]
px = lambda x, y: shot[3 * (y * w + x):3 * (y * w + x) + 3].hex()
wrong = []
for ring, (tl, br) in enumerate([(light, dark), (hilight, shadow), (face, face)]):
    for x in range(3, w - 3):
        wrong += [(x, ring, tl, px(x, ring)), (x, h - 1 - ring, br, px(x, h - 1 - ring))]
    for y in range(3, h - 3):
        wrong += [(ring, y, tl, px(ring, y)), (w - 1 - ring, y, br, px(w - 1 - ring, y))]
wrong = [c for c in wrong if c[2] != c[3]]
for x, y, want, got in wrong[:6]:
    print(f"about frame pixel {x},{y} is {got}, not {want}")
sys.exit(1 if wrong else 0)
PY
    read -r _ al at ar ab <<<"$(grep '^ok' <<<"$about")"
    click_at "$(((al + ar) / 2))" "$(((at + ab) / 2))"
    wait_probe '^about none' about >/dev/null || fail "$SETTING: 确定 left the About window open"
    wait_main_active
    row about
}

# Esc closes one level: popup -> its bar item selected (Down opens it again) -> out of menu mode.
menu_row_shot() { screenshot "$1" "$((fl + 60))" "$((ft + 25))" "$((fl + 300))" "$((ft + 45))"; }
same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]; }
escape_one_level_at_a_time() {
    menu_row_shot "$WORK/bar-idle.png"
    key alt+f
    wait_probe '^popups 1$' popup >/dev/null || fail "$SETTING: Alt+F opened no menu"
    key Escape
    wait_probe '^popups 0$' popup >/dev/null || fail "$SETTING: Escape left the popup open"
    menu_row_shot "$WORK/bar-selected.png"
    ! same_picture "$WORK/bar-idle.png" "$WORK/bar-selected.png" ||
        fail "$SETTING: after one Escape 文件 is not shown selected on the bar"
    key Down
    wait_probe '^popups 1$' popup >/dev/null || fail "$SETTING: Down did not open 文件 again"
    key Escape Escape
    wait_probe '^popups 0$' popup >/dev/null || fail "$SETTING: two Escapes left the popup open"
    menu_row_shot "$WORK/bar-left.png"
    same_picture "$WORK/bar-idle.png" "$WORK/bar-left.png" ||
        fail "$SETTING: after the second Escape the bar is not drawn as before the menu"
}

# Alt+F, Esc, Esc while a search runs: the Escapes are the menu's, and the search runs to its end.
escape_during_search() {
    make_big_tree "$WORK/tree" 9000
    rm -f "$PROBE_DIR/quit.cmd"  # the first probe's, if it had not read it yet
    [ -z "$WM_PID" ] || kill "$WM_PID"  # e2e_start starts the window manager again
    WM_PID=""
    xdotool mousemove 1270 1010
    e2e_start "$SETTING" "$QUENLOR_EXE" "$PROBE_EXE" "$(winpath "$WORK/tree")"
    wait_probe '^control1010 enabled' controls >/dev/null || fail "$SETTING: the search did not start"
    key alt+f
    wait_probe '^popups 1$' popup >/dev/null || fail "$SETTING: Alt+F opened no menu in a search"
    key Escape Escape
    wait_probe '^popups 0$' popup >/dev/null || fail "$SETTING: Escape left the popup open"
    grep -q '^control1010 enabled' <<<"$(probe controls)" ||
        fail "$SETTING: the search ended before Alt+F, Esc, Esc was done: make the tree larger"
    wait_probe '^control1010 disabled' controls >/dev/null ||
        wait_probe '^control1010 disabled' controls >/dev/null || fail "$SETTING: the search did not end"
    grep -q "^rows 360$" <<<"$(probe cells)" ||
        fail "$SETTING: Esc, Esc stopped the search: $(probe cells | head -n1) of 360 rows"
    read -r fl ft _ _ <<<"$(frame_of)"
    close_with_button "$fl" "$ft"
}

# The pointer rests at the screen's corner, on the terminal the program was started from. Without a
# window manager the keys go to the window under the pointer; Wine puts the pointer in the middle of
# the screen as its session starts, where the window opens.
xdotool mousemove 1270 1010
# A path given at start that is not there: the status line names it, longer than the line.
MISSING="$(winpath "$WORK")\\$(printf 'projector-archive-%.0s' 1 2 3 4)\\missing.exe"
e2e_start "$SETTING" "$QUENLOR_EXE" "$PROBE_EXE" "$MISSING"
read -r fl ft fr fb <<<"$(frame_of)"
[ "$((fr - fl))x$((fb - ft))" = "437x416" ] || fail "$SETTING: the window is not 437 x 416"
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

escape_one_level_at_a_time
row escape

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
about_frame

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
    # Back from the picker, 打开 has the keyboard again.
    wait_probe '^focusid 1007$' focus >/dev/null || fail "$SETTING: 打开 lost the keyboard to the picker"
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
press_move_release "$((fl + 20))" "$((ft + 55))" "$((fl + 422))" "$((ft + 15))"
wait_probe '^frame' window >/dev/null || fail "$SETTING: released on the close button, it closed"
press_move_release "$((fl + 422))" "$((ft + 15))" "$((fl + 250))" "$((ft + 15))"
wait_probe '^frame' window >/dev/null || fail "$SETTING: pressed on it, released off it, it closed"
row close

# minimise, then back the way a person does it in this setting; the skin is whole again.
click_at "$((fl + 402))" "$((ft + 15))"
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
escape_during_search
row "escape during a search"
echo "settings: $SETTING: ${passed[*]}: PASS"
