#!/usr/bin/env bash
# Installs what the test command needs beyond building and running: the build
# and run packages (scripts/install-deps.sh), the test libraries and the tools
# of the checks in scripts/checks/, plus any packages named as arguments.
set -euo pipefail
cd "$(dirname "$0")/.."

test_tools=(
    libgtest-dev libgmock-dev
    # The fuzz targets (libFuzzer and the sanitizer runtimes); clang-format for
    # formatting changed files.
    clang libclang-rt-14-dev clang-format
    # nm for the export check, setpriv for tests that drop privileges.
    binutils util-linux file
    # The soak's memcheck run.
    valgrind
    # Image files from writers other than OpenCV, and hostile ones made with
    # zlib (tests/hardening).
    imagemagick libtiff-tools python3-tifffile zlib1g-dev
    # The Windows cross check: mingw-w64 builds the walkers and their tests for
    # Windows x64, Wine runs them (scripts/checks/windows-cross.sh).
    mingw-w64 wine64
)
exec scripts/install-deps.sh "${test_tools[@]}" "$@"
