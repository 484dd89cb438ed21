# Sourced by the end-to-end scripts: the real Quenlor.exe under Wine, driven with X-level input
# (xdotool on the Xvfb display) and read from outside by QuenlorProbe.exe.
#   e2e_start SETTING QUENLOR_EXE PROBE_EXE [ARGS...]
# SETTING is where the program runs, as people run it:
#   desktop  a Wine virtual desktop (800 x 600)
#   plain    Wine straight on the X display, no window manager (what tools/run.sh gives)
#   wm       Wine on the X display under a window manager (openbox)
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
        "$QUENLOR_WINE" explorer "/desktop=$E2E_DESKTOP,800x600" "$@" >/dev/null 2>&1 &
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
    # The window is there once it has its controls and its skinned 437 x 416 frame.
    local fl ft fr fb
    for _ in $(seq 1 40); do
        WINDOW="$(wait_probe '^control1015 ' window)" || fail "the main window did not appear"
        read -r fl ft fr fb <<<"$(grep '^frame' <<<"$WINDOW" | cut -d' ' -f2-)"
        [ "$((fr - fl))x$((fb - ft))" = "437x416" ] && break
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

# Gives the keyboard to the program's X window (the desktop's, in a virtual desktop).
focus_app() {
    if [ "$E2E_SETTING" = desktop ]; then
        xdotool windowfocus --sync "$E2E_DESKTOP_ID" 2>/dev/null || true
    fi
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

# Walks the open folder picker with the keyboard: / > tmp > qe2e-… > LAST, then OK.
# (Folders under $WORK only.)
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
}

