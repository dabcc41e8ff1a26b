#!/usr/bin/env bash
# The network with the world outside it, live: the simulated stations of
# scenarios/interop.json and two DF receivers bridged in (RxA, RxB: kvtdfreplay
# plays them as receivers that serve their current bearing as XML over HTTP,
# kvtbridge polls them) on one private broker; kvtfix fixes all of them and
# publishes the fixes on the broker and as Cursor-on-Target over UDP; a broker
# subscriber (kvtfixwatch) and a CoT listener count what arrives. Prints per bridge and
# station its account, the fixes made, received on the broker and as CoT, and
# the latency from the arrival of the bearing that closes a window to the
# arrival of that window's fix (p50/p99 over the windows). The broker is
# locked down as in scripts/network.sh: every program logs in, the stations
# and bridges with their names, kvtfix as kvtfix, the subscriber as console.
# INTEROP_SECONDS sets the length (default 60), INTEROP_WINDOW kvtfix's window
# (default 5 s); INTEROP_BUILD names a build folder to use as it is (default:
# build/, configured for Release).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/broker.sh

scenario=$(realpath scenarios/interop.json)
seconds=${INTEROP_SECONDS:-60}
window=${INTEROP_WINDOW:-5}
build=${INTEROP_BUILD:-build}
targets=(kvtstation ZodClient kvtfix kvtfixwatch kvtbridge kvtdfreplay)

scripts/deps.sh --with-network
if [ -z "${INTEROP_BUILD:-}" ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >/dev/null

work=$(mktemp -d /tmp/kvt-interop-XXXXXX)
broker_pid=
pids=()
helpers=()
cleanup() {
    for pid in "${pids[@]}" "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "$broker_pid" ] && kill "$broker_pid" 2>/dev/null || true
}
trap cleanup EXIT

lock_broker "$work" North West South East RxA RxB kvtfix console
start_broker "$work"
[ -n "$broker_pid" ] || { echo "interop: no broker could be started" >&2; exit 1; }
echo "broker on 127.0.0.1:$port; $seconds s of $scenario; output in $work"

# Waits for the first line of a helper's output file (its port).
first_line() {
    for wait in $(seq 100); do
        [ -s "$1" ] && { head -1 "$1"; return; }
        sleep 0.1
    done
    echo "interop: $1 stayed empty" >&2
    exit 1
}

mkdir -p "$work/receivers"
python3 tests/interop/dfreceiver.py "$work/receivers" >"$work/receiver.port" &
helpers+=($!)
receiver_port=$(first_line "$work/receiver.port")

# The CoT listener: one line per datagram, its arrival time and the event's uid.
python3 -u -c '
import re, socket, sys, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1], flush=True)
while True:
    data = s.recv(65536)
    uid = re.search(rb"uid=\"([^\"]*)\"", data)
    print("%.6f %s" % (time.time(), uid.group(1).decode() if uid else "?"), flush=True)
' >"$work/cot.txt" &
helpers+=($!)
cot_port=$(first_line "$work/cot.txt")

"$build/tools/kvtfix/kvtfixwatch" --mqtt "127.0.0.1:$port" --bearings \
    --mqtt-user console --mqtt-password-file "$work/console.password" >"$work/broker.txt" 2>"$work/watch.txt" &
watch_pid=$!
helpers+=($watch_pid)

"$build/tools/kvtfix/kvtfix" --mqtt "127.0.0.1:$port" --publish --cot "udp://127.0.0.1:$cot_port" \
    --mqtt-user kvtfix --mqtt-password-file "$work/kvtfix.password" \
    --scenario "$scenario" --window "$window" --json >"$work/fixes.jsonl" 2>"$work/kvtfix.txt" &
fix_pid=$!
sleep 1

for name in North West South East; do
    mkdir -p "$work/$name/config/application"
    printf 'ZodUserName=%s\nZodPassword=%s\n' "$name" "$(cat "$work/$name.password")" \
        >"$work/$name/config/application/Application.ini"
    "$build/tools/kvtstation/kvtstation" --config-dir "$work/$name/config" --output-dir "$work/$name" \
        --scenario "$scenario" --station "$name" --seconds "$seconds" --realtime --json \
        --mqtt "127.0.0.1:$port" >"$work/$name/summary.json" 2>"$work/$name/stderr.txt" &
    pids+=($!)
done
for name in RxA RxB; do
    "$build/tools/kvtbridge/kvtdfreplay" --scenario "$scenario" --station "$name" --frequency 145500000 \
        --seconds "$seconds" --output "$work/receivers/$name.xml" 2>"$work/$name-replay.txt" &
    pids+=($!)
    "$build/tools/kvtbridge/kvtbridge" --receiver "http://127.0.0.1:$receiver_port/$name.xml" --station "$name" \
        --sigma 2 --mqtt "127.0.0.1:$port" --mqtt-user "$name" --mqtt-password-file "$work/$name.password" --interval 100 --seconds "$((seconds + 2))" --json \
        >"$work/$name.json" 2>"$work/$name-bridge.txt" &
    pids+=($!)
done

status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
pids=()
# The last fixes travel on; then kvtfix settles its outputs and says its accounts.
sleep 2
kill -TERM "$fix_pid"
wait "$fix_pid" || true
sleep 0.5
kill -TERM "$watch_pid"
wait "$watch_pid" || true

for name in RxA RxB; do
    jq -r '"\(.station)  bridge: documents \(.bridge.documents), bearings \(.bridge.published), repeated \(.bridge.repeated), unreadable \(.bridge.garbage); polls failed \(.polls.failures); broker: offered \(.broker.offered), delivered \(.broker.delivered), lost \(.broker.lost)"' \
        "$work/$name.json" || status=1
done
for name in North West South East; do
    jq -r '(.deliveries[] | select(.name == "broker")) as $b
           | "\(.scenario.station)  station: published \($b.offered), acknowledged \($b.delivered), lost \($b.lost)"' \
        "$work/$name/summary.json" || status=1
done
grep '^kvtfix: ' "$work/kvtfix.txt" | grep -v 'connected to' || true
cat "$work/watch.txt"
python3 scripts/interoplatency.py "$work/fixes.jsonl" "$work/broker.txt" "$work/cot.txt" || status=1
exit $status
