#!/bin/sh
# Peak resident memory of the simulated station, a short run against a full
# simulated day, without and with the polar plot (GNU time's maximum RSS):
#   bench/stationmemory.sh build-bench/tools/kvtstation/kvtstation [short] [long]
# Prints a table and the ratio long/short per row; the station keeps
# aggregates only, so the ratio stays near 1.
set -eu
program=$1
short=${2:-10}
long=${3:-86400}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/cfg"

# peak SECONDS [ARGUMENTS...]: the run's maximum RSS in KiB.
peak() {
    seconds=$1
    shift
    /usr/bin/time -f %M -o "$dir/rss" "$program" --config-dir "$dir/cfg" --output-dir "$dir/out" \
        --seconds "$seconds" "$@" > /dev/null 2> "$dir/err" || { cat "$dir/err" >&2; exit 1; }
    rm -rf "$dir/out"
    cat "$dir/rss"
}

echo "| run | ${short} s: peak RSS KiB | ${long} s: peak RSS KiB | ratio |"
echo "|---|---|---|---|"
for plot in no yes; do
    if [ "$plot" = yes ]; then set -- --plot "$dir/plot.png"; else set --; fi
    a=$(peak "$short" "$@")
    b=$(peak "$long" "$@")
    echo "| plot: $plot | $a | $b | $(awk "BEGIN { printf \"%.3f\", $b / $a }") |"
done
