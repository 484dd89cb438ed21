#!/usr/bin/env bash
# Builds everything and runs every test, on a bare Debian 12 machine too:
#   1. native build: core, command-line front end, core and CLI tests (CTest)
#   2. the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   3. Windows build (MinGW-w64): Quenlor.exe and every test, run under Wine with an Xvfb display
#   4. the release packages (tools/release.sh) built in two clean clones of HEAD and checked: the
#      zip's programs under Wine, the .deb installed, and the two builds byte for byte the same
#   5. the scan fuzzer for a bounded time (QUENLOR_FUZZ_SECONDS, default 60)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup.sh || exit 1

jobs="${QUENLOR_JOBS:-$(nproc)}"
passed=0
failed=0
summary=()

# run_ctest NAME BUILD_DIR [CTEST ARGS...]: runs CTest, adds its counts to the totals.
run_ctest() {
    local name="$1" dir="$2"
    shift 2
    local log
    log="$(mktemp)"
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
    local line total bad
    line="$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)"
    rm -f "$log"
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        summary+=("$name: no test ran")
        return
    fi
    total="$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")"
    bad="$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    summary+=("$name: $line")
}

# build NAME DIR CMAKE_ARGS...: configures and builds; a failed build counts as a failed test.
build() {
    local name="$1" dir="$2"
    shift 2
    echo "=== build: $name"
    if cmake -S "$root" -B "$dir" -G Ninja -DQUENLOR_TESTS=ON "$@" >/dev/null && cmake --build "$dir" -j "$jobs"; then
        return 0
    fi
    failed=$((failed + 1))
    summary+=("$name: BUILD FAILED")
    return 1
}

if build native build; then
    run_ctest native build -j "$jobs"
fi

if build sanitizers build-asan -DQUENLOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug; then
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest sanitizers build-asan -j "$jobs"
fi

if build windows build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"; then
    # Window tests move the pointer and take the focus: one at a time.
    run_ctest windows build-win -j 1
    "$root/tools/wine-env-stop.sh" >/dev/null 2>&1 || true
fi

echo "=== release packages"
native_cli="$root/build/src/cli/quenlor-cli" probe_exe="$root/build-win/tests/ui/quenlor_probe.exe"
if [ -x "$native_cli" ] && [ -f "$probe_exe" ]; then
    log="$(mktemp)"
    QUENLOR_JOBS="$jobs" bash tests/release/packages.sh "$native_cli" "$root/build/demo" "$probe_exe" \
        2>&1 | tee "$log"
    "$root/tools/wine-env-stop.sh" >/dev/null 2>&1 || true
    line="$(grep -E '^release checks: [0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)"
    rm -f "$log"
    if [ -n "$line" ]; then
        read -r _ _ good _ bad _ <<<"$line"
        passed=$((passed + good))
        failed=$((failed + bad))
        summary+=("release: $line")
    else
        failed=$((failed + 1))
        summary+=("release: no check ran")
    fi
else
    failed=$((failed + 1))
    summary+=("release: not checked (needs the native and the Windows build)")
fi

echo "=== fuzz: signature scan"
if tools/fuzz.sh "${QUENLOR_FUZZ_SECONDS:-60}"; then
    passed=$((passed + 1))
    summary+=("fuzz: no finding")
else
    failed=$((failed + 1))
    summary+=("fuzz: FAILED")
fi

echo
printf '%s\n' "${summary[@]}"
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
