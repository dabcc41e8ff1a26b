#!/usr/bin/env bash
# Builds the library and runs the simulated DF station for ten simulated
# seconds on its built-in default station, with a polar plot of the bearings.
# Extra arguments replace these defaults and go to the station
# (for example --report for the capability report, --help for all).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)"
if [ $# -eq 0 ]; then
    set -- --seconds 10 --plot kvtstation-output/bearings.png
fi
exec build/tools/kvtstation/kvtstation "$@"
