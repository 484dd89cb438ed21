#!/usr/bin/env bash
# quenlor-cli convert --record: the CSV file read back with an independent parser (Python's csv),
# each movie's SHA-256 checked with sha256sum, quoting of names with commas, quotes and Chinese,
# failed rows, and record paths that cannot or must not be written.
#   record_test.sh CLI
# A Windows build (CLI ending in .exe) runs under Wine, with paths given in Windows form.
set -u
cli="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/cli_lib.sh"
unix_path() { if [[ "$cli" == *.exe ]]; then winepath -u "$1" 2>/dev/null; else echo "$1"; fi; }

# STUB VERSION BODY PATH: a projector whose movie lies behind a stub of STUB bytes.
projector() {
    python3 -c 'import sys; s, v, b = map(int, sys.argv[1:4]); open(sys.argv[4], "wb").write(b"P" * s + b"FWS" + bytes([v]) + bytes((i * 7) % 256 for i in range(b)))' "$@"
}
mkdir -p "$work/in" "$work/movies"
projector 286700 6 5000 "$work/in/a, b.exe"
projector 90100 5 300 "$work/in/小游戏.exe"
head -c 300000 /dev/zero >"$work/in/plain.exe"
names=("a, b.exe" "小游戏.exe" "plain.exe" "missing.exe")
if [[ "$cli" != *.exe ]]; then  # no Windows name holds a quote
    projector 286700 7 40 "$work/in/say \"hi\".exe"
    names+=("say \"hi\".exe")
fi
args=()
for n in "${names[@]}"; do args+=("$(native_path "$work/in")$([[ "$cli" == *.exe ]] && echo '\' || echo /)$n"); done
record="$(native_path "$work")$([[ "$cli" == *.exe ]] && echo '\' || echo /)record.csv"
echo stale >"$work/record.csv"

run convert --record "$record" -o "$(native_path "$work/movies")" "${args[@]}"
check "failed files make the exit status 1" test "$rc" -eq 1
check "the record starts with the UTF-8 byte-order mark" \
    test "$(head -c 3 "$work/record.csv" | od -An -tx1 | tr -d ' ')" = efbbbf
check "every line ends with CR LF" \
    test "$(grep -c $'\r$' "$work/record.csv")" -eq "$(wc -l <"$work/record.csv")"
# One line a row, as a spreadsheet would read them (fields separated by US, \x1f): name, result,
# reason, version, kind, source size, movie size, hash, output.
python3 - "$work/record.csv" >"$work/rows" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")))
assert rows[0][:9] == ["源文件", "结果", "原因", "Flash版本", "类型", "源文件大小", "影片大小", "输出文件", "SHA-256"], rows[0]
for r in rows[1:]:
    assert len(r) == 16, r
    print("\x1f".join([r[0].replace("\\", "/").split("/")[-1], r[1], r[2], r[3], r[4], r[5], r[6], r[8], r[7]]))
PY
check "the record is valid CSV with the header" test -s "$work/rows"
check "one row per file, in order" test "$(cut -d$'\x1f' -f1 "$work/rows" | tr '\n' '|')" = "$(printf '%s|' "${names[@]}")"
while IFS=$'\x1f' read -r name result reason version kind source_size movie_size hash output; do
    case "$name" in
    plain.exe | missing.exe)
        check "$name: 失败 with a reason and no movie" test "$result,$hash,$output" = "失败,," -a -n "$reason"
        ;;
    *)
        movie="$(unix_path "$output")"
        check "$name: 成功" test "$result" = 成功
        check "$name: the hash is sha256sum's" test "$hash" = "$(sha256sum <"$movie" | cut -d' ' -f1)"
        check "$name: sizes" test "$source_size,$movie_size" = "$(stat -c %s "$work/in/$name"),$(stat -c %s "$movie")"
        check "$name: kind FWS" test "$kind" = FWS
        ;;
    esac
