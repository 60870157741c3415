#!/usr/bin/env bash
# Installs the Debian packages that building the module and the folderfeed
# program, and running them, need, plus any packages named as arguments; only
# those that are missing. Quiet when everything is already there.
#
#   scripts/install-deps.sh                 what the main job (scripts/replay.sh) needs
#   scripts/install-deps.sh PACKAGE...      that, and these packages too
#
# The test tools (GoogleTest, valgrind, clang, mingw-w64, Wine, ...) are in
# scripts/install-test-tools.sh, which the test command runs.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev
    # OpenCV's component packages only: the meta package pulls in ~130 more.
    libopencv-core-dev libopencv-imgcodecs-dev libopencv-imgproc-dev
    libcli11-dev
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
