# A throwaway PostgreSQL cluster for the tests and the demo; source this file.
#   kelo_pg_start DIR   initdb into DIR/data, start on a free port (TCP on 127.0.0.1 and a
#                       Unix socket in DIR) with the superuser kelo (password kelo);
#                       exports KELO_PG_HOST, KELO_PG_PORT, KELO_PG_USER, KELO_PG_PASSWORD.
#   kelo_pg_start DIR --keep   the same, but a cluster made earlier in DIR keeps its data.
#   kelo_pg_stop [--keep]      stops it and removes DIR (--keep: leaves the data).
# Runs the server as the postgres user when called as root (the server refuses root).

kelo_pg_bin() {
    ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1
}

kelo_pg_start() {
    local dir=$1 keep=${2:-} bin run=()
    bin=$(kelo_pg_bin)
    if [ -z "$bin" ]; then
        echo "pg-cluster: PostgreSQL is not installed (scripts/install-deps.sh installs it)" >&2
        return 1
    fi
    # --keep: a cluster made earlier in DIR starts again with its data.
    if [ "$keep" != --keep ] || [ ! -f "$dir/data/PG_VERSION" ]; then
        rm -rf "$dir"
    fi
    mkdir -p "$dir"
    if [ "$(id -u)" = 0 ]; then
        chown postgres: "$dir"
        run=(runuser -u postgres --)
    fi
    if [ ! -f "$dir/data/PG_VERSION" ]; then
        printf 'kelo\n' > "$dir/pw"
        chmod 644 "$dir/pw"
        if ! "${run[@]}" "$bin/initdb" -D "$dir/data" -U kelo --pwfile="$dir/pw" \
                -A scram-sha-256 -E UTF8 --locale=C.UTF-8 > "$dir/initdb.log" 2>&1; then
            cat "$dir/initdb.log" >&2
            return 1
        fi
    fi
    local port tries=0
    while :; do
        port=$((20000 + RANDOM % 30000))
        if "${run[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
                -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
                start > /dev/null 2>&1; then
            break
        fi
        tries=$((tries + 1))
        if [ "$tries" -ge 5 ]; then
            echo "pg-cluster: the server did not start:" >&2
            cat "$dir/server.log" >&2
            return 1
        fi
    done
    KELO_PG_DIR=$dir
    export KELO_PG_HOST=127.0.0.1 KELO_PG_PORT=$port KELO_PG_USER=kelo KELO_PG_PASSWORD=kelo
    echo "pg-cluster: PostgreSQL on 127.0.0.1:$port (data in $dir/data)"
}

kelo_pg_stop() {
    [ -n "${KELO_PG_DIR:-}" ] || return 0
    local bin run=()
    bin=$(kelo_pg_bin)
    [ "$(id -u)" = 0 ] && run=(runuser -u postgres --)
    "${run[@]}" "$bin/pg_ctl" -D "$KELO_PG_DIR/data" -m fast -w stop > /dev/null 2>&1 || true
    [ "${1:-}" = --keep ] || rm -rf "$KELO_PG_DIR"
    KELO_PG_DIR=
}
