#!/usr/bin/env bash
# Runs a Windows program under Wine as the host tests need it: in the test
# build's Wine prefix, finding the DLLs of Qt, OpenCV and the C++ runtime in
# DLL_DIR, with Wine's own diagnostics off. Windows programs end their lines
# with CR LF; the CRs are dropped from standard output, so that ctest reads
# the test list as it reads a Linux program's.
#   run-under-wine.sh WINE WINE_PREFIX DLL_DIR PROGRAM [ARGUMENTS...]
set -euo pipefail
wine="$1"
export WINEPREFIX="$2"
dllDir="$3"
shift 3

export WINEDEBUG=-all
export WINEPATH="Z:${dllDir//\//\\}"
"$wine" "$@" | tr -d '\r'
