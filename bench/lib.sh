# Sourced by the benchmark scripts: where their builds go, how they are made, and the median.
# QUENLOR_BENCH_WIN_BUILD names a Windows build to use instead of building build-bench-win.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"
wbuild="${QUENLOR_BENCH_WIN_BUILD:-$root/build-bench-win}"
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

build_native() {  # build_native TARGET... : the Release build of these native targets
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENLOR_TESTS=OFF >/dev/null
    cmake --build "$build" --target "$@" >/dev/null
}
build_windows() {  # build_windows TARGET... : the same for Windows
    if [ -z "${QUENLOR_BENCH_WIN_BUILD:-}" ]; then
        cmake -S "$root" -B "$wbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENLOR_TESTS=OFF \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
    fi
    cmake --build "$wbuild" --target "$@" >/dev/null
}
median() {  # median of the numbers on standard input
    sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}
