#!/usr/bin/env bash
# libtiff for Windows x64 as a static library, with zlib (deflate) and the
# codecs that need nothing else; OpenCV links it into its imgcodecs DLL.
# Debian's OpenCV sources carry no bundled libtiff, hence this build.
#   build-tiff.sh SOURCE_DIR BUILD_DIR PREFIX
set -euo pipefail
source="$1"
build="$2"
prefix="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
sysroot=/usr/x86_64-w64-mingw32

cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="${root}/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF \
    -DZLIB_INCLUDE_DIR="${sysroot}/include" \
    -DZLIB_LIBRARY="${sysroot}/lib/libz.a" \
    -Dzlib=ON -Dpixarlog=ON \
    -Dlibdeflate=OFF -Djpeg=OFF -Dold-jpeg=OFF -Djbig=OFF -Dlerc=OFF \
    -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dcxx=OFF \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
cmake --install "$build" >/dev/null
