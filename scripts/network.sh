#!/usr/bin/env bash
# Runs a small DF network on a private MQTT broker: builds the station, starts
# Mosquitto on a free loopback port, runs every station of the scenario
# (default: scenarios/default.json, one sender and three receivers around two
# emitters) side by side in real time, lets the sender hand its frequencies
# over as the scenario says, and prints one line per station: when it was
# tuned, and its bearings published, acknowledged by the broker and lost.
# NETWORK_SECONDS sets the length of the run (default 30); NETWORK_BROKER_OUTAGE
# ("AT:SECONDS", e.g. 12:5) kills the broker AT seconds into the run and starts
# it again on the same port SECONDS later. Each station's output folder is kept
# in a temporary folder named at the start.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/broker.sh

scenario=$(realpath "${1:-scenarios/default.json}")
seconds=${NETWORK_SECONDS:-30}

scripts/deps.sh --with-network
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target kvtstation ZodClient >/dev/null

stations=$(jq -r '.stations[].name' "$scenario") || { echo "network: cannot read $scenario" >&2; exit 2; }
work=$(mktemp -d /tmp/kvt-network-XXXXXX)
broker_pid=
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "$broker_pid" ] && kill "$broker_pid" 2>/dev/null || true
}
trap cleanup EXIT

start_broker "$work"
[ -n "$broker_pid" ] || { echo "network: no broker could be started" >&2; exit 1; }
echo "broker on 127.0.0.1:$port; $seconds s of $scenario; output in $work"

for name in $stations; do
    mkdir -p "$work/$name/config"
    build/tools/kvtstation/kvtstation --config-dir "$work/$name/config" --output-dir "$work/$name" \
        --scenario "$scenario" --station "$name" --seconds "$seconds" --realtime --json \
        --mqtt "127.0.0.1:$port" >"$work/$name/summary.json" 2>"$work/$name/stderr.txt" &
    pids+=($!)
done

if [ -n "${NETWORK_BROKER_OUTAGE:-}" ]; then
    sleep "${NETWORK_BROKER_OUTAGE%%:*}"
    kill -9 "$broker_pid"
    wait "$broker_pid" 2>/dev/null || true
    echo "broker killed; back in ${NETWORK_BROKER_OUTAGE##*:} s"
    sleep "${NETWORK_BROKER_OUTAGE##*:}"
    mosquitto -c "$work/mosquitto.conf" >>"$work/mosquitto.log" 2>&1 &
    broker_pid=$!
fi

status=0
i=0
for name in $stations; do
    code=0
    wait "${pids[$i]}" || code=$?
    i=$((i + 1))
    [ "$code" -eq 0 ] || status=1
    jq -r --arg code "$code" '
        def pad(n): if length < n then . + (" " * (n - length)) else . end;
        (.deliveries[] | select(.name == "broker")) as $broker
        | [(.scenario.station | pad(10)), (.scenario.role | pad(8)),
           (if (.scenario.tunings | length) == 0 then "never tuned"
            else "tuned " + ([.scenario.tunings[] | "\(.frequency / 1e6) MHz at \(.at) s"] | join(", ")) end
            | pad(48)),
           "published \($broker.offered), acknowledged \($broker.delivered), lost \($broker.lost)",
           "exit \($code)"]
        | join("  ")' "$work/$name/summary.json" || { echo "$name: no summary (exit $code)"; status=1; }
done
pids=()
exit $status
