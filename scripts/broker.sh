# Sourced by scripts/interop.sh: start_broker WORKDIR starts Mosquitto on a
# free loopback port with a generated configuration in WORKDIR and sets
# $port and $broker_pid (empty when none could be started). A port found
# free may be taken before the broker binds it, so it tries a few.
start_broker() {
    local work=$1 attempt wait
    broker_pid=
    for attempt in $(seq 20); do
        port=$((20000 + RANDOM % 30000))
        printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nset_tcp_nodelay true\n' "$port" \
            >"$work/mosquitto.conf"
        mosquitto -c "$work/mosquitto.conf" >"$work/mosquitto.log" 2>&1 &
        broker_pid=$!
        for wait in $(seq 50); do
            if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then return 0; fi
            kill -0 "$broker_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$broker_pid" 2>/dev/null || true
        broker_pid=
    done
}
