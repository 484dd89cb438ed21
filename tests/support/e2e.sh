# Sourced by the end-to-end scripts: the real Quenlor.exe under Wine, driven with X-level input
# (xdotool on the Xvfb display) and read from outside by QuenlorProbe.exe.
#   e2e_start SETTING QUENLOR_EXE PROBE_EXE [ARGS...]
# SETTING is where the program runs, as people run it:
#   desktop  a Wine virtual desktop (800 x 600)
#   plain    Wine straight on the X display, no window manager (what tools/run.sh gives)
#   wm       Wine on the X display under a window manager (openbox)
# e2e_use_dpi DPI, before e2e_start, runs the program at another screen resolution.
# After e2e_start: OX, OY (X position of Wine's screen origin), WORK (a fresh folder, removed at the
# end), APP_PID. The caller sets a trap of its own only through e2e_on_exit.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"

WORK="$(mktemp -d /tmp/qe2e-XXXXXXXX)"
APP_PID=""
PROBE_PID=""
WM_PID=""
PROBE_DIR="$WORK/probe"
E2E_SETTING=""
E2E_DESKTOP=""
E2E_EXTRA_EXIT=""
E2E_FRAME_SIZE="437x416"   # the main window with its skinned frame, at 96 DPI
E2E_DESKTOP_SIZE="800x600"
E2E_DPI=96
mkdir -p "$PROBE_DIR"

fail() { echo "$(basename "$0"): FAIL: $*" >&2; exit 1; }
winpath() { echo "Z:${1//\//\\}"; }

# A projector: STUB bytes of player, "FWS", the version byte, then BODY bytes of movie.
make_projector() {  # path stub version body
    python3 - "$@" <<'PY'
import sys
path, stub, version, body = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
with open(path, "wb") as f:
    f.write(b"P" * stub + b"FWS" + bytes([version]) + bytes(97 + i % 26 for i in range(body)))
PY
}

# A tree large enough for a search to take a while: COUNT sparse 300 kB programs in nested folders,
# one in 25 a projector (COUNT / 25 of them, rounded up).
make_big_tree() {  # root count
    python3 - "$1" "$2" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(root, "d%d" % (i % 60), "e%d" % (i % 5))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "g%d.exe" % i), "wb") as f:
        if i % 25 == 0:
            f.seek(286700)
            f.write(b"FWS\x06" + b"m" * 40)
        f.truncate(300000)
PY
}

# Asks the probe, which runs beside the program, and prints its answer.
probe() {
    local id="q$BASHPID-$RANDOM"
    printf '%s\n' "$@" >"$PROBE_DIR/$id.new"
    mv "$PROBE_DIR/$id.new" "$PROBE_DIR/$id.cmd"
    for _ in $(seq 1 100); do
        if [ -e "$PROBE_DIR/$id.out" ]; then
            cat "$PROBE_DIR/$id.out"
            rm -f "$PROBE_DIR/$id.out"
            return 0
        fi
        sleep 0.1
    done
    echo "e2e: probe $1 gave no answer" >&2
    return 1
}
# Waits until the probe's output satisfies a grep pattern; prints the last output.
wait_probe() {  # pattern probe-args...
    local pattern="$1" text=""
    shift
    for _ in $(seq 1 20); do
        text="$(probe "$@" || true)"
        if grep -qE "$pattern" <<<"$text"; then
            echo "$text"
            return 0
        fi
        sleep 0.5
    done
    echo "$text"
    return 1
}

# Pointer and keys at Wine screen coordinates.
move_to() {  # x y
    xdotool mousemove "$((OX + $1))" "$((OY + $2))"
    sleep 0.2
}
click_at() {  # x y
    move_to "$1" "$2"
    xdotool click 1
    sleep 0.3
}
key() {  # xdotool key names...
    xdotool key "$@"
    sleep 0.3
}
# Clicks the middle of a control of the main window, by control identifier ($WINDOW from probe window).
click_control() {  # id
    local line
    line="$(grep "^control$1 " <<<"$WINDOW")" || fail "no control $1"
    read -r _ l t r b <<<"$line"
    click_at "$(((l + r) / 2))" "$(((t + b) / 2))"
}
# The main window's frame as "left top right bottom".
frame_of() { grep '^frame' <<<"$(probe window)" | cut -d' ' -f2-; }
# Saves a rectangle of Wine's screen as a PNG.
screenshot() {  # png left top right bottom
    import -window root -crop "$(($4 - $2))x$(($5 - $3))+$((OX + $2))+$((OY + $3))" +repage "$1"
}

