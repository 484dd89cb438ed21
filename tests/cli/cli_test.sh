#!/usr/bin/env bash
# End-to-end checks of quenlor-cli on a generated demo folder.
#   cli_test.sh CLI DEMO_MAKER
# A Windows build (CLI ending in .exe) runs under Wine, with paths given in Windows form.
set -u
cli="$1"
maker="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/cli_lib.sh"

if [[ "$maker" == *.exe ]]; then
    "$tools/wine-run" "$maker" "$(native_path "$work")\\demo" || exit 1
else
    "$maker" "$work/demo" || exit 1
fi
demo="$work/demo"

# scan: the four projectors, no stub-only projector, nothing from the dot-directory.
run scan "$(native_path "$demo")"
check "scan exits 0" test "$rc" -eq 0
check "scan lists four projectors" test "$(wc -l <"$work/out")" -eq 4
check "scan lists intro.exe" grep -q 'intro\.exe$' "$work/out"
check "scan lists the Chinese name" grep -q '小游戏\.exe$' "$work/out"
check "scan skips the 90100-byte stub" bash -c "! grep -q handmade '$work/out'"
check "scan skips dot-directories" bash -c "! grep -q skipped '$work/out'"
check "scan reports the count" grep -qx '共找到：4个文件' "$work/err"
check "files before sub-directories" test "$(head -1 "$work/out" | grep -c 'intro\.exe$')" -eq 1

# convert into a directory: one line per file, tab-separated, with the exact movie bytes.
mkdir -p "$work/out dir"
run convert -o "$(native_path "$work/out dir")" "$(native_path "$demo/intro.exe")" \
    "$(native_path "$demo/handmade.exe")" "$(native_path "$demo/notepad.exe")"
check "convert with a failure exits 1" test "$rc" -eq 1
check "three result lines" test "$(wc -l <"$work/out")" -eq 3
check "intro converted" bash -c "sed -n 1p '$work/out' | awk -F'\t' '\$2==\"成功\" && \$3==\"Ver: 6\" && \$4==478 && \$5 ~ /intro\\.swf\$/' | grep -q ."
check "hand-added stub converted" bash -c "sed -n 2p '$work/out' | awk -F'\t' '\$2==\"成功\" && \$3==\"Ver: 5\"' | grep -q ."
check "non-projector fails with empty cells" bash -c "sed -n 3p '$work/out' | awk -F'\t' 'NF==5 && \$2==\"失败\" && \$3==\"\" && \$4==\"\" && \$5==\"\"' | grep -q ."
check "the reason of a failed row goes to stderr" grep -q "notepad\.exe: 不是可识别的放映器$" "$work/err"
check "summary line" grep -qx ' 共有3个文件  成功转换2个文件' "$work/err"
check "movie bytes exact" cmp -s <(tail -c +286701 "$demo/intro.exe") "$work/out dir/intro.swf"
check "no stray files" test "$(ls "$work/out dir" | tr '\n' ' ')" = "handmade.swf intro.swf "

# one batch never overwrites its own output: the second intro.swf becomes "intro (2).swf", and
# each source is deleted only after its own movie is in place.
mkdir -p "$work/dup/a" "$work/dup/b" "$work/dup/out"
cp "$demo/intro.exe" "$work/dup/a/intro.exe"
cp "$demo/games/小游戏.exe" "$work/dup/b/intro.exe"
cp "$work/dup/b/intro.exe" "$work/dup/b.copy"
run convert -o "$(native_path "$work/dup/out")" --delete-source \
    "$(native_path "$work/dup/a/intro.exe")" "$(native_path "$work/dup/b/intro.exe")"
check "same title twice exits 0" test "$rc" -eq 0
check "second row shows its own name" bash -c "sed -n 2p '$work/out' | awk -F'\t' '\$5 ~ /intro \\(2\\)\\.swf\$/' | grep -q ."
check "first movie kept" cmp -s <(tail -c +286701 "$demo/intro.exe") "$work/dup/out/intro.swf"
check "second movie beside it" cmp -s <(tail -c +286751 "$work/dup/b.copy") "$work/dup/out/intro (2).swf"
check "both sources deleted" test ! -e "$work/dup/a/intro.exe" -a ! -e "$work/dup/b/intro.exe"

# exit statuses: a folder to scan that is not there, a source that cannot be deleted
run scan "$(native_path "$work/no such folder")"
check "scan of a missing folder exits 2" test "$rc" -eq 2
check "scan of a missing folder says so" grep -q 'cannot read the folder' "$work/err"
check "scan of a missing folder lists nothing" test ! -s "$work/out"
run scan "$(native_path "$demo/intro.exe")"
check "scan of a file exits 2" test "$rc" -eq 2
cp "$demo/intro.exe" "$work/kept.exe"
mkdir -p "$work/kept"
if [[ "$cli" == *.exe ]]; then
    chmod a-w "$work/kept.exe"  # read-only to Windows: DeleteFile refuses it
    run convert -o "$(native_path "$work/kept")" --delete-source "$(native_path "$work/kept.exe")"
else
    exec 7<"$work/kept.exe"  # a name that can be read but never unlinked, even by root
    run convert -o "$work/kept" --delete-source /proc/self/fd/7
    exec 7<&-
fi
check "undeletable source exits 1" test "$rc" -eq 1
check "undeletable source reported" grep -q 'could not delete' "$work/err"
check "its movie still written" test "$(ls "$work/kept" | wc -l)" -eq 1
check "undeletable source kept" test -e "$work/kept.exe"

# convert beside the projector, deleting the source once written.
run convert --delete-source "$(native_path "$demo/games/racer.exe")"
check "auto save exits 0" test "$rc" -eq 0
check "written beside the projector" test -s "$demo/games/racer.swf"
check "source deleted after success" test ! -e "$demo/games/racer.exe"
run convert --delete-source "$(native_path "$demo/notepad.exe")"
check "failed source kept" test -e "$demo/notepad.exe"

# usage errors
run
check "no arguments: usage" test "$rc" -eq 2
run convert
check "convert without files: usage" test "$rc" -eq 2
run convert -o
check "-o without a directory: usage" test "$rc" -eq 2
run frobnicate x
check "unknown command: usage" test "$rc" -eq 2
check "usage text" grep -q 'usage: quenlor-cli' "$work/err"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
