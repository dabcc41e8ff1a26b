#!/usr/bin/env bash
# The restart measurements of docs/network.md ("Consumers: losing nothing"):
# 20 stations x 50 bearings/s on a locked broker with the settings of
# scripts/network.sh, kvtfix following in its persistent session with its
# record, and
#   broker-kill   the broker killed (SIGKILL) for 5 s, saving every second
#   broker-term   the broker stopped with SIGTERM (it saves) for 5 s
#   broker-save   killed, but saving after every change (autosave_on_changes)
#   kvtfix-kill   kvtfix killed (SIGKILL) and started again 3 s later
#   away-kill     kvtfix killed at 18 s for 10 s, the broker killed at 20 s for 5 s
#   away-term     the same with the broker stopped by SIGTERM
# Runs the cases given as arguments (default: all), each with
# bench/brokerloadbench, and prints each one's account. RESTARTLOAD_SECONDS
# sets the length of a run (default 45; the outage comes at 20 s).
# RESTARTLOAD_BUILD_DIR names an existing build folder (benchmarks and tests on).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${RESTARTLOAD_BUILD_DIR:-build-rel}
seconds=${RESTARTLOAD_SECONDS:-45}
if [ -z "${RESTARTLOAD_BUILD_DIR:-}" ]; then
    scripts/deps.sh --with-network
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DKVT_BUILD_BENCHMARKS=ON >/dev/null
fi
cmake --build "$build" -j2 --target brokerloadbench kvtfix >/dev/null

common=(--seconds "$seconds" --persistent --locked --kvtfix "$build/tools/kvtfix/kvtfix"
    --broker-line "max_queued_messages 100000" --broker-line "max_packet_size 16384"
    --broker-line "set_tcp_nodelay true" --subscriber-max-delay 250)
status=0
for case in "${@:-broker-kill broker-term broker-save kvtfix-kill away-kill away-term}"; do
    for one in $case; do
        echo "== $one (load average $(cut -d' ' -f1-3 /proc/loadavg))"
        case $one in
            broker-kill) extra=(--kill-at 20 --outage 5) ;;
            broker-term) extra=(--kill-at 20 --outage 5 --stop-cleanly) ;;
            broker-save) extra=(--kill-at 20 --outage 5 --broker-line "autosave_on_changes true") ;;
            kvtfix-kill) extra=(--kill-kvtfix-at 20 --kvtfix-outage 3) ;;
            away-kill) extra=(--kill-kvtfix-at 18 --kvtfix-outage 10 --kill-at 20 --outage 5) ;;
            away-term) extra=(--kill-kvtfix-at 18 --kvtfix-outage 10 --kill-at 20 --outage 5 --stop-cleanly) ;;
            *) echo "restartload: unknown case $one" >&2; exit 2 ;;
        esac
        "$build/bench/brokerloadbench" "${common[@]}" "${extra[@]}" || status=1
    done
done
exit $status
