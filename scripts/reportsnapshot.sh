#!/bin/sh
# Writes the capability report of every device type for a spread of option
# sets into one directory, so two builds can be compared with `diff -r`:
#   scripts/reportsnapshot.sh build-before/tools/kvtreport/kvtreport /tmp/before
#   scripts/reportsnapshot.sh build-after/tools/kvtreport/kvtreport /tmp/after
#   diff -r /tmp/before /tmp/after
# Option sets: none, each code alone, all codes, and all codes but one.
set -eu
report=$1
out=$2
mkdir -p "$out"
codes="KVT-CL KVT-DR KVT-GSM KVT-HFR KVT-LF KVT-TS KVTQ-WB KVTQ-SR KVTN-HF KVTN-HBW KVTN-SR KVTN-WB
KVTU-HFR KVTU-HF KVTU-HBW KVTP1-4C KVT-TRA KVT-SSL KVTQ-MC KVTQ-REM KVTN-MC KVTN-REM"
all=$(echo $codes | tr ' ' ';')
# One fixed configuration directory, emptied for every run: its path is part
# of the report, so two snapshots only compare equal when it is the same.
dir=${TMPDIR:-/tmp}/reportsnapshot-config
run() { # type name options
    rm -rf "$dir" && mkdir -p "$dir"
    QT_QPA_PLATFORM=offscreen "$report" --config-dir "$dir" --type "$1" --options "$3" --json \
        > "$out/$1-$2.json" 2>&1 || echo "exit $?" >> "$out/$1-$2.json"
    QT_QPA_PLATFORM=offscreen "$report" --config-dir "$dir" --type "$1" --options "$3" \
        > "$out/$1-$2.txt" 2>&1 || echo "exit $?" >> "$out/$1-$2.txt"
    rm -rf "$dir"
}
for type in KVTQ1 KVTN1 KVTU1 KVTP1 KVTW1; do
    run "$type" none ""
    run "$type" all "$all"
    for code in $codes; do
        run "$type" "only-$code" "$code"
        run "$type" "without-$code" "$(echo $codes | tr ' ' '\n' | grep -vx -- "$code" | tr '\n' ';')"
    done
done
