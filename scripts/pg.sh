#!/usr/bin/env bash
# A throwaway PostgreSQL 15 cluster for the tests: unix socket only, no durability,
# removed again by "stop".
#
#   eval "$(scripts/pg.sh start)"   starts a cluster and prints the export lines for
#                                   VORN_PG_DIR and VORN_PG_CONNINFO
#   scripts/pg.sh env [DIR]         prints the export lines of a running cluster
#   scripts/pg.sh stop [DIR]        stops the cluster and removes its folder
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

start() {
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
    print_env "$dir"
}

stop() {
    local dir
    dir=$(cluster_dir "${1:-}")
    as_postgres "$pg_bin/pg_ctl" -D "$dir/data" -m immediate -w stop >&2 || true
    rm -rf "$dir"
}

case ${1:-} in
start) start ;;
env) print_env "$(cluster_dir "${2:-}")" ;;
stop) stop "${2:-}" ;;
down) down "${2:-}" ;;
up) up "${2:-}" ;;
*)
    echo "usage: $0 start|env [DIR]|stop [DIR]|down [DIR]|up [DIR]" >&2
    exit 2
    ;;
esac
