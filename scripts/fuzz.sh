#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/fuzz_<name>.cpp) with clang in
# build-fuzz and runs each for SECONDS seconds on a copy of its seed corpus
# (fuzz/corpus/<name>). Stops at the first crash, leak, hang or broken
# property; the input that did it is left as build-fuzz/findings/<name>/crash-*
# (or leak-*, timeout-*). Prints libFuzzer's "Done N runs" line per target.
#
# Environment: FUZZ_TARGETS="inifile options" runs only those targets;
# FUZZ_TIMEOUT (seconds per input, default 10) and FUZZ_MAX_LEN (bytes,
# default 8192) bound one input, so super-linear work shows up as a timeout.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: scripts/fuzz.sh SECONDS}
timeout=${FUZZ_TIMEOUT:-10}
max_len=${FUZZ_MAX_LEN:-8192}

scripts/deps.sh --with-fuzzers
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DBUILD_TESTING=OFF -DKVT_BUILD_FUZZERS=ON ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
cmake --build build-fuzz --target kvt_fuzzers -j"$(nproc)"

targets=${FUZZ_TARGETS:-$(ls fuzz/fuzz_*.cpp | sed 's|fuzz/fuzz_\(.*\)\.cpp|\1|')}
# The store writes every change to disk; a memory file system keeps the
# configuration-file targets fast. Each run works on its own corpus copy,
# so the checked-in seeds stay small.
export TMPDIR=${TMPDIR:-$( [ -w /dev/shm ] && echo /dev/shm || echo /tmp )}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for name in $targets; do
    # Absolute: a target may change its current directory while it runs.
    corpus=$PWD/build-fuzz/corpus/$name
    findings=$PWD/build-fuzz/findings/$name
    mkdir -p "$corpus" "$findings"
    cp -n fuzz/corpus/"$name"/* "$corpus"/
    echo "== fuzz_$name: $seconds s"
    log=build-fuzz/findings/$name.log
    if ! build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout="$timeout" -max_len="$max_len" \
            -print_final_stats=1 -artifact_prefix="$findings"/ "$corpus" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz_$name FAILED; input and log in $findings" >&2
        exit 1
    fi
    grep -E '^Done [0-9]+ runs' "$log"
    grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb' "$log" | tr '\n' ' '
    echo
done
