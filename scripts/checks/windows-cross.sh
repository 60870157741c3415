#!/usr/bin/env bash
# The Windows build, as far as Debian can check it: cross-compiles the folder
# walk, the pattern listing and the directory search with their tests for
# Windows x64 (mingw-w64), runs the tests under Wine, and checks the export
# table of a DLL linked from the module's module-definition file. Qt and
# OpenCV have no Windows builds on Debian, so the module DLL itself is not
# linked here.
set -euo pipefail
cd "$(dirname "$0")/../.."

if ! command -v x86_64-w64-mingw32-g++ >/dev/null; then
    echo "SKIP windows-cross: x86_64-w64-mingw32-g++ is not installed (Debian package mingw-w64)"
    exit 0
fi
# Debian installs the 64-bit launcher outside the PATH.
wine=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
        wine="$candidate"
        break
    fi
done
if [ -z "$wine" ]; then
    echo "SKIP windows-cross: wine64 is not installed (Debian package wine64); only the export table is checked"
fi

build=build/windows
cmake -S tests/windows -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
# The first Wine start makes the prefix in the build folder, which takes a
# few seconds.
WINEDEBUG=-all ctest --test-dir "$build" --output-on-failure
if [ -n "$wine" ]; then
    # Let this prefix's Wine server end before the next check starts.
    WINEPREFIX="$PWD/$build/wine-prefix" "$(dirname "$wine")/wineserver" -w 2>/dev/null || true
fi
