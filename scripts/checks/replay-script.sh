#!/usr/bin/env bash
# The main job's script: on a user's recording the contact sheet goes to
# out/sheets/<recording>/<camera>.png, beside the recording's name, and the
# sample's sheets in out/sheets/ are left as they were; and it asks apt-get
# for the build and run packages only, never for the test tools. Uses the
# default build, which the test command has built; removes what it wrote.
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
# What the scripts ask apt-get for, on a machine where nothing seems
# installed: stand-ins for dpkg-query, apt-get and sudo log the requests.
shims="${work}/shims"
mkdir -p "${shims}"
printf '#!/bin/sh\nexit 1\n' >"${shims}/dpkg-query"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "${work}/apt-get.log" >"${shims}/apt-get"
printf '#!/bin/sh\nexec "$@"\n' >"${shims}/sudo"
chmod +x "${shims}"/*
requested() {
    rm -f "${work}/apt-get.log"
    PATH="${shims}:${PATH}" "$@" >/dev/null 2>&1
    grep -hE '(^| )install ' "${work}/apt-get.log" | tr ' ' '\n'
}
expect() { # expect WHAT yes|no PACKAGE... <<<"packages"
    local what=$1 wanted=$2 packages
    shift 2
    packages=$(cat)
    for package in "$@"; do
        if grep -qx -- "${package}" <<<"${packages}"; then found=yes; else found=no; fi
        if [ "${found}" != "${wanted}" ]; then
            echo "replay-script: ${what} should$([ "${wanted}" = no ] && echo " not") install ${package}" >&2
            exit 1
        fi
    done
}
main_job=$(requested scripts/replay.sh "${work}/${name}" camera3P --captures 1)
expect "scripts/replay.sh" yes cmake qtbase5-dev libopencv-imgcodecs-dev libcli11-dev <<<"${main_job}"
expect "scripts/replay.sh" no libgtest-dev valgrind clang mingw-w64 wine64 <<<"${main_job}"
extra=$(requested scripts/install-deps.sh libexample-dev)
expect "scripts/install-deps.sh libexample-dev" yes cmake libexample-dev <<<"${extra}"
tests=$(requested scripts/install-test-tools.sh)
expect "scripts/install-test-tools.sh" yes cmake libgtest-dev valgrind clang mingw-w64 wine64 <<<"${tests}"

echo "replay-script: sheets of ${name} went to out/sheets/${name}/, the sample's stayed;" \
    "the main job asks for no test tools"
