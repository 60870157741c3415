#!/usr/bin/env bash
# The main job: replays a recording through the module as a host does and
# writes a contact sheet of what the host got.
#
#   scripts/replay.sh                    sample recording (written once to
#                                        out/sample-recording), every camera
#   scripts/replay.sh ROOT CAMERA [...]  your recording, one camera; further
#                                        arguments go to `folderfeed replay`
#
# Installs what is missing and builds the module and the program first.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -eq 1 ]; then
    echo "usage: scripts/replay.sh [ROOT CAMERA [folderfeed replay options]]" >&2
    exit 2
fi

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target folderfeed >/dev/null

folderfeed=build/default/BaseModules/Kelvra_FolderFeed/folderfeed
mkdir -p out/sheets

if [ $# -ge 2 ]; then
    root=$1
    camera=$2
    shift 2
    sheet="out/sheets/${camera}.png"
    "${folderfeed}" replay "${root}" --camera "${camera}" --sheet "${sheet}" "$@"
    exit
fi

sample=out/sample-recording
# The program writes a recording whole or not at all.
[ -d "${sample}" ] || "${folderfeed}" sample "${sample}"
for camera in camera1 camera2 camera3P camera3N; do
    echo "== ${camera}"
    "${folderfeed}" replay "${sample}" --camera "${camera}" --sheet "out/sheets/${camera}.png" --quiet
done
