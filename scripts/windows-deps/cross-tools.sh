#!/usr/bin/env bash
# Makes a folder of mingw-w64 tools under their plain names in which gcc and
# g++ are the posix threads variant. Debian's plain x86_64-w64-mingw32-g++
# is the win32 threads one, whose runtime lacks std::thread and std::mutex;
# Qt's build takes its compilers as CROSS_COMPILE + "g++".
#   cross-tools.sh DIR      (then CROSS_COMPILE=DIR/x86_64-w64-mingw32-)
set -euo pipefail
dir="$1"
triplet=x86_64-w64-mingw32

mkdir -p "$dir"
for tool in gcc g++ c++ cpp gcc-ar gcc-nm gcc-ranlib; do
    target="$(command -v "${triplet}-${tool}-posix")" || {
        echo "windows deps: ${triplet}-${tool}-posix is missing (Debian package mingw-w64)" >&2
        exit 1
    }
    ln -sfn "$target" "${dir}/${triplet}-${tool}"
done
for tool in ar as dlltool ld nm objcopy objdump ranlib strip windres; do
    ln -sfn "$(command -v "${triplet}-${tool}")" "${dir}/${triplet}-${tool}"
done
