#!/usr/bin/env bash
# The whole test suite, from a fresh Debian machine: installs what is missing,
# then builds and tests the normal, ASan+UBSan and TSan configurations, then
# runs the extra checks in scripts/checks/ (each a script of its own).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in default asan tsan; do
    echo "== ${preset}: build"
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}"
    echo "== ${preset}: test"
    ctest --preset "${preset}"
done

shopt -s nullglob
for check in scripts/checks/*.sh; do
    echo "== check: $(basename "${check}" .sh)"
    bash "${check}"
done
echo "== all tests passed"
