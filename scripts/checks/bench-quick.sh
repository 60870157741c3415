#!/usr/bin/env bash
# The benchmark on small data, so that it keeps building and running: it must
# finish, check every image it decodes (it fails otherwise) and print a figure
# for every measurement. Times are printed, never judged here.
set -euo pipefail
cd "$(dirname "$0")/../.."

bench=${FOLDERFEED_BENCH:-build/default/bench/folderfeed-bench}
if [[ ! -x "${bench}" ]]; then
    echo "bench-quick: ${bench} is missing; build the default preset first" >&2
    exit 1
fi

output=$("${bench}" --quick 2>/dev/null)
echo "${output}"

# One "key value" line per figure; every measurement must be there.
missing=0
for key in capture.camera1.large.module_over_imread capture.camera2.large.module_over_imread \
    capture.camera1.small.fixed_cost_ms capture.camera2.small.fixed_cost_ms \
    memory.camera1.ratio memory.camera2.ratio \
    walk.module_over_filesystem walk.module_over_find list.module_over_readdir; do
    if ! grep -Eq "^${key} -?[0-9]+(\.[0-9]+)?$" <<<"${output}"; then
        echo "bench-quick: no figure for ${key}" >&2
        missing=1
    fi
done
exit "${missing}"
