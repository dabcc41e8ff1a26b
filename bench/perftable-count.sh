#!/bin/sh
# Instruction counts per step for every row of perftable, from callgrind:
#   bench/perftable-count.sh build-rel/bench/perftable [steps] [filter]
# Each side runs `steps` steps between a zeroing and a dump of the counters;
# the dump's instruction total divided by the steps is printed.
set -eu
program=$1
steps=${2:-1000}
filter=${3:-}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$dir/cg.out" "$program" --count "$steps" "$filter" > /dev/null 2> "$dir/log" ||
    { cat "$dir/log" >&2; exit 1; }
echo "| side | instructions per step |"
echo "|---|---|"
for f in $(ls "$dir"/cg.out.* | sort -V); do
    name=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")
    total=$(sed -n 's/^summary: //p' "$f")
    [ -n "$name" ] && echo "| $name | $((total / steps)) |"
done
