#!/usr/bin/env bash
# The release packages as people get them: tools/release.sh runs in two clean clones of HEAD, in
# folders of different names and depths, and the first clone's packages are put to use:
#   zip     its SHA256SUMS hold, and its quenlor-cli.exe finds under Wine what the native CLI finds
#   window  its Quenlor.exe starts under Wine and shows the main window
#   deb     it installs, its quenlor-cli states the version and scans, its man page is there, and
#           it removes cleanly
#   same    the second clone's packages are the first's, byte for byte
# Committed work only: the clones hold HEAD.
# Usage: packages.sh NATIVE_QUENLOR_CLI DEMO_DIR PROBE_EXE
# Prints PASS or FAIL a check, then "release checks: N passed, M failed".
set -uo pipefail
native_cli="$1" demo="$2" probe_exe="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
version="$(sed -nE 's/^project\(Quenlor VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")"
tmp="$(mktemp -d /tmp/quenlor-release-XXXXXX)"
trap 'rm -rf "$tmp"' EXIT
passed=0
failed=0

result() {  # result NAME STATUS
    if [ "$2" -eq 0 ]; then
        passed=$((passed + 1))
        echo "PASS: release $1"
    else
        failed=$((failed + 1))
        echo "FAIL: release $1"
    fi
}
say() { echo "release: $*" >&2; }

# The projectors a scan finds, as sorted paths below DIR with forward slashes.
found_below() {  # dir-as-printed < scan output
    tr -d '\r' | tr '\\' '/' | sed "s|^${1//\\//}/||" | sort
}

build_clone() {  # folder
    git clone -q "$root" "$1" && git -C "$1" checkout -q --detach "$(git -C "$root" rev-parse HEAD)" &&
        bash "$1/tools/release.sh" >"$1.log" 2>&1 || { tail -n 30 "$1.log"; return 1; }
}

one="$tmp/one/quenlor"
two="$tmp/another/copy/of/quenlor"
mkdir -p "$(dirname "$one")" "$(dirname "$two")"
start=$SECONDS
build_clone "$one" || { result build 1; echo "release checks: $passed passed, $failed failed"; exit 1; }
say "first build: $((SECONDS - start)) s"
zip="$one/dist/Quenlor-$version-win64.zip"
deb="$(ls "$one"/dist/quenlor-cli_"$version"_*.deb 2>/dev/null | head -n1)"
expected="$("$native_cli" scan "$demo" 2>/dev/null | found_below "$demo")"
[ -n "$expected" ] || say "the native quenlor-cli finds nothing in $demo"

check_zip() {
    local dir="$tmp/unzipped" win_demo
    unzip -q "$zip" -d "$dir" || return 1
    dir="$dir/Quenlor-$version-win64"
    (cd "$dir" && sha256sum --quiet -c SHA256SUMS) || return 1
    [ "$("$root/tools/wine-run" "$dir/quenlor-cli.exe" --version | tr -d '\r')" = "quenlor-cli $version" ] ||
        { say "quenlor-cli.exe --version does not say $version"; return 1; }
    win_demo="$(winepath -w "$demo" 2>/dev/null)"
    local got
    got="$("$root/tools/wine-run" "$dir/quenlor-cli.exe" scan "$win_demo" 2>/dev/null | found_below "$win_demo")"
    [ -n "$expected" ] && [ "$got" = "$expected" ] ||
        { say "quenlor-cli.exe found:"$'\n'"$got"$'\n'"the native quenlor-cli:"$'\n'"$expected"; return 1; }
    local size
    size="$(stat -c %s "$dir/Quenlor.exe")"
    say "Quenlor.exe: $size bytes, quenlor-cli.exe: $(stat -c %s "$dir/quenlor-cli.exe") bytes"
    [ "$size" -le $((1536 * 1024)) ] || { say "Quenlor.exe is over 1.5 MB"; return 1; }
}

check_window() (
    source "$root/tests/support/e2e.sh"
    e2e_start plain "$tmp/unzipped/Quenlor-$version-win64/Quenlor.exe" "$probe_exe"
    xdotool search --name '^Quenlor' >/dev/null || fail "no X window named Quenlor"
    read -r l t r b <<<"$(frame_of)"
    [ "$((r - l))x$((b - t))" = "437x416" ] || fail "the main window is $((r - l))x$((b - t))"
    # A painted window, not an empty frame: buttons, list and status line give many colours.
    screenshot "$WORK/window.png" "$l" "$t" "$r" "$b"
    colours="$(identify -format %k "$WORK/window.png")"
    [ "$colours" -ge 16 ] || fail "the window shows only $colours colours"
)

check_deb() {
    local sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    [ -n "$deb" ] && "${sudo_cmd[@]}" dpkg -i "$deb" >/dev/null || return 1
    local status=0 got
    [ "$(/usr/bin/quenlor-cli --version)" = "quenlor-cli $version" ] ||
        { say "quenlor-cli --version does not say $version"; status=1; }
    got="$(/usr/bin/quenlor-cli scan "$demo" 2>/dev/null | found_below "$demo")"
    [ -n "$expected" ] && [ "$got" = "$expected" ] || { say "the installed quenlor-cli found: $got"; status=1; }
    zcat /usr/share/man/man1/quenlor-cli.1.gz | grep -q '^\.TH QUENLOR-CLI 1' ||
        { say "no man page quenlor-cli(1)"; status=1; }
    "${sudo_cmd[@]}" dpkg -r quenlor-cli >/dev/null || status=1
    [ ! -e /usr/bin/quenlor-cli ] || { say "dpkg -r left /usr/bin/quenlor-cli"; status=1; }
    return "$status"
}

check_zip
result zip $?
check_window
result window $?
"$root/tools/wine-env-stop.sh" >/dev/null 2>&1
check_deb
result deb $?

start=$SECONDS
if build_clone "$two"; then
    say "second build: $((SECONDS - start)) s"
    same=0
    [ "$(ls "$one/dist")" = "$(ls "$two/dist")" ] || { say "the two builds made different files"; same=1; }
    for f in "$one"/dist/*; do
        cmp "$f" "$two/dist/$(basename "$f")" || same=1
    done
    result same "$same"
else
    result same 1
fi

echo "release checks: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
