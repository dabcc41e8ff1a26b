#!/usr/bin/env bash
# Builds everything with warnings as errors under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DKVT_WERROR=ON -DKVT_SANITIZE=ON
cmake --build build-ci -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-ci --output-on-failure -j"$(nproc)" --timeout 600

# A short fuzz run over every parser (scripts/fuzz.sh; clang is installed when
# missing). FUZZ_SECONDS sets the time per target; 0 skips the run.
if [ "${FUZZ_SECONDS:-20}" != 0 ]; then
    scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
fi
