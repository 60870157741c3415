#!/usr/bin/env bash
# The versions of a source package that apt lists, newest first, one a line.
#   source-versions.sh PACKAGE
set -euo pipefail
package="$1"

mapfile -t versions < <(apt-cache showsrc "$package" 2>/dev/null |
    awk -v package="$package" '
        /^Package:/ {mine = ($2 == package)}
        mine && /^Version:/ {print $2}' | sort -u)

# Debian's version order (epochs, "~", "+debNuM"), which sort -V does not know.
for ((i = 1; i < ${#versions[@]}; i++)); do
    for ((j = i; j > 0; j--)); do
        dpkg --compare-versions "${versions[j]}" gt "${versions[j - 1]}" || break
        newer="${versions[j]}"
        versions[j]="${versions[j - 1]}"
        versions[j - 1]="$newer"
    done
done
[ ${#versions[@]} -eq 0 ] || printf '%s\n' "${versions[@]}"
