#!/usr/bin/env bash
# Soak check, quick form: thousands of create/capture/destory cycles in one
# process with resident memory compared after the warm-up and at the end,
# then a few cycles under valgrind's memcheck, which must report no error and
# no definitely lost block. Uses the soak program of the normal build
# (SOAK_BUILD, default build/default, which the test command builds first).
#
#   SOAK_CYCLES    cycles after the warm-up (default 3000)
set -euo pipefail
cd "$(dirname "$0")/../.."

build="${SOAK_BUILD:-build/default}"
cycles="${SOAK_CYCLES:-3000}"
cmake --build "${build}" --target folderfeed_soak
soak="${build}/tests/hardening/folderfeed_soak"

"${soak}" --cycles "${cycles}" --warmup 300 --max-growth-kb 4096

if ! command -v valgrind >/dev/null; then
    echo "soak: valgrind is missing (scripts/install-test-tools.sh installs it)" >&2
    exit 1
fi
log="${build}/soak-memcheck.log"
if ! valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=30 \
    "${soak}" --cycles 8 --warmup 2 --captures-per-object 2 --max-growth-kb 0 >"${log}" 2>&1; then
    cat "${log}"
    echo "soak: memcheck found errors or definite leaks (log: ${log})" >&2
    exit 1
fi
grep -E 'soak:|definitely lost|ERROR SUMMARY' "${log}"
