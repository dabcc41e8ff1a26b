#!/usr/bin/env bash
# Builds the library and runs the capability report on its built-in default
# station. Extra arguments go to the report.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)"
exec build/tools/kvtreport/kvtreport "$@"
