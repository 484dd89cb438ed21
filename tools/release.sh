#!/usr/bin/env bash
# Makes the release packages into dist/, on a bare Debian 12 machine too (installs what it needs):
#   dist/Quenlor-<version>-win64.zip       Quenlor.exe, quenlor-cli.exe, 使用说明.txt, LICENSE, SHA256SUMS
#   dist/quenlor-cli_<version>_amd64.deb   /usr/bin/quenlor-cli and its man page
# Reproducible: the same commit gives the same bytes, wherever the checkout lies. Times come from
# the last commit (SOURCE_DATE_EPOCH), paths are mapped away, and the zip's entries are sorted.
# The version is the one in CMakeLists.txt. QUENLOR_JOBS sets the build's parallelism.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup.sh

# The time of the last commit, unless the caller states one.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null)" || {
        echo "release: not a git checkout: set SOURCE_DATE_EPOCH to the sources' time" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
# Zip entries carry local time, and file names are UTF-8: the same on every machine.
export TZ=UTC LC_ALL=C.UTF-8
umask 022
# Every object compiled here, none taken from a cache.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
jobs="${QUENLOR_JOBS:-$(nproc)}"

# package NAME CMAKE_ARGS...: configures build-release/NAME, builds the release targets, packs.
package() {
    local dir="$root/build-release/$1"
    shift
    echo "=== release: $(basename "$dir")"
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENLOR_TESTS=OFF \
        -DQUENLOR_RELEASE=ON -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= "$@" >/dev/null
    cmake --build "$dir" -j "$jobs" --target quenlor-release
    rm -rf "$dir/packages"
    (cd "$dir" && cpack >/dev/null)
}

package win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
package linux

rm -rf dist
mkdir dist
cp build-release/win/packages/*.zip build-release/linux/packages/*.deb dist/
# CPack writes the zip's entries in the order the file system lists them: sort them, and give
# every entry the commit's time and plain modes.
strip-nondeterminism --type zip --timestamp "$SOURCE_DATE_EPOCH" dist/*.zip
(cd dist && sha256sum -- * && ls -l)
