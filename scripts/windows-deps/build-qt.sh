#!/usr/bin/env bash
# Qt 5 Core for Windows x64 as a DLL, with its host tools (qmake, moc, rcc)
# built for this machine: no GUI, widgets, OpenGL, D-Bus or ICU, and the
# network, SQL, XML, test and concurrency modules left out.
#   build-qt.sh SOURCE_DIR BUILD_DIR PREFIX CROSS_TOOLS_DIR
set -euo pipefail
source="$1"
build="$2"
prefix="$3"
crossTools="$4"

mkdir -p "$build"
cd "$build"
"${source}/configure" -prefix "$prefix" \
    -opensource -confirm-license -release -shared \
    -platform linux-g++ -xplatform win32-g++ \
    -device-option CROSS_COMPILE="${crossTools}/x86_64-w64-mingw32-" \
    -nomake examples -nomake tests \
    -no-gui -no-widgets -no-opengl -no-dbus -no-icu -no-openssl \
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-testlib \
    -no-feature-concurrent \
    -qt-zlib -qt-pcre -qt-doubleconversion \
    >configure.log 2>&1 || {
    tail -40 configure.log >&2
    exit 1
}
make -j2 >make.log 2>&1 || {
    grep -E 'error|Error' make.log | head -40 >&2
    exit 1
}
make install >install.log 2>&1 || {
    tail -20 install.log >&2
    exit 1
}
