#!/usr/bin/env bash
# The Windows module must be the file Kelvra_FolderFeed.dll and export exactly
# create at ordinal 1 and destory at ordinal 2, nothing else: hosts may bind
# by name or by ordinal.
#   check_def_exports.sh <objdump> <dll>
set -euo pipefail
objdump="$1"
dll="$2"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ "$(basename "$dll")" = "Kelvra_FolderFeed.dll" ] || fail "the file is $(basename "$dll"), not Kelvra_FolderFeed.dll"

dump="$("$objdump" -p "$dll")"

# The export directory's own name, which the import libraries of hosts carry.
name="$(awk '/^Name[ \t]/ && /\.dll/ {print $NF; exit}' <<<"$dump")"
[ "$name" = "Kelvra_FolderFeed.dll" ] || fail "the export directory names '${name}'"

# Every entry of the address table, named or not, is an export.
slots="$(awk '/^Export Address Table -- /{on=1; next} on && /^$/{exit} on && /Export RVA|Forwarder RVA/{n++} END{print n+0}' <<<"$dump")"

# objdump lists each name with its ordinal; older versions print it less the
# ordinal base (and say so by leaving the base out of the heading).
exports="$(awk '
    /^Ordinal Base[ \t]/ {base = $NF}
    /^\[Ordinal\/Name Pointer\] Table/ {on = 1; biased = /Ordinal Base/; next}
    on && /^$/ {exit}
    on {
        ordinal = $0; sub(/^[ \t]*\[ */, "", ordinal); sub(/\].*$/, "", ordinal)
        print (biased ? ordinal : ordinal + base), $NF
    }' <<<"$dump" | sort -n)"

expected=$'1 create\n2 destory'
if [ "$exports" != "$expected" ] || [ "$slots" != 2 ]; then
    echo "expected exports (ordinal name):" >&2
    echo "$expected" >&2
    echo "found ($slots address table entries):" >&2
    echo "${exports:-<none>}" >&2
    fail "$(basename "$dll") has the wrong export table"
fi
echo "$(basename "$dll"): exports create @1 and destory @2, nothing else"
