#!/usr/bin/env bash
# Downloads a Debian source package through apt and unpacks it with Debian's
# own patches applied. Tries the versions that the archive lists, newest
# first, and takes the first that downloads: an archive may list a version
# whose files it no longer serves.
#   fetch-source.sh PACKAGE DOWNLOADS_DIR UNPACK_DIR
# Prints the version it unpacked. Downloads are kept in DOWNLOADS_DIR/<package>_<version>/.
set -euo pipefail
package="$1"
downloads="$2"
unpackDir="$3"

here="$(dirname "$0")"
mapfile -t versions < <("$here/source-versions.sh" "$package")
if [ ${#versions[@]} -eq 0 ]; then
    echo "windows deps: apt lists no source package ${package}" >&2
    exit 1
fi

for version in "${versions[@]}"; do
    folder="${downloads}/${package}_${version//:/_}"
    if [ ! -f "${folder}/.complete" ]; then
        rm -rf "$folder"
        mkdir -p "$folder"
        # apt downloads as its own user where it can write.
        if id _apt >/dev/null 2>&1; then
            chown _apt "$folder"
        fi
        if ! (cd "$folder" && apt-get source --download-only -qq "${package}=${version}") \
                >"${folder}.log" 2>&1; then
            echo "windows deps: ${package} ${version} does not download, trying an older version:" >&2
            grep -E '^E:' "${folder}.log" | head -3 >&2 || true
            rm -rf "$folder"
            continue
        fi
        touch "${folder}/.complete"
    fi
    rm -rf "$unpackDir"
    dsc="$(ls "$folder"/*.dsc)"
    dpkg-source -x "$dsc" "$unpackDir" >"${folder}.unpack.log" 2>&1 || {
        cat "${folder}.unpack.log" >&2
        exit 1
    }
    echo "$version"
    exit 0
done
echo "windows deps: no listed version of ${package} downloads (${versions[*]})" >&2
exit 1
