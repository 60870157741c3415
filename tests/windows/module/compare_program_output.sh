#!/usr/bin/env bash
# folderfeed.exe under Wine must do what the Linux folderfeed does. On the
# same recording both must print the same on standard output and standard
# error, with the same exit status: replay (one pass and a second round) and
# inspect for each camera, and two errors. Times differ from run to run and
# are masked; paths are compared relative to the recording's root, with
# either separator. The recording is the Linux program's sample plus a folder
# of files that inspect warns about. And the sample recordings that both
# write must be the same bytes.
#   compare_program_output.sh LINUX_FOLDERFEED WINE FOLDERFEED_EXE WINDOWS_DLL_DIR WORK_DIR
set -euo pipefail
linuxProgram="$1"
wine="$2"
windowsProgram="$3"
dllDir="$4"
work="$5"

windowsPath() { # a Linux path as Wine shows it
    local path="Z:$1"
    printf '%s' "${path//\//\\}"
}

rm -rf "$work"
mkdir -p "$work"
recording="${work}/recording"
"$linuxProgram" sample "$recording" --captures 3 --width 64 --height 64 >/dev/null
# What users trip over, in a capture folder of its own.
odd="${recording}/zz_odd"
mkdir -p "${odd}/camera3P_folder_bmp"
cp "$(find "$recording" -name '*camera2*.bmp' | head -1)" "${odd}/camera2_extra.bmp"
cp "$(find "$recording" -name '*camera2*.tiff' | head -1)" "${odd}/camera2_extra.tif"
cp "$(find "$recording" -name '*camera3N*.bmp' | head -1)" "${odd}/Camera3N_other_case.bmp"
cp "$(find "$recording" -name '*camera3P*.bmp' | head -1)" "${odd}/camera3P_last.BMP"
printf 'not an image' >"${odd}/camera3P_junk.bmp"

# Folders whose DLLs folderfeed.exe and the module need (Qt, OpenCV, the C++ runtime).
export WINEPATH
WINEPATH="$(windowsPath "$dllDir")"
windowsRoot="$(windowsPath "$recording")"

# Output as compared: no carriage returns, times masked, the root and the
# path separators in one form.
normalized() { # root
    local root="$1"
    # The root through the environment: awk -v would read its backslashes as escapes.
    tr -d '\r' | ROOT_TEXT="$root" awk '
        BEGIN {root = ENVIRON["ROOT_TEXT"]}
        {
            while ((i = index($0, root)) > 0) $0 = substr($0, 1, i - 1) "ROOT" substr($0, i + length(root))
            gsub(/\\/, "/")
            gsub(/[0-9]+\.[0-9]+ ms/, "T ms")
            gsub(/in [0-9]+\.[0-9]+ s \([0-9]+\.[0-9]+ captures\/s\)/, "in T s (T captures/s)")
            print
        }'
}

failures=0
compare() { # name, then the command's arguments after the program
    local name="$1"
    shift
    local linuxStatus=0 windowsStatus=0
    "$linuxProgram" "${@//@ROOT@/$recording}" >"${work}/${name}.linux.out" 2>"${work}/${name}.linux.err" ||
        linuxStatus=$?
    "$wine" "$windowsProgram" "${@//@ROOT@/$windowsRoot}" >"${work}/${name}.windows.out" \
        2>"${work}/${name}.windows.err" || windowsStatus=$?
    # Standard output, then standard error (error lines, inspect's warnings).
    for side in linux windows; do
        local root="$recording"
        [ "$side" = windows ] && root="$windowsRoot"
        {
            cat "${work}/${name}.${side}.out"
            echo "-- standard error --"
            cat "${work}/${name}.${side}.err"
        } | normalized "$root" >"${work}/${name}.${side}.txt"
    done
    if [ "$(wc -l <"${work}/${name}.linux.txt")" -le 1 ]; then
        echo "FAIL ${name}: the Linux program printed nothing (status ${linuxStatus})" >&2
        failures=$((failures + 1))
    elif [ "$linuxStatus" != "$windowsStatus" ] ||
        ! diff -u "${work}/${name}.linux.txt" "${work}/${name}.windows.txt" >"${work}/${name}.diff"; then
        echo "FAIL ${name}: exit status Linux ${linuxStatus}, Windows ${windowsStatus}" >&2
        cat "${work}/${name}.diff" >&2
        failures=$((failures + 1))
    else
        echo "same: ${name} ($(wc -l <"${work}/${name}.linux.txt") lines, exit status ${linuxStatus})"
    fi
}

for camera in camera1 camera2 camera3P camera3N; do
    compare "replay-${camera}" replay @ROOT@ --camera "$camera" --quiet
    compare "replay-${camera}-two-rounds" replay @ROOT@ --camera "$camera" --quiet --captures 9
    compare "inspect-${camera}" inspect @ROOT@ --camera "$camera"
done
compare "replay-rejected-param" replay --param "camera2,x,1" --quiet
compare "replay-missing-root" replay "@ROOT@/missing" --camera camera2 --quiet

# The sample recording that folderfeed.exe writes (BMP and TIFF, text drawn
# by OpenCV) must be the Linux program's, byte for byte.
"$linuxProgram" sample "${work}/sample.linux" --captures 2 --width 64 --height 64 >/dev/null
"$wine" "$windowsProgram" sample "$(windowsPath "${work}/sample.windows")" --captures 2 --width 64 --height 64 >/dev/null
fileHashes() { (cd "$1" && find . -type f | LC_ALL=C sort | xargs sha256sum); }
if [ "$(fileHashes "${work}/sample.linux" | wc -l)" -eq 0 ] ||
    ! diff -u <(fileHashes "${work}/sample.linux") <(fileHashes "${work}/sample.windows") >&2; then
    echo "FAIL sample: folderfeed.exe wrote other files than the Linux program" >&2
    failures=$((failures + 1))
else
    echo "same: sample ($(fileHashes "${work}/sample.linux" | wc -l) files, byte for byte)"
fi

[ "$failures" -eq 0 ] || {
    echo "FAIL: ${failures} of the folderfeed.exe runs differ from the Linux program's (files in ${work})" >&2
    exit 1
}
