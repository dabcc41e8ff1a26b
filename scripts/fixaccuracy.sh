#!/usr/bin/env bash
# Measures the accuracy goals of the position fixes (docs/fixes.md): for each
# geometry, fault model and seed, SECONDS of synthesised bearings through
# kvtfix --evaluate, one line per emitter with its fixes, median and
# 95th-percentile error, the Cramer-Rao bound, their ratio, the ellipse
# coverage, the windows with a fix of the emitter's windows and the ghost
# fixes. The fault models are written into a copy of each scenario (every
# station gets them): clean; wild10 and wild25 (that share of bearings
# uniform over the circle); reflect10 (10 % of a reflection, each station
# its own offset from 15 to 40 degrees, alternately left and right).
# Builds kvtfix in Release in build-bench.
#
# Usage: scripts/fixaccuracy.sh [SECONDS [SEEDS...]]   (default 36000, seeds 1 2 3)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-36000}
shift || true
seeds=${*:-1 2 3}

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKVT_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build-bench --target kvtfix -j"$(nproc)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# faulted SCENARIO FAULT: writes the scenario with the fault model and prints its path.
faulted() {
    python3 - "$1" "$2" "$work/$(basename "$1" .json)-$2.json" <<'PY'
import json, sys
source, fault, target = sys.argv[1:]
scenario = json.load(open(source))
stations = scenario["stations"]
for i, station in enumerate(stations):
    if fault.startswith("wild"):
        station["faults"] = {"wild": int(fault[4:]) / 100.0}
    elif fault == "reflect10":
        offset = 15.0 + 25.0 * i / max(1, len(stations) - 1)
        station["faults"] = {"reflection": 0.1, "reflectionOffset": offset if i % 2 == 0 else -offset}
json.dump(scenario, open(target, "w"))
print(target)
PY
}

# run NAME FAULT SCENARIO [KVTFIX OPTIONS...]
run() {
    local name=$1 fault=$2 scenario=$3
    shift 3
    for seed in $seeds; do
        build-bench/tools/kvtfix/kvtfix --scenario "$(faulted "$scenario" "$fault")" --simulate "$seconds" \
                --seed "$seed" --evaluate "$@" 2>/dev/null |
            awk -v s="$name" -v f="$fault" -v seed="$seed" '/^E[0-9]/ { printf "%-13s %-9s %4s %s\n", s, f, seed, $0 }'
    done
}

echo "scenario      fault     seed emitter  fixes   median m    95% m   bound m   ratio  coverage  found/windows  ghosts"
for scenario in default longbaseline collinear ring coast; do
    for fault in clean wild10 reflect10 wild25; do
        run $scenario $fault scenarios/$scenario.json
    done
done
for fault in clean wild10 reflect10; do
    run sharedchannel $fault scenarios/sharedchannel.json
done
# One car alone: five minutes of its track per fix.
run vehicle clean scenarios/vehicle.json --window 60 --max-age 300
run vehicle wild10 scenarios/vehicle.json --window 60 --max-age 300
