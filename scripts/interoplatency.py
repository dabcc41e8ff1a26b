#!/usr/bin/env python3
"""The counts and latencies of scripts/interop.sh: interoplatency.py
FIXES.jsonl BROKER.txt COT.txt, with kvtfix's standard output (one JSON
object per fix and line, then its summary), kvtfixwatch's log ("<unix time> <topic> <payload>" per message,
bearings and fixes) and the CoT listener's ("<unix time> <uid>").

A window's latency runs from the arrival (at the subscriber) of the first
bearing stamped at or after the window's end, which is what closes it, to
the arrival of the window's fix message. Exit 1 when a fix kvtfix made did
not arrive on the broker or as CoT."""
import json
import math
import sys


def percentile(values, fraction):
    """Nearest rank."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(len(ordered) * fraction) - 1)] if ordered else float("nan")


def fix_lines(name):
    """kvtfix's fixes, one compact object a line; its summary at the end is indented over many lines."""
    for line in open(name):
        try:
            fix = json.loads(line)
        except ValueError:
            continue
        if isinstance(fix, dict) and "latitude" in fix:
            yield fix


made = list(fix_lines(sys.argv[1]))
bearings = []
fixes = []
for line in open(sys.argv[2]):
    parts = line.rstrip("\n").split(" ", 2)
    if len(parts) < 3:
        continue
    arrival, topic, payload = float(parts[0]), parts[1], json.loads(parts[2])
    (fixes if topic.startswith("kvt/fixes/") else bearings).append((arrival, payload))
cot = [line.split()[1] for line in open(sys.argv[3]) if len(line.split()) == 2]
cot_fixes = sum(1 for uid in cot if uid.startswith("kvt.fix."))

latencies = []
for arrival, fix in fixes:
    closing = [at for at, bearing in bearings if bearing["time"] >= fix["time"]]
    if closing:
        latencies.append((arrival - min(closing)) * 1000.0)

print(f"fixes made {len(made)}, on the broker {len(fixes)}, as CoT {cot_fixes} ({len(cot)} CoT events); "
      f"bearings on the broker {len(bearings)}")
stations = sorted({line["station"] for _, fix in fixes for line in fix["lines"]})
print("stations in the fixes: " + ", ".join(stations))
if latencies:
    print(f"latency bearing -> fix over {len(latencies)} windows: p50 {percentile(latencies, 0.5):.0f} ms, "
          f"p99 {percentile(latencies, 0.99):.0f} ms, max {max(latencies):.0f} ms")
sys.exit(0 if len(made) == len(fixes) == cot_fixes and made else 1)
