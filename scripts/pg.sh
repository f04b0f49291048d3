#!/usr/bin/env bash
# A throwaway PostgreSQL 15 cluster for the tests: unix socket only, no durability,
# removed again by "stop".
#
#   eval "$(scripts/pg.sh start)"   starts a cluster and prints the export lines for
#                                   VORN_PG_DIR and VORN_PG_CONNINFO
#   eval "$(scripts/pg.sh start-standby)"
#                                   the same, plus a streaming hot standby of it in the
#                                   same folder (its own data folder and socket), and
#                                   the export line for VORN_PG_STANDBY_CONNINFO
#   scripts/pg.sh env [DIR]         prints the export lines of a running cluster
#   scripts/pg.sh stop [DIR]        stops the cluster (and its standby) and removes its folder
#   scripts/pg.sh down [DIR]        stops the server at once, as a crash would, keeping
#                                   its folder (for tests of a lost server)
#   scripts/pg.sh up [DIR]          starts a server that "down" stopped
#
# DIR defaults to $VORN_PG_DIR. Progress goes to stderr so that stdout stays evaluable.
set -euo pipefail

pg_bin=/usr/lib/postgresql/15/bin
database=vorn_test
# The role that the tests use to check password authentication; every other local
# connection is trusted.
password_role=vorn_password_check

as_postgres() {
    runuser -u postgres -- "$@"
}

print_env() {
    local dir=$1
    echo "export VORN_PG_DIR='$dir'"
    echo "export VORN_PG_CONNINFO='host=$dir dbname=$database user=postgres'"
    # Both servers, of which only the standby accepts read-only sessions: the
    # tests read through a connection string naming several hosts, as replicas are
    # reached in production.
    if [[ -d $dir/standby ]]; then
        echo "export VORN_PG_STANDBY_CONNINFO='host=$(standby_socket "$dir"),$dir dbname=$database user=postgres target_session_attrs=read-only'"
    fi
}

# The standby listens on a socket folder of its own inside the cluster folder.
standby_socket() {
    echo "$1/s"
}

cluster_dir() {
    local dir=${1:-${VORN_PG_DIR:-}}
    if [[ -z $dir ]]; then
        echo "pg.sh: no cluster folder given and VORN_PG_DIR is not set" >&2
        exit 2
    fi
    # Only folders made by "start" are ever removed.
    if [[ $dir != /tmp/pg.* || ! -d $dir/data ]]; then
        echo "pg.sh: $dir is not a cluster folder made by pg.sh start" >&2
        exit 2
    fi
    echo "$dir"
}

start_server() {
    local dir=$1
    as_postgres "$pg_bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-k $dir -c listen_addresses='' -c fsync=off -c full_page_writes=off" \
        start >&2
}

down() {
    local dir
    dir=$(cluster_dir "${1:-}")
    as_postgres "$pg_bin/pg_ctl" -D "$dir/data" -m immediate -w stop >&2
}

up() {
    local dir
    dir=$(cluster_dir "${1:-}")
    start_server "$dir" || {
        cat "$dir/server.log" >&2
        exit 1
    }
}

start_cluster() {
    if [[ ! -x $pg_bin/initdb ]]; then
        echo "pg.sh: $pg_bin/initdb not found; run scripts/install-deps.sh" >&2
        exit 1
    fi
    # A unix socket path must stay under 107 bytes, so the folder name is kept short.
    local dir
    dir=$(mktemp -d /tmp/pg.XXXX)
    chown postgres:postgres "$dir"
    chmod 700 "$dir"

    as_postgres "$pg_bin/initdb" -D "$dir/data" -A trust -U postgres --locale=C -E UTF8 \
        >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        rm -rf "$dir"
        exit 1
    }
    local hba=$dir/data/pg_hba.conf
    { echo "local all $password_role scram-sha-256"; cat "$hba"; } >"$hba.new"
    mv "$hba.new" "$hba"
    chown postgres:postgres "$hba"

    start_server "$dir" || {
        cat "$dir/server.log" >&2
        rm -rf "$dir"
        exit 1
    }

    local psql=("$pg_bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -U postgres -d postgres)
    "${psql[@]}" -c "CREATE DATABASE $database" >&2
    "${psql[@]}" -c "CREATE ROLE $password_role LOGIN" >&2
    echo "pg.sh: PostgreSQL running in $dir" >&2
    cluster=$dir
}

start() {
    local cluster
    start_cluster
    print_env "$cluster"
}

# Copies the running primary into $dir/standby and starts it as a hot standby that
# streams from the primary, then waits until it has replayed everything the primary
# had written (the test database and role included).
start_standby_of() {
    local dir=$1
    local socket
    socket=$(standby_socket "$dir")
    as_postgres mkdir -m 700 "$socket"
    as_postgres "$pg_bin/pg_basebackup" -h "$dir" -U postgres -D "$dir/standby" -R \
        -X stream -c fast >"$dir/basebackup.log" 2>&1 || {
        cat "$dir/basebackup.log" >&2
        return 1
    }
    # Queries that conflict with replay are cancelled soon, so that the tests of
    # such conflicts do not wait for the default half minute. Feedback keeps the
    # primary from pruning rows that a read on the standby may still see (catalog rows
    # of dropped tables included), so the only conflicts are the locks a test takes.
    as_postgres "$pg_bin/pg_ctl" -D "$dir/standby" -l "$dir/standby.log" -w -t 60 \
        -o "-k $socket -c listen_addresses='' -c fsync=off -c full_page_writes=off \
            -c hot_standby=on -c hot_standby_feedback=on -c max_standby_streaming_delay=200ms" \
        start >&2 || {
        cat "$dir/standby.log" >&2
        return 1
    }
    local target
    target=$("$pg_bin/psql" -X -qAt -h "$dir" -U postgres -d postgres \
        -c "SELECT pg_current_wal_lsn()")
    local tries
    for ((tries = 0; tries < 600; ++tries)); do
        if [[ $("$pg_bin/psql" -X -qAt -h "$socket" -U postgres -d postgres \
            -c "SELECT pg_is_in_recovery() AND pg_last_wal_replay_lsn() >= '$target'" \
            2>/dev/null) == t ]]; then
            echo "pg.sh: standby streaming in $dir/standby" >&2
            return 0
        fi
        sleep 0.1
    done
    echo "pg.sh: the standby did not catch up with the primary" >&2
    cat "$dir/standby.log" >&2
    return 1
}

start_with_standby() {
    local cluster
    start_cluster
    start_standby_of "$cluster" || {
        stop "$cluster"
        exit 1
    }
    print_env "$cluster"
}

stop() {
    local dir
    dir=$(cluster_dir "${1:-}")
    if [[ -d $dir/standby ]]; then
        as_postgres "$pg_bin/pg_ctl" -D "$dir/standby" -m immediate -w stop >&2 || true
    fi
    as_postgres "$pg_bin/pg_ctl" -D "$dir/data" -m immediate -w stop >&2 || true
    rm -rf "$dir"
}

case ${1:-} in
start) start ;;
start-standby) start_with_standby ;;
env) print_env "$(cluster_dir "${2:-}")" ;;
stop) stop "${2:-}" ;;
down) down "${2:-}" ;;
up) up "${2:-}" ;;
*)
    echo "usage: $0 start|start-standby|env [DIR]|stop [DIR]|down [DIR]|up [DIR]" >&2
    exit 2
    ;;
esac
