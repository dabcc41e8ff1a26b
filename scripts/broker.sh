# Sourced by the scripts that run a broker of their own.
# lock_broker WORKDIR USER... locks the broker down as docs/network.md's
# Security section describes: a generated password per user (kept in
# WORKDIR/<user>.password, the password file in WORKDIR/passwords) and the
# access list scripts/network.acl (WORKDIR/acl). scripts/network.sh writes its
# own configuration with them; start_broker uses them when they are there.
# start_broker WORKDIR (scripts/interop.sh) starts Mosquitto on a free
# loopback port with a generated configuration in WORKDIR and sets $port and
# $broker_pid (empty when none could be started). A port found free may be
# taken before the broker binds it, so it tries a few.
lock_broker() {
    local work=$1 user
    shift
    (
        umask 077
        for user in "$@"; do
            openssl rand -hex 16 >"$work/$user.password"
            mosquitto_passwd -b $([ -f "$work/passwords" ] || echo -c) "$work/passwords" "$user" \
                "$(cat "$work/$user.password")"
        done
    )
    cp scripts/network.acl "$work/acl"
}

start_broker() {
    local work=$1 attempt wait
    broker_pid=
    for attempt in $(seq 20); do
        port=$((20000 + RANDOM % 30000))
        {
            printf 'listener %s 127.0.0.1\npersistence false\nset_tcp_nodelay true\n' "$port"
            if [ -f "$work/passwords" ]; then
                # Started as root, the broker would switch to its own user, which may not read WORKDIR.
                printf 'user %s\nallow_anonymous false\npassword_file %s\nacl_file %s\n' \
                    "$(id -un)" "$work/passwords" "$work/acl"
            else
                echo 'allow_anonymous true'
            fi
        } >"$work/mosquitto.conf"
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
