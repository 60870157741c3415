#!/usr/bin/env bash
# The main job: replays a recording through the module as a host does and
# writes a contact sheet of what the host got.
#
#   scripts/replay.sh                    sample recording (written once to
#                                        out/sample-recording), every camera;
#                                        sheets in out/sheets/CAMERA.png
#   scripts/replay.sh ROOT CAMERA [...]  your recording, one camera; the sheet
#                                        goes to out/sheets/NAME/CAMERA.png,
#                                        NAME being the recording's folder
#                                        name; further arguments go to
#                                        `folderfeed replay`
#
# Installs what building and running need (scripts/install-deps.sh) and
# builds the module and the program first.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -eq 1 ]; then
    echo "usage: scripts/replay.sh [ROOT CAMERA [folderfeed replay options]]" >&2
    exit 2
fi

scripts/install-deps.sh
cmake --preset default >/dev/null
# A dry run tells whether there is anything to build. The first build takes
# a minute or more, so it shows its progress; an up-to-date one says nothing.
plan=$(cmake --build --preset default --target folderfeed -- -n)
if [[ "${plan}" != *"no work to do"* ]]; then
    echo "== building the module and folderfeed in build/default" >&2
    cmake --build --preset default --target folderfeed
fi

folderfeed=build/default/BaseModules/Kelvra_FolderFeed/folderfeed

if [ $# -ge 2 ]; then
    root=$1
    camera=$2
    shift 2
    # The sheets of a recording go beside its name, so that replaying one
    # recording never overwrites the sheets of another, the sample's included.
    name=$(basename "$(realpath -m -- "${root}")")
    [ "${name}" = "/" ] && name=root
    ownSheet=1
    for argument in "$@"; do
        case "${argument}" in
        --sheet | --sheet=*) ownSheet=0 ;; # the caller chose where it goes
        esac
    done
    sheet=()
    if [ ${ownSheet} -eq 1 ]; then
        mkdir -p "out/sheets/${name}"
        sheet=(--sheet "out/sheets/${name}/${camera}.png")
    fi
    exec "${folderfeed}" replay "${root}" --camera "${camera}" "${sheet[@]}" "$@"
fi

sample=out/sample-recording
# The program writes a recording whole or not at all.
[ -d "${sample}" ] || "${folderfeed}" sample "${sample}"
mkdir -p out/sheets
for camera in camera1 camera2 camera3P camera3N; do
    echo "== ${camera}"
    "${folderfeed}" replay "${sample}" --camera "${camera}" --sheet "out/sheets/${camera}.png"
done
