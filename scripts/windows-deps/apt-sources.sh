#!/usr/bin/env bash
# Makes apt list source packages from the archives that this machine already
# installs binary packages from: a deb-src entry for every enabled deb entry,
# with the same archive, suites, components and signing key, in a file of its
# own. Then updates the lists if they hold no source package yet.
#   apt-sources.sh            (as root, or with sudo)
set -euo pipefail

listFile=/etc/apt/sources.list.d/kelvra-folderfeed-deb-src.sources
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# deb822 stanzas of *.sources files: keeps the fields that name the archive,
# drops the rest; a stanza that already lists deb-src needs no copy.
fromDeb822() {
    awk '
        function flush() {
            if (types ~ /(^|[ \t])deb([ \t]|$)/ && types !~ /deb-src/ && enabled !~ /^[ \t]*no/ && uris != "") {
                printf "Types: deb-src\nURIs:%s\nSuites:%s\n", uris, suites
                if (components != "") printf "Components:%s\n", components
                if (signedBy != "") printf "Signed-By:%s\n", signedBy
                printf "\n"
            }
            types = uris = suites = components = signedBy = enabled = ""
        }
        /^[ \t]*#/ {next}
        /^[ \t]*$/ {flush(); next}
        {
            field = $0; sub(/:.*/, "", field); value = $0; sub(/^[^:]*:/, "", value)
            if (field == "Types") types = value
            else if (field == "URIs") uris = value
            else if (field == "Suites") suites = value
            else if (field == "Components") components = value
            else if (field == "Signed-By") signedBy = value
            else if (field == "Enabled") enabled = value
        }
        END {flush()}' "$@"
}

# One-line entries of sources.list files: "deb [options] URI suite components".
fromOneLine() {
    awk '
        /^[ \t]*deb[ \t]/ {
            sub(/^[ \t]*deb/, "deb-src")
            print
        }' "$@"
}

entries=""
shopt -s nullglob
for file in /etc/apt/sources.list.d/*.sources; do
    [ "$file" = "$listFile" ] && continue
    entries+="$(fromDeb822 "$file")"$'\n'
done
lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
for file in "${lists[@]}"; do
    [ -f "$file" ] || continue
    oneLine="$(fromOneLine "$file")"
    if [ -n "$oneLine" ]; then
        # One-line entries become a deb822 stanza each, so that one file holds them all.
        while read -r _ rest; do
            options=""
            if [[ "$rest" == \[* ]]; then
                options="${rest%%]*}"
                options="${options#[}"
                rest="${rest#*] }"
            fi
            read -r uri suite components <<<"$rest"
            entries+="Types: deb-src"$'\n'"URIs: ${uri}"$'\n'"Suites: ${suite}"$'\n'
            [ -n "$components" ] && entries+="Components: ${components}"$'\n'
            signedBy="$(sed -n 's/.*signed-by=\([^ ]*\).*/\1/p' <<<"$options")"
            [ -n "$signedBy" ] && entries+="Signed-By: ${signedBy}"$'\n'
            entries+=$'\n'
        done <<<"$oneLine"
    fi
done

if [ -z "${entries//$'\n'/}" ]; then
    echo "windows deps: no enabled deb entry in /etc/apt/sources.list or /etc/apt/sources.list.d/*.sources" >&2
    exit 1
fi

# Another apt run (another build on this machine) holds the lists' lock for a
# while; wait for it rather than fail.
updateLists() {
    local try
    for try in 1 2 3 4 5 6 7 8 9 10; do
        if $sudo apt-get update -qq >/dev/null; then
            return 0
        fi
        echo "windows deps: apt-get update failed (try ${try} of 10), trying again in 15 s" >&2
        sleep 15
    done
    return 1
}

header="# Written by scripts/windows-deps/apt-sources.sh: the source packages of the
# archives above, for the Windows cross build of Qt, OpenCV and libtiff."
wanted="${header}"$'\n\n'"${entries}"
if [ ! -f "$listFile" ] || [ "$(cat "$listFile")" != "$(printf '%s' "$wanted")" ]; then
    printf '%s' "$wanted" | $sudo tee "$listFile" >/dev/null
    updateLists
elif ! apt-cache showsrc tiff 2>/dev/null | grep -q '^Version:'; then
    updateLists
fi
