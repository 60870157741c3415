#!/usr/bin/env bash
# The main job's script on a user's recording: the contact sheet goes to
# out/sheets/<recording>/<camera>.png, beside the recording's name, and the
# sample's sheets in out/sheets/ are left as they were. Uses the default
# build, which the test command has built; removes what it wrote.
set -euo pipefail
cd "$(dirname "$0")/../.."

folderfeed=build/default/BaseModules/Kelvra_FolderFeed/folderfeed
work=$(mktemp -d)
name="replay-check-$$"
trap 'rm -rf "${work}" "out/sheets/${name}"' EXIT

"${folderfeed}" sample "${work}/${name}" --captures 2 >/dev/null 2>&1
sample_sheets() {
    if compgen -G "out/sheets/*.png" >/dev/null; then
        sha256sum out/sheets/*.png
    fi
}
before=$(sample_sheets)

# A trailing separator must not change the name the sheet goes under.
output=$(scripts/replay.sh "${work}/${name}/" camera2 --captures 3)
sheet="out/sheets/${name}/camera2.png"
if [[ "${output}" != *"3 captures, 6 images"* ]]; then
    echo "replay-script: unexpected output:" >&2
    echo "${output}" >&2
    exit 1
fi
if [ "$(file -b --mime-type "${sheet}" 2>/dev/null)" != "image/png" ]; then
    echo "replay-script: no contact sheet at ${sheet}" >&2
    exit 1
fi
if [ "$(sample_sheets)" != "${before}" ]; then
    echo "replay-script: the sheets in out/sheets/ changed" >&2
    exit 1
fi

# A --sheet of the caller's own replaces the script's.
scripts/replay.sh "${work}/${name}" camera3N --sheet "${work}/own.png" >/dev/null
if [ ! -f "${work}/own.png" ] || [ -e "out/sheets/${name}/camera3N.png" ]; then
    echo "replay-script: the caller's --sheet was not the one written" >&2
    exit 1
fi
echo "replay-script: sheets of ${name} went to out/sheets/${name}/, the sample's stayed"
