#!/usr/bin/env bash
# Builds everything with gcov instrumentation in build-coverage, runs every
# test and prints line and branch coverage per source folder (gcovr).
# The full per-file report, with the uncovered lines and branches, is left in
# build-coverage/coverage.txt (and coverage.json) for docs/coverage.md.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh --with-coverage
flags=--coverage
cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DCMAKE_MODULE_LINKER_FLAGS="$flags" \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
cmake --build build-coverage -j"$(nproc)"

find build-coverage -name '*.gcda' -delete
QT_QPA_PLATFORM=offscreen ctest --test-dir build-coverage -j"$(nproc)" --timeout 600 --output-on-failure || true

# Only the project's own sources count; tests, generated moc files and the
# fuzz programs do not. Branches the compiler adds for exceptions are left out.
# (The build folder is given as search path, not as --object-directory, so
# that gcovr runs gcov where each object was compiled.)
gcovr_args=(--root . --exclude 'tests/' --exclude 'fuzz/' --exclude 'bench/' --exclude 'build-coverage/'
            --exclude-throw-branches --exclude-unreachable-branches)
gcovr "${gcovr_args[@]}" --branches --txt build-coverage/coverage.txt --json build-coverage/coverage.json build-coverage

python3 - build-coverage/coverage.json <<'PY'
import collections, json, os, sys
totals = collections.defaultdict(lambda: [0, 0, 0, 0])
for f in json.load(open(sys.argv[1]))["files"]:
    folder = os.path.dirname(f["file"]) or "."
    t = totals[folder]
    for line in f["lines"]:
        if line.get("gcovr/noncode"):
            continue
        t[0] += 1
        t[1] += line["count"] > 0
        for branch in line["branches"]:
            t[2] += 1
            t[3] += branch["count"] > 0
def pct(hit, total):
    return f"{100.0 * hit / total:5.1f}%" if total else "  n/a "
print(f"{'folder':52} {'lines':>16} {'branches':>16}")
all_ = [0, 0, 0, 0]
for folder in sorted(totals):
    t = totals[folder]
    all_ = [a + b for a, b in zip(all_, t)]
    print(f"{folder:52} {pct(t[1], t[0])} {t[1]:4}/{t[0]:<5} {pct(t[3], t[2])} {t[3]:4}/{t[2]:<5}")
print(f"{'total':52} {pct(all_[1], all_[0])} {all_[1]:4}/{all_[0]:<5} {pct(all_[3], all_[2])} {all_[3]:4}/{all_[2]:<5}")
PY