done <"$work/rows"
check "the missing file's reason" grep -q $'^missing.exe\x1f失败\x1f找不到源文件' "$work/rows"
check "the Flash 5 projector's version" grep -q $'^小游戏.exe\x1f成功\x1f\x1f5\x1f' "$work/rows"

# A record that cannot be written: reported, exit 1, the movies written all the same.
rm -rf "$work/movies" && mkdir -p "$work/movies"
run convert --record "$(native_path "$work")/no-such-folder/r.csv" -o "$(native_path "$work/movies")" "${args[0]}"
check "an unwritable record makes the exit status 1" test "$rc" -eq 1
check "and is reported" grep -q 'cannot write the record' "$work/err"
check "the movie is written all the same" test -s "$work/movies/a, b.swf"
# The record must never replace a file of the run.
cp "$work/in/a, b.exe" "$work/a-copy"
run convert --record "${args[0]}" -o "$(native_path "$work/movies")" "${args[0]}"
check "a record over a source is refused" test "$rc" -eq 1
check "the source is intact" cmp -s "$work/in/a, b.exe" "$work/a-copy"

# The movie table of movies.py: `info` on each .swf and projector, and the record's columns after
# SHA-256 for the projectors, give the table's facts; a movie that is not whole is converted all
# the same with a warning; the same movie twice in one batch is named as a duplicate.
movie_facts() {
    local dir="$work/facts" sep
    sep="$([[ "$cli" == *.exe ]] && echo '\' || echo /)"
    mkdir -p "$dir/copy" "$dir/out"
    python3 "$(dirname "$0")/movies.py" "$dir" | sort >"$work/facts.expected"
    cp "$dir/plain.exe" "$dir/copy/plain.exe"
    local names=() swfs=() exes=()
    for n in $(cut -f1 "$work/facts.expected"); do
        names+=("$n")
        swfs+=("$(native_path "$dir")$sep$n.swf")
        exes+=("$(native_path "$dir")$sep$n.exe")
    done
    run info --any-version "${swfs[@]}" "${exes[@]}" "$(native_path "$work/in")${sep}plain.exe"
    check "info: a file without a movie makes the exit status 1" test "$rc" -eq 1
    check "info: and is named with the reason" grep -q 'plain.exe: 不是可识别的放映器' "$work/err"
    local got
    got="$(sed -E 's/^[^\t]*[\\/]([^\\/\t]+)\.(swf|exe)\t/\1\t/' "$work/out" | sort)"
    check "info: every .swf and projector gives the table's facts" \
        test "$got" = "$(sed 'p' "$work/facts.expected" | sort)"
    run convert --any-version --record "$(native_path "$work")${sep}facts.csv" -o "$(native_path "$dir/out")" \
        "${exes[@]}" "$(native_path "$dir/copy")${sep}plain.exe"
    check "convert: movies that are not whole are converted (exit 0)" test "$rc" -eq 0
    check "convert: a warning for each movie that is not whole" \
        test "$(grep -c ': 警告：' "$work/err")" -eq "$(grep -vc $'\tok$' "$work/facts.expected")"
    python3 - "$work/facts.csv" >"$work/facts.rows" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")))
assert rows[0][8:] == ["SHA-256", "宽度", "高度", "帧频", "帧数", "ActionScript 3", "完整性", "重复"], rows[0]
for r in rows[1:]:
    name = r[0].replace("\\", "/").split("/")[-1][:-4]
    print("\t".join([name, r[4], r[3]] + r[9:13] + [{"是": "AS3", "否": "AS1/2"}[r[13]],
                     "ok" if r[14] == "完整" else r[14], r[15].replace("\\", "/").split("/")[-1]]))
PY
    check "record: every projector gives the table's facts, the copy names the first" \
        test "$(sort "$work/facts.rows")" = "$({ sed 's/$/\t/' "$work/facts.expected"
            grep '^plain' "$work/facts.expected" | sed 's/$/\tplain.swf/'; } | sort)"
}
movie_facts

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
