#!/usr/bin/env bash
# Measures the accuracy goals of the position fixes (docs/fixes.md): for each
# scenario and seed, SECONDS of synthesised bearings through kvtfix
# --evaluate, one line per emitter with its fixes, median and 95th-percentile
# error, the Cramer-Rao bound, their ratio and the ellipse coverage. Builds
# kvtfix in Release in build-bench.
#
# Usage: scripts/fixaccuracy.sh [SECONDS [SEEDS...]]   (default 36000, seeds 1 2 3)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-36000}
shift || true
seeds=${*:-1 2 3}

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKVT_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build-bench --target kvtfix -j"$(nproc)" >/dev/null

echo "scenario      seed emitter  fixes   median m    95% m   bound m   ratio  coverage"
for scenario in default longbaseline collinear; do
    for seed in $seeds; do
        build-bench/tools/kvtfix/kvtfix --scenario scenarios/$scenario.json --simulate "$seconds" --seed "$seed" \
                --evaluate 2>/dev/null |
            awk -v s="$scenario" -v seed="$seed" '/^E[0-9]/ { printf "%-13s %4s %s\n", s, seed, $0 }'
    done
done
