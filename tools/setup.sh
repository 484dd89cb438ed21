#!/usr/bin/env bash
# Installs everything the build, the tests and the release packages need on a bare Debian 12
# machine. Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest bc time python3 libssl-dev
    zlib1g-dev liblzma-dev libz-mingw-w64-dev
    g++-mingw-w64-x86-64-posix
    wine wine64 xvfb x11-utils xdotool imagemagick fonts-wqy-microhei fonts-wine openbox
    git dpkg-dev file strip-nondeterminism unzip
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "setup: ${missing[*]} must be installed, which needs root: run this command as root or through sudo." >&2
            exit 1
        fi
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        "${missing[@]}" >/dev/null
fi