e2e_on_exit() { E2E_EXTRA_EXIT="$1"; }
e2e_cleanup() {
    [ -z "$E2E_EXTRA_EXIT" ] || eval "$E2E_EXTRA_EXIT" || true
    if [ -n "$PROBE_PID" ]; then
        [ -z "$APP_PID" ] || probe close >/dev/null 2>&1 || true
        { echo quit >"$PROBE_DIR/quit.new" && mv "$PROBE_DIR/quit.new" "$PROBE_DIR/quit.cmd"; } \
            2>/dev/null || true
        sleep 0.5
        kill -0 "$PROBE_PID" 2>/dev/null && kill "$PROBE_PID" 2>/dev/null || true
    fi
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null || true; fi
    [ -z "$WM_PID" ] || kill "$WM_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap e2e_cleanup EXIT

# Runs a Windows program in the chosen setting, in the background; prints nothing, sets $!.
e2e_launch() {  # exe args...
    if [ "$E2E_SETTING" = desktop ]; then
        "$QUENLOR_WINE" explorer "/desktop=$E2E_DESKTOP,$E2E_DESKTOP_SIZE" "$@" >/dev/null 2>&1 &
    else
        "$QUENLOR_WINE" "$@" >/dev/null 2>&1 &
    fi
}

e2e_start() {  # setting quenlor-exe probe-exe [args...]
    E2E_SETTING="$1"
    local exe="$2" probe_exe="$3"
    shift 3
    OX=0
    OY=0
    # A fresh Wine session, as when a person starts the program: nothing of an earlier test's
    # windows (foreground, focus, a desktop) carries over.
    "$QUENLOR_WINESERVER" -k 2>/dev/null || true
    "$QUENLOR_WINESERVER" -w 2>/dev/null || true
    case "$E2E_SETTING" in
    desktop) E2E_DESKTOP="QE2E$$" ;;
    plain) ;;
    wm)
        openbox --sm-disable >/dev/null 2>&1 &
        WM_PID=$!
        sleep 1
        ;;
    *) fail "unknown setting $E2E_SETTING" ;;
    esac
    echo "e2e: starting Quenlor.exe ($E2E_SETTING)" >&2
    e2e_launch "$exe" "$@"
    APP_PID=$!
    sleep 1
    e2e_launch "$probe_exe" serve "$(winpath "$PROBE_DIR")"
    PROBE_PID=$!
    # The window is there once it has its controls and its skinned frame.
    local fl ft fr fb
    for _ in $(seq 1 40); do
        WINDOW="$(wait_probe '^control1015 ' window)" || fail "the main window did not appear"
        read -r fl ft fr fb <<<"$(grep '^frame' <<<"$WINDOW" | cut -d' ' -f2-)"
        [ "$((fr - fl))x$((fb - ft))" = "$E2E_FRAME_SIZE" ] && break
        sleep 0.25
    done
    if [ "$E2E_SETTING" = desktop ]; then
        local id
        id="$(xdotool search --name "^$E2E_DESKTOP" | head -n1)"
        [ -n "$id" ] || fail "no virtual desktop window"
        # Only the position: the geometry's WINDOW would replace the probe's answer.
        local X Y
        eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(X|Y)=')"
        OX="$X"
        OY="$Y"
        E2E_DESKTOP_ID="$id"
    fi
}

# N pixels of the 96-DPI design at the resolution the program runs at, at most MAX.
dpx() {  # n [max]
    local n=$((($1 * E2E_DPI + 48) / 96))
    echo $((${2:-n} < n ? ${2:-n} : n))
}

# Runs the program at DPI dots per inch: in a copy of the test prefix (made once, kept beside it)
# whose HKCU\Control Panel\Desktop LogPixels is DPI. Sets the main window's expected size (client
# 6255 x 5370 twips; caption 48 and border 10 pixels at 96 DPI, scaled) and a desktop to hold it.
e2e_use_dpi() {  # dpi
    local dpi="$1" prefix="$WINEPREFIX-dpi$1"
    if [ ! -f "$prefix/.quenlor-dpi" ]; then
        rm -rf "$prefix.new"
        # The folders share their files with the test prefix (links); the registry and the
        # prefix's other top-level files, which Wine rewrites, are copies of their own.
        cp -al "$WINEPREFIX" "$prefix.new"
        find "$WINEPREFIX" -maxdepth 1 -type f -exec cp --remove-destination -t "$prefix.new" {} +
        WINEPREFIX="$prefix.new" "$QUENLOR_WINE" reg add 'HKCU\Control Panel\Desktop' \
            /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        WINEPREFIX="$prefix.new" "$QUENLOR_WINESERVER" -w
        touch "$prefix.new/.quenlor-dpi"
        rm -rf "$prefix"
        mv "$prefix.new" "$prefix"
    fi
    export WINEPREFIX="$prefix"
    E2E_DPI="$dpi"
    local width=$(((6255 * dpi + 720) / 1440)) height=$(((5370 * dpi + 720) / 1440))
    E2E_FRAME_SIZE="$((width + 2 * $(dpx 10)))x$((height + $(dpx 48) + $(dpx 10)))"
    E2E_DESKTOP_SIZE="$(dpx 800 1240)x$(dpx 600 1000)"
}

