#!/usr/bin/env bash
# Fuzz check: builds the libFuzzer targets in build/fuzz (clang, ASan+UBSan),
# then runs each from its seed corpus in fuzz/corpus/<target>/ for a short
# fixed time. Every seed is replayed first, so a seed that fails fails here.
# New inputs go to build/fuzz/runs/<target>/corpus; a failing input is kept in
# build/fuzz/runs/<target>/ as crash-*, oom-*, leak-* or timeout-*.
#
#   FUZZ_SECONDS   run time per target (default 20)
#   FUZZ_CXX       the clang++ to build with (default clang++-14, else clang++)
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${FUZZ_SECONDS:-20}"
compiler="${FUZZ_CXX:-$(command -v clang++-14 || command -v clang++)}"
build=build/fuzz

cmake -S . -B "${build}" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="${compiler}" \
    -DFOLDERFEED_SANITIZE=address,undefined \
    -DFOLDERFEED_BUILD_FUZZERS=ON \
    -DFOLDERFEED_BUILD_TESTS=OFF >/dev/null
cmake --build "${build}" -j2 --target fuzz_param fuzz_capture

# The decoders report damaged files on stderr; the fuzzer's own lines are
# what matters here.
export OPENCV_LOG_LEVEL=SILENT
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

for target in param capture; do
    run="${build}/runs/${target}"
    rm -rf "${run}"
    mkdir -p "${run}/corpus"
    options=(-max_total_time="${seconds}" -rss_limit_mb=2048 -malloc_limit_mb=2048 -timeout=10
             -print_final_stats=1 -artifact_prefix="${run}/")
    if [[ -f "fuzz/${target}.dict" ]]; then
        options+=(-dict="fuzz/${target}.dict")
    fi
    echo "fuzz_${target}: ${seconds} s from fuzz/corpus/${target}"
    if ! "${build}/fuzz/fuzz_${target}" "${options[@]}" "${run}/corpus" "fuzz/corpus/${target}" \
        >"${run}/log.txt" 2>&1; then
        grep -v -e '^\[' -e '^imread_' -e '^libpng' "${run}/log.txt" | tail -n 60
        echo "fuzz_${target}: FAILED; input and log kept in ${run}/" >&2
        exit 1
    fi
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::(number_of_executed_units|peak_rss_mb))' "${run}/log.txt"
done
