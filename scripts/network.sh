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
#
# NETWORK_BUILD_DIR names an existing build folder to use instead of a Release
# build in build/.
#
# The broker is locked down as docs/network.md's Security section describes:
# no anonymous clients, a generated password per station (user name = station
# name) and for the consumers "kvtfix" and "console", an access list bound to
# the user names, persistence and a message size limit. NETWORK_TLS=1 makes the
# stations connect to a second, TLS listener with a CA and server certificate
# made by openssl in the run's folder. kvtfix follows the bearings live
# (persistent session) and prints its summary when the stations are done.
# NETWORK_ROGUE=1 lets two rogue clients try to retune the receivers (see below);
# NETWORK_ROGUE=flood lets a rogue send 20 000 retained FRQ values in North's
# name. NETWORK_OPEN=1 runs the broker open instead, as it must never run in
# the field: anonymous clients, no access list (for comparison only).
set -euo pipefail
cd "$(dirname "$0")/.."

scenario=$(realpath "${1:-scenarios/default.json}")
seconds=${NETWORK_SECONDS:-30}
open=${NETWORK_OPEN:-0}

scripts/deps.sh --with-network
build=${NETWORK_BUILD_DIR:-build}
[ -n "${NETWORK_BUILD_DIR:-}" ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target kvtstation ZodClient kvtfix >/dev/null

stations=$(jq -r '.stations[].name' "$scenario") || { echo "network: cannot read $scenario" >&2; exit 2; }
work=$(mktemp -d /tmp/kvt-network-XXXXXX)
broker="$work/broker"
mkdir -p "$broker"
broker_pid=
fix_pid=
pids=()
cleanup() {
    for pid in "${pids[@]}" $fix_pid; do kill "$pid" 2>/dev/null || true; done
    [ -n "$broker_pid" ] && kill "$broker_pid" 2>/dev/null || true
}
trap cleanup EXIT

# One password per login, made here and kept only in the run's folder.
. scripts/broker.sh
# shellcheck disable=SC2086
lock_broker "$broker" $stations kvtfix console

umask 077
if [ "${NETWORK_TLS:-0}" = 1 ]; then
    # Elliptic-curve keys: made in milliseconds. The server certificate names 127.0.0.1.
    newkey=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
    openssl req -x509 "${newkey[@]}" -keyout "$broker/ca.key" -out "$broker/ca.pem" -days 2 \
        -subj "/CN=kvt network CA" 2>/dev/null
    openssl req "${newkey[@]}" -keyout "$broker/server.key" -out "$broker/server.csr" -subj "/CN=127.0.0.1" 2>/dev/null
    echo "subjectAltName=IP:127.0.0.1" >"$broker/server.ext"
    openssl x509 -req -in "$broker/server.csr" -CA "$broker/ca.pem" -CAkey "$broker/ca.key" -CAcreateserial \
        -out "$broker/server.pem" -days 2 -extfile "$broker/server.ext" 2>/dev/null
fi
umask 022

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
# A port found free may be taken before the broker binds it: try a few.
for attempt in $(seq 20); do
    port=$((20000 + RANDOM % 30000))
    tls_port=$((port + 1))
    {
        echo "per_listener_settings false"
        echo "listener $port 127.0.0.1"
        [ "${NETWORK_TLS:-0}" = 1 ] && printf 'listener %s 127.0.0.1\ncafile %s\ncertfile %s\nkeyfile %s\n' \
            "$tls_port" "$broker/ca.pem" "$broker/server.pem" "$broker/server.key"
        # Started as root, the broker would switch to its own user, which may not read the run's folder.
        echo "user $(id -un)"
        if [ "$open" = 1 ]; then
            echo "allow_anonymous true"
        else
            echo "allow_anonymous false"
            echo "password_file $broker/passwords"
            echo "acl_file $broker/acl"
        fi
        echo "persistence true"
        echo "persistence_location $broker/"
        echo "autosave_interval 1"
        echo "max_queued_messages 100000"
        echo "max_packet_size 16384"
        echo "set_tcp_nodelay true"
        echo "log_dest stderr"
        echo "log_type error"
        echo "log_type warning"
        echo "log_type notice"
        echo "log_type information"
        echo "log_type debug"
    } >"$broker/mosquitto.conf"
    mosquitto -c "$broker/mosquitto.conf" >"$broker/mosquitto.log" 2>&1 &
    broker_pid=$!
    for wait in $(seq 50); do
        if listening "$port" && { [ "${NETWORK_TLS:-0}" != 1 ] || listening "$tls_port"; }; then break 2; fi
        kill -0 "$broker_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$broker_pid" 2>/dev/null || true
    broker_pid=
done
[ -n "$broker_pid" ] || { echo "network: no broker could be started" >&2; exit 1; }
station_port=$port
[ "${NETWORK_TLS:-0}" = 1 ] && station_port=$tls_port
echo "broker on 127.0.0.1:$station_port$([ "${NETWORK_TLS:-0}" = 1 ] && echo " (TLS)"); $seconds s of $scenario; output in $work"

mkdir -p "$work/kvtfix"
fix_login=(--mqtt-user kvtfix --mqtt-password-file "$broker/kvtfix.password")
[ "$open" = 1 ] && fix_login=()
"$build/tools/kvtfix/kvtfix" --mqtt "127.0.0.1:$station_port" "${fix_login[@]}" --json \
    $([ "${NETWORK_TLS:-0}" = 1 ] && echo "--mqtt-ca $broker/ca.pem") \
    >"$work/kvtfix/output.jsonl" 2>"$work/kvtfix/stderr.txt" &
fix_pid=$!
# The session takes what comes after its subscription: the stations start once kvtfix is in.
for wait in $(seq 100); do
    grep -q "connected to" "$work/kvtfix/stderr.txt" && break
    sleep 0.1
done
sleep 0.5

for name in $stations; do
    mkdir -p "$work/$name/config/application"
    {
        if [ "$open" != 1 ]; then
            echo "ZodUserName=$name"
            echo "ZodPassword=$(cat "$broker/$name.password")"
        fi
        [ "${NETWORK_TLS:-0}" = 1 ] && echo "ZodCaFile=$broker/ca.pem"
    } >"$work/$name/config/application/Application.ini"
    "$build/tools/kvtstation/kvtstation" --config-dir "$work/$name/config" --output-dir "$work/$name" \
        --scenario "$scenario" --station "$name" --seconds "$seconds" --realtime --json \
        --mqtt "127.0.0.1:$station_port" >"$work/$name/summary.json" 2>"$work/$name/stderr.txt" &
    pids+=($!)
done

if [ "${NETWORK_ROGUE:-0}" = 1 ]; then
    # Two rogues try to retune North's followers 8 s into the run: a client
    # without a password, and West's login under North's client id. Both are
    # refused by the broker; nothing reaches a receiver.
    sleep 8
    tls=()
    [ "${NETWORK_TLS:-0}" = 1 ] && tls=(--cafile "$broker/ca.pem")
    mosquitto_pub -h 127.0.0.1 -p "$station_port" "${tls[@]}" -q 1 -r -t kvt/zod/North/param/FRQ -m 146000000 \
        && echo "rogue without password: published" || echo "rogue without password: refused"
    mosquitto_pub -h 127.0.0.1 -p "$station_port" "${tls[@]}" -q 1 -r -i North -u West \
        -P "$(cat "$broker/West.password")" -t kvt/zod/North/param/FRQ -m 146000000 \
        && echo "rogue with West's password as client North: acknowledged"
    grep -E "not authorised|Denied PUBLISH" "$broker/mosquitto.log" | sed 's/^[0-9]*: /broker: /'
fi

if [ "${NETWORK_ROGUE:-0}" = flood ]; then
    # 8 s into the run a rogue sends 20 000 FRQ values (146.000000 to
    # 146.019999 MHz) for North, QoS 1 and retained, as fast as the broker
    # takes them: anonymously, and (where that is refused) with West's login.
    sleep 8
    tls=()
    [ "${NETWORK_TLS:-0}" = 1 ] && tls=(--cafile "$broker/ca.pem")
    seq 146000000 146019999 >"$work/rogue-values.txt"
    flood() {
        local who=$1 begin=$SECONDS
        shift
        if mosquitto_pub -h 127.0.0.1 -p "$station_port" "${tls[@]}" -q 1 -r -t kvt/zod/North/param/FRQ -l "$@" \
            <"$work/rogue-values.txt" 2>"$work/rogue-$who.txt"; then
            echo "rogue flood ($who): 20000 values sent in about $((SECONDS - begin)) s"
        else
            echo "rogue flood ($who): refused: $(head -1 "$work/rogue-$who.txt")"
        fi
    }
    flood anonymous -i rogue
    [ "$open" = 1 ] || flood "West's login" -i rogue -u West -P "$(cat "$broker/West.password")"
    echo "broker: $(grep -c "Denied PUBLISH" "$broker/mosquitto.log") publishes denied," \
        "$(grep -c "not authorised" "$broker/mosquitto.log") logins refused"
fi

if [ -n "${NETWORK_BROKER_OUTAGE:-}" ]; then
    sleep "${NETWORK_BROKER_OUTAGE%%:*}"
    kill -9 "$broker_pid"
    wait "$broker_pid" 2>/dev/null || true
    echo "broker killed; back in ${NETWORK_BROKER_OUTAGE##*:} s"
    sleep "${NETWORK_BROKER_OUTAGE##*:}"
    mosquitto -c "$broker/mosquitto.conf" >>"$broker/mosquitto.log" 2>&1 &
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
            else [.scenario.tunings[] | "\(.frequency / 1e6) MHz at \(.at) s"]
                | "tuned " + (if length <= 6 then join(", ")
                              else (.[:2] + ["... \(length - 4) more ..."] + .[-2:]) | join(", ") end) end
            | pad(48)),
           "published \($broker.offered), acknowledged \($broker.delivered), lost \($broker.lost)",
           (.zod.account // {}) as $zod
           | if .zod.receiver | not then empty
             else "handovers applied \($zod.Applied // 0), coalesced \($zod.Coalesced // 0), ignored"
                 + " \([$zod.IgnoredUnfollowed, $zod.IgnoredOutOfRange, $zod.IgnoredMalformed, $zod.IgnoredUnknownTag]
                       | map(. // 0 | tostring) | join("/")) (unfollowed/range/malformed/tag)" end,
           "exit \($code)"]
        | join("  ")' "$work/$name/summary.json" || { echo "$name: no summary (exit $code)"; status=1; }
done
pids=()
# The stations have handed everything over; give kvtfix a moment to take what the broker holds.
sleep 2
kill -INT "$fix_pid"
code=0
wait "$fix_pid" || code=$?
fix_pid=
jq -r --arg code "$code" '
    select(.live) | .live
    | "kvtfix      consumer  read \(.read), used \(.used), refused \(.refused), repeats \(.duplicates), missing \(.missing)  exit \($code)"' \
    "$work/kvtfix/output.jsonl" || { echo "kvtfix: no summary (exit $code)"; status=1; }
[ "$code" -eq 130 ] || status=1
exit $status