# Gives the keyboard to the program's X window (the desktop's, in a virtual desktop). Without a
# window manager the X keyboard follows the pointer: it goes to the middle of the foreground window.
focus_app() {
    case "$E2E_SETTING" in
    desktop) xdotool windowfocus --sync "$E2E_DESKTOP_ID" 2>/dev/null || true ;;
    plain)
        local l t r b
        read -r _ l t r b <<<"$(probe dialog | grep '^rect')" || return 0
        move_to "$(((l + r) / 2))" "$(((t + b) / 2))"
        ;;
    esac
}

# The skin's bitmaps, raw RGB, for the frame checks.
SKIN_RES="$(dirname "${BASH_SOURCE[0]}")/../../src/ui/res"
skin_rgb() {  # name -> path of its raw RGB copy
    [ -e "$WORK/$1.rgb" ] || convert "$SKIN_RES/$1.bmp" -depth 8 "rgb:$WORK/$1.rgb"
    echo "$WORK/$1.rgb"
}
# The main window's pixels on the X screen compared with what the skin bitmaps put there
# (skin_pixels.py frame), or the columns of the menu row's items (skin_pixels.py items).
skin_pixels() {  # frame|items
    local fl ft fr fb
    read -r fl ft fr fb <<<"$(frame_of)"
    import -window root -crop "$((fr - fl))x$((fb - ft))+$((OX + fl))+$((OY + ft))" -depth 8 \
        "rgb:$WORK/window.rgb"
    python3 "$(dirname "${BASH_SOURCE[0]}")/skin_pixels.py" "$1" "$WORK/window.rgb" \
        "$((fr - fl))" "$((fb - ft))" "$(skin_rgb PicCaption)" "$(skin_rgb PicBorder)"
}
# Presses the left button at one point, moves to another and releases it there.
press_move_release() {  # x1 y1 x2 y2
    move_to "$1" "$2"
    xdotool mousedown 1
    sleep 0.2
    move_to "$(((${1} + ${3}) / 2))" "$(((${2} + ${4}) / 2))"
    move_to "$3" "$4"
    xdotool mouseup 1
    sleep 0.4
}

# The title of the foreground window once it is not the main window (a dialog has opened).
wait_foreground_not_main() {
    for _ in $(seq 1 20); do
        local title
        title="$(probe dialog | head -n1 || true)"
        if [ -n "$title" ] && [ "$title" != "Quenlor转换器" ]; then echo "$title"; return 0; fi
        sleep 0.5
    done
    return 1
}

# Clicks the drawn close button of the window whose frame starts at (LEFT, TOP); the window must
# go, and then (with the probe told to quit) the program.
close_with_button() {  # left top
    click_at "$(($1 + 422))" "$(($2 + 15))"
    # Once in a while, on a loaded machine, the first click after a restore is not taken as a
    # press on the button: a person clicks again, and so does this.
    if ! wait_probe '^error 2' window >/dev/null; then
        echo "e2e: the close button's first click was not taken; clicking again" >&2
        click_at "$(($1 + 422))" "$(($2 + 15))"
        wait_probe '^error 2' window >/dev/null || fail "the window is still there after the close button"
    fi
    echo quit >"$PROBE_DIR/quit.new" && mv "$PROBE_DIR/quit.new" "$PROBE_DIR/quit.cmd"
    for _ in $(seq 1 40); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.25
    done
    ! kill -0 "$APP_PID" 2>/dev/null || fail "the program did not end after closing"
    APP_PID=""
}

# Waits until the main window is the active one again (a closed dialog may take a while to go:
# destroying a window without a window manager takes seconds under Wine).
wait_main_active() {
    wait_probe '^active Quenlor.Form1' focus >/dev/null || fail "the main window is not active again"
}

# Walks the open folder picker with the keyboard: / > tmp > qe2e-… > LAST, then OK; returns once
# the main window is active again. (Folders under $WORK only.)
pick_folder() {  # last-part
    local title
    title="$(wait_foreground_not_main)" || fail "the folder picker did not open"
    echo "folder picker: $title" >&2
    focus_app
    read -r _ dl dt _ _ <<<"$(probe dialog | grep '^rect')"
    # The tree's first entries are Desktop and "/": click "/" to give the tree the focus.
    click_at "$((dl + 70))" "$((dt + 108))"
    for part in tmp "$(basename "$WORK")" "$1"; do
        xdotool key Right; sleep 0.4
        xdotool type --delay 60 "$part"; sleep 0.6
    done
    xdotool key Return
    wait_main_active
}


# 文件 → 打开文件 → 搜索目录 with the mouse on the drawn menu bar (the submenu opens at the popup's
# right edge, wherever the popup's widest item puts it).
menu_search_folder() {
    local fl ft pr
    read -r fl ft _ _ <<<"$(frame_of)"
    click_at "$((fl + 105))" "$((ft + 35))"    # 文件(F) on the bar opens its popup
    read -r _ _ _ pr _ <<<"$(wait_probe '^popup -?[0-9]' popup)" || fail "文件 opened no menu"
    click_at "$((fl + 135))" "$((ft + 58))"    # 打开文件 opens its submenu
    move_to "$((pr - 10))" "$((ft + 58))"
    click_at "$((pr + 30))" "$((ft + 58))"     # 搜索目录
}
