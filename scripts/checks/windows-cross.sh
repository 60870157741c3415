#!/usr/bin/env bash
# The Windows build, checked on Linux with mingw-w64 and Wine:
#  - Qt 5 Core, OpenCV and libtiff for Windows x64, built from Debian's source
#    packages into a prefix cached outside the clone (scripts/windows-deps/);
#  - the project itself for Windows with that prefix, through its own
#    CMakeLists: Kelvra_FolderFeed.dll and folderfeed.exe (build/windows-dll);
#  - the Windows tests (tests/windows, build/windows) under Wine: the walker
#    tests, the host tests that load the real DLL with LoadLibrary,
#    folderfeed.exe against the Linux program, and the export tables of the
#    real DLL and of one linked from the module-definition file alone.
set -euo pipefail
cd "$(dirname "$0")/../.."
started=$SECONDS

# What the Qt, OpenCV and libtiff builds need besides the test command's own.
scripts/install-deps.sh libz-mingw-w64-dev dpkg-dev make perl xz-utils bzip2

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
    echo "SKIP windows-cross: x86_64-w64-mingw32-g++-posix is not installed (Debian package mingw-w64)"
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
    echo "SKIP windows-cross: wine64 is not installed (Debian package wine64); the Windows programs are built, and only the export tables are checked"
fi

# A build folder configured with another toolchain file keeps it: start anew.
configureFresh() { # build folder, toolchain file
    if [ -f "$1/CMakeCache.txt" ] && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$2" "$1/CMakeCache.txt" &&
        ! grep -qxF "CMAKE_TOOLCHAIN_FILE:UNINITIALIZED=$2" "$1/CMakeCache.txt"; then
        rm -rf "$1"
    fi
}
toolchain="$PWD/cmake/mingw-w64-deps.cmake"

echo "-- Qt, OpenCV and libtiff for Windows"
prefix="$(scripts/windows-deps/build.sh | tail -1)"
echo "   ${prefix} ($((SECONDS - started)) s)"

echo "-- Kelvra_FolderFeed.dll and folderfeed.exe"
dllBuild=build/windows-dll
configureFresh "$dllBuild" "$toolchain"
# The program's CLI11 headers, copied so that no other header of the build
# machine's /usr/include comes into the Windows build.
cli11="$PWD/${dllBuild}/cli11"
rm -rf "$cli11"
mkdir -p "${cli11}/include"
cp -r /usr/include/CLI "${cli11}/include/"
cmake -S . -B "$dllBuild" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DFOLDERFEED_WINDOWS_PREFIXES="${prefix};${cli11}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFOLDERFEED_BUILD_TESTS=OFF \
    -DFOLDERFEED_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$dllBuild" -j2 --target Kelvra_FolderFeed folderfeed
moduleDir="$PWD/${dllBuild}/BaseModules/Kelvra_FolderFeed"

echo "-- the Linux folderfeed, to compare folderfeed.exe with"
cmake --preset default >/dev/null
cmake --build --preset default --target folderfeed
linuxProgram="$PWD/build/default/BaseModules/Kelvra_FolderFeed/folderfeed"

echo "-- the Windows tests"
build=build/windows
configureFresh "$build" "$toolchain"
# The test list is read by running the host tests under Wine while building.
export WINEPREFIX="$PWD/${build}/wine-prefix" WINEDEBUG=-all
cmake -S tests/windows -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DFOLDERFEED_WINDOWS_PREFIXES="$prefix" \
    -DFOLDERFEED_WINDOWS_MODULE_DIR="$moduleDir" \
    -DFOLDERFEED_LINUX_PROGRAM="$linuxProgram" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
if [ -n "$wine" ]; then
    # Let this prefix's Wine server end before the next check starts.
    "$(dirname "$wine")/wineserver" -w 2>/dev/null || true
fi
echo "-- windows-cross done in $((SECONDS - started)) s"
