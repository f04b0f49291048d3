#!/usr/bin/env bash
# A throwaway MariaDB server for the tests: unix socket only, no durability, removed
# again by "stop". It never touches a system service or the system's data folder.
#
#   eval "$(scripts/mariadb.sh start)"   starts a server and prints the export lines for
#                                        VORN_MARIADB_DIR and VORN_MARIADB_CONNINFO
#   scripts/mariadb.sh env [DIR]         prints the export lines of a running server
#   scripts/mariadb.sh stop [DIR]        stops the server and removes its folder
#
# DIR defaults to $VORN_MARIADB_DIR. The server lives in build/mariadb.XXXX of the
# repository, or in /tmp/mdb.XXXX where that path would make the socket path too long.
# Progress goes to stderr so that stdout stays evaluable.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
database=vorn_test
# The account that the tests use to check password logins; root logs in by socket.
password_user=vorn_password_check
password_secret="it's a \\secret"

# A unix socket path must stay under 107 bytes.
max_socket_path=100

print_env() {
    local dir=$1
    echo "export VORN_MARIADB_DIR='$dir'"
    echo "export VORN_MARIADB_CONNINFO='unix_socket=$dir/s user=root database=$database'"
}

server_dir() {
    local dir=${1:-${VORN_MARIADB_DIR:-}}
    if [[ -z $dir ]]; then
        echo "mariadb.sh: no server folder given and VORN_MARIADB_DIR is not set" >&2
        exit 2
    fi
    # Only folders made by "start" are ever removed.
    if [[ ($dir != "$root"/build/mariadb.* && $dir != /tmp/mdb.*) || ! -d $dir/data ]]; then
        echo "mariadb.sh: $dir is not a server folder made by mariadb.sh start" >&2
        exit 2
    fi
    echo "$dir"
}

# The client as the server's root, over the socket.
client() {
    local dir=$1
    shift
    mariadb --no-defaults --protocol=socket --socket="$dir/s" --user=root "$@"
}

start() {
    for tool in mariadbd mariadb-install-db mariadb mariadb-admin; do
        if ! command -v "$tool" >/dev/null && [[ ! -x /usr/sbin/$tool ]]; then
            echo "mariadb.sh: $tool not found; run scripts/install-deps.sh" >&2
            exit 1
        fi
    done
    local server
    server=$(command -v mariadbd || echo /usr/sbin/mariadbd)

    local dir
    mkdir -p "$root/build"
    dir=$(mktemp -d "$root/build/mariadb.XXXX")
    if ((${#dir} + 2 > max_socket_path)); then
        rmdir "$dir"
        dir=$(mktemp -d /tmp/mdb.XXXX)
    fi
    chmod 700 "$dir"
    # The server refuses to run as root unless told to; it runs as whoever starts it.
    local user
    user=$(id -un)

    mariadb-install-db --no-defaults --user="$user" --datadir="$dir/data" \
        --auth-root-authentication-method=socket --skip-test-db \
        >"$dir/install.log" 2>&1 || {
        cat "$dir/install.log" >&2
        rm -rf "$dir"
        exit 1
    }

    # No durability: the data is thrown away after the run. The tests make and drop a
    # database, and tables in it, for each case: nothing is synced to disk (no fsync for the
    # files of a table, the redo log or the server's own files), and tables live in the
    # system tablespace rather than in files of their own that each CREATE and DROP would
    # make and remove. Recursive WITH statements that make rows for a test's set-up may run
    # long (the default stops them after a thousand rows).
    "$server" --no-defaults --user="$user" --datadir="$dir/data" --socket="$dir/s" \
        --pid-file="$dir/server.pid" --log-error="$dir/server.log" --skip-networking \
        --skip-log-bin --innodb-flush-log-at-trx-commit=0 --innodb-doublewrite=0 \
        --innodb-flush-method=nosync --debug-no-sync --innodb-file-per-table=0 \
        --innodb-buffer-pool-size=128M --sync-frm=0 --max-recursive-iterations=4294967295 \
        --character-set-server=utf8mb4 --collation-server=utf8mb4_nopad_bin \
        >/dev/null 2>&1 &
    local pid=$!
    echo "$pid" >"$dir/mariadbd.pid"

    local tries
    for ((tries = 0; tries < 600; ++tries)); do
        if client "$dir" -e "SELECT 1" >/dev/null 2>&1; then
            break
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            cat "$dir/server.log" >&2
            rm -rf "$dir"
            exit 1
        fi
        sleep 0.1
    done
    if ! client "$dir" -e "SELECT 1" >/dev/null 2>&1; then
        echo "mariadb.sh: the server did not accept connections within a minute" >&2
        cat "$dir/server.log" >&2
        stop "$dir"
        exit 1
    fi

    local secret=${password_secret//\\/\\\\}
    secret=${secret//\'/\'\'}
    client "$dir" -e "CREATE DATABASE $database CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin;
        CREATE USER '$password_user'@'localhost' IDENTIFIED BY '$secret';
        GRANT ALL ON $database.* TO '$password_user'@'localhost';" >&2 || {
        stop "$dir"
        exit 1
    }
    echo "mariadb.sh: MariaDB running in $dir" >&2
    print_env "$dir"
}

stop() {
    local dir
    dir=$(server_dir "${1:-}")
    local pid=
    [[ -f $dir/mariadbd.pid ]] && pid=$(cat "$dir/mariadbd.pid")
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        # Nothing is worth keeping: the server is killed rather than shut down cleanly.
        kill -KILL "$pid" 2>/dev/null || true
        local tries=0
        while kill -0 "$pid" 2>/dev/null && ((tries++ < 100)); do
            sleep 0.1
        done
    fi
    rm -rf "$dir"
}

case ${1:-} in
start) start ;;
env) print_env "$(server_dir "${2:-}")" ;;
stop) stop "${2:-}" ;;
*)
    echo "usage: $0 start|env [DIR]|stop [DIR]" >&2
    exit 2
    ;;
esac
