#!/usr/bin/env bash
# Qt 5 Core, OpenCV (core, imgproc, imgcodecs) and libtiff for Windows x64,
# built with mingw-w64 from Debian's source packages and installed into one
# prefix, with the compiler's runtime DLLs beside them. The prefix is cached
# outside the clone, keyed by the three source versions and a hash of these
# scripts, so that later runs on the same machine take seconds.
#   build.sh        prints the prefix's path as its last line
# FOLDERFEED_WINDOWS_CACHE moves the cache (default /var/cache/kelvra-folderfeed/windows).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "${here}/../.." && pwd)"
cache="${FOLDERFEED_WINDOWS_CACHE:-/var/cache/kelvra-folderfeed/windows}"
packages=(opencv qtbase-opensource-src tiff)

log() { echo "windows deps: $*" >&2; }

"${here}/apt-sources.sh"
mkdir -p "$cache"

# Everything that decides what the build makes, besides the source versions.
scriptsHash="$(
    {
        cat "${here}"/*.sh "${root}/cmake/mingw-w64.cmake"
        dpkg-query -W -f='${Package} ${Version}\n' \
            g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev 2>/dev/null
    } | sha256sum | cut -c1-12
)"

keyOf() { # opencv-version qtbase-version tiff-version
    echo "opencv-${1//:/_}_qtbase-${2//:/_}_tiff-${3//:/_}_${scriptsHash}"
}

# One build at a time per machine; a second run waits and then finds the cache.
exec 9>"${cache}/.lock"
flock 9

# The newest listed versions first, as the download would pick them; an
# older one may have been built where a newer one did not download.
declare -A listed
for package in "${packages[@]}"; do
    listed[$package]="$("${here}/source-versions.sh" "$package" | tr '\n' ' ')"
    [ -n "${listed[$package]// /}" ] || {
        log "apt lists no source package ${package}"
        exit 1
    }
done
for opencv in ${listed[opencv]}; do
    for qtbase in ${listed[qtbase-opensource-src]}; do
        for tiff in ${listed[tiff]}; do
            dir="${cache}/$(keyOf "$opencv" "$qtbase" "$tiff")"
            if [ -f "${dir}/.complete" ]; then
                touch "${dir}/.complete"
                log "cached: ${dir}"
                echo "${dir}/prefix"
                exit 0
            fi
        done
    done
done

started=$SECONDS
work="${cache}/work"
rm -rf "$work"
mkdir -p "$work"
declare -A version
for package in "${packages[@]}"; do
    version[$package]="$("${here}/fetch-source.sh" "$package" "${cache}/sources" "${work}/${package}")"
    log "source ${package} ${version[$package]}"
done
dir="${cache}/$(keyOf "${version[opencv]}" "${version[qtbase-opensource-src]}" "${version[tiff]}")"
prefix="${dir}/prefix"
rm -rf "$dir"
mkdir -p "$dir"

"${here}/cross-tools.sh" "${work}/cross-tools"
log "building libtiff"
"${here}/build-tiff.sh" "${work}/tiff" "${work}/build-tiff" "$prefix"
log "building OpenCV ($((SECONDS - started)) s so far)"
"${here}/build-opencv.sh" "${work}/opencv" "${work}/build-opencv" "$prefix"
log "building Qt ($((SECONDS - started)) s so far)"
"${here}/build-qt.sh" "${work}/qtbase-opensource-src" "${work}/build-qt" "$prefix" "${work}/cross-tools"

# The C++ runtime that Qt, OpenCV, the module and its hosts share: one
# libstdc++ for the std::vector<cv::Mat> and the exceptions that cross DLLs.
runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
cp "${runtime}/libstdc++-6.dll" "${runtime}/libgcc_s_seh-1.dll" \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "${prefix}/bin/"

for package in "${packages[@]}"; do
    echo "${package} ${version[$package]}"
done >"${dir}/versions"
touch "${dir}/.complete"
rm -rf "$work"
log "built in $((SECONDS - started)) s: ${dir} ($(du -sh "$prefix" | cut -f1))"

# Prefixes of other script versions that no run has used for two weeks.
find "$cache" -mindepth 2 -maxdepth 2 -name .complete -mtime +14 -printf '%h\n' |
    while read -r old; do
        [ "$old" = "$dir" ] || rm -rf "$old"
    done
echo "$prefix"
