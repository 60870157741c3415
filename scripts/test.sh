#!/usr/bin/env bash
# The whole test suite, from a fresh Debian machine: installs what is missing
# (build packages and test tools, scripts/install-test-tools.sh),
# then builds and tests the normal, ASan+UBSan and TSan configurations, then
# runs the extra checks in scripts/checks/ (each a script of its own).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-test-tools.sh

for preset in default asan tsan; do
    echo "== ${preset}: build"
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}"
    echo "== ${preset}: test"
    # No test found means GoogleTest was missing at configuration: a failure.
    ctest --preset "${preset}" --no-tests=error
done

shopt -s nullglob
for check in scripts/checks/*.sh; do
    echo "== check: $(basename "${check}" .sh)"
    bash "${check}"
done
echo "== all tests passed"
