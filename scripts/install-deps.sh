#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those that
# are missing. Quiet when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev
    # OpenCV's component packages only: the meta package pulls in ~130 more.
    libopencv-core-dev libopencv-imgcodecs-dev libopencv-imgproc-dev
    libgtest-dev libgmock-dev libcli11-dev
    clang libclang-rt-14-dev clang-format
    binutils util-linux valgrind file
    # The Windows cross check: mingw-w64 builds the walkers and their tests for
    # Windows x64, Wine runs them (scripts/checks/windows-cross.sh).
    mingw-w64 wine64
)
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
