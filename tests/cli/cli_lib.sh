# Shared by the command-line tests: sourced after `cli` (the CLI to run) and `work` (a scratch
# folder) are set. A Windows build (cli ending in .exe) runs under Wine, with paths in Windows form.
tools="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)"
failures=0
passes=0

run() {  # run ARGS... : the CLI's stdout in $work/out, stderr in $work/err, exit code in $rc
    if [[ "$cli" == *.exe ]]; then
        "$tools/wine-run" "$cli" "$@" >"$work/out" 2>"$work/err"
    else
        "$cli" "$@" >"$work/out" 2>"$work/err"
    fi
    rc=$?
    tr -d '\r' <"$work/out" >"$work/out.n" && mv "$work/out.n" "$work/out"
    tr -d '\r' <"$work/err" >"$work/err.n" && mv "$work/err.n" "$work/err"
}
native_path() {  # the path as the CLI spells it
    if [[ "$cli" == *.exe ]]; then winepath -w "$1" 2>/dev/null; else echo "$1"; fi
}
check() {  # check DESCRIPTION CONDITION...
    local what="$1"
    shift
    if "$@"; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAIL: $what" >&2
        echo "  stdout: $(cat "$work/out")" >&2
        echo "  stderr: $(cat "$work/err")" >&2
    fi
}
