# Sourced by the scripts that run Windows binaries: a private Wine prefix with a CJK font standing in
# for SimSun, and an X display (Xvfb) when none is there.
QUENLOR_TOOLS="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${QUENLOR_WINEPREFIX:-$HOME/.cache/quenlor/wine}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

quenlor_wine_bin() {
    for c in wine64 /usr/lib/wine/wine64 wine; do
        if command -v "$c" >/dev/null 2>&1; then echo "$c"; return; fi
    done
    echo "wine-env: no wine found (run tools/setup.sh)" >&2
    return 1
}
QUENLOR_WINE="$(quenlor_wine_bin)"
QUENLOR_WINESERVER="$(command -v wineserver || echo /usr/lib/wine/wineserver64)"

quenlor_display_alive() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# QUENLOR_DISPLAY_NUM picks a display of its own (tests that move the pointer must not share one).
if [ -n "${QUENLOR_DISPLAY_NUM:-}" ] || ! quenlor_display_alive; then
    QUENLOR_DISPLAY_NUM="${QUENLOR_DISPLAY_NUM:-87}"
    export DISPLAY=":${QUENLOR_DISPLAY_NUM}"
    if ! quenlor_display_alive; then
        (
            exec 9>"/tmp/quenlor-xvfb-${QUENLOR_DISPLAY_NUM}.lock"
            flock 9
            if ! xdpyinfo >/dev/null 2>&1; then
                setsid Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 < /dev/null &
                for _ in $(seq 1 100); do
                    xdpyinfo >/dev/null 2>&1 && break
                    sleep 0.1
                done
            fi
        )
    fi
fi

if [ ! -f "$WINEPREFIX/.quenlor-ready" ]; then
    (
        mkdir -p "$WINEPREFIX"
        exec 9>"$WINEPREFIX/../.quenlor-prefix.lock"
        flock 9
        if [ ! -f "$WINEPREFIX/.quenlor-ready" ]; then
            echo "wine-env: preparing Wine prefix $WINEPREFIX" >&2
            "$QUENLOR_WINE" wineboot -i >/dev/null 2>&1 || true
            "$QUENLOR_WINESERVER" -w || true
            reg="$(mktemp --suffix=.reg)"
            # The program's controls ask for 宋体 (SimSun); map it and its Latin name to the CJK font.
            printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
                '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
                '"SimSun"="WenQuanYi Micro Hei"' '"宋体"="WenQuanYi Micro Hei"' \
                '"NSimSun"="WenQuanYi Micro Hei"' '"新宋体"="WenQuanYi Micro Hei"' '' \
                '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' |
                iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
            "$QUENLOR_WINE" regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "Z:${reg//\//\\}")" \
                >/dev/null 2>&1 || true
            "$QUENLOR_WINESERVER" -w || true
            rm -f "$reg"
            touch "$WINEPREFIX/.quenlor-ready"
        fi
    )
fi

# Wine's Marlett draws the check, radio and caption-button glyphs. Debian's Wine looks for its own
# fonts beside its data folder rather than in it, so none of them load; the prefix's Fonts folder
# gets a copy of Marlett (new and already prepared prefixes alike).
if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
