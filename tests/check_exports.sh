#!/usr/bin/env bash
# The module library must define exactly two dynamic symbols, the functions
# create and destory; everything else stays hidden inside it.
set -euo pipefail
library="$1"
defined=$(nm -D --defined-only "$library" | awk '{print $2, $3}' | sort)
expected=$'T create\nT destory'
if [ "$defined" != "$expected" ]; then
    echo "unexpected dynamic symbols in $library:" >&2
    echo "$defined" >&2
    exit 1
fi
echo "exports: create, destory"
