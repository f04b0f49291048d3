#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build and a
# build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

run_suite() {
    local build_dir=$1
    shift
    echo "==> Building $build_dir"
    "$root/scripts/build.sh" "$build_dir" "$@"
    echo "==> Testing $build_dir"
    # Each test program runs once as a whole; its cases, which CTest also knows one by one
    # (label "case") for running a single case by name, are not run a second time.
    ctest --test-dir "$build_dir" --output-on-failure -j2 --label-exclude case
}

# One throwaway PostgreSQL cluster, with a streaming standby for the tests that read
# from a replica, and one throwaway MariaDB server serve both suites; they are removed
# however the run ends. Only servers that this run started are stopped.
unset VORN_PG_DIR VORN_MARIADB_DIR
stop_servers() {
    if [[ -n ${VORN_MARIADB_DIR:-} ]]; then
        "$root/scripts/mariadb.sh" stop "$VORN_MARIADB_DIR" || true
    fi
    if [[ -n ${VORN_PG_DIR:-} ]]; then
        "$root/scripts/pg.sh" stop "$VORN_PG_DIR" || true
    fi
}
trap stop_servers EXIT
pg_env=$("$root/scripts/pg.sh" start-standby)
eval "$pg_env"
mariadb_env=$("$root/scripts/mariadb.sh" start)
eval "$mariadb_env"
trap 'exit 1' INT TERM HUP

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# System libraries (fontconfig, Qt's caches) keep memory for the life of the process.
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0

run_suite "$root/build/normal"
run_suite "$root/build/sanitize" -DVORN_SANITIZE=ON -DVORN_BUILD_APPS=OFF
