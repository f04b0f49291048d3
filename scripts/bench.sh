#!/usr/bin/env bash
# Builds a Release tree with the benchmarks (build/bench), starts a throwaway PostgreSQL
# cluster and (for the normal run) a throwaway MariaDB server, runs the benchmark program,
# the session-memory program on SQLite and PostgreSQL and, when it is built, the Qt
# title-click benchmark, then prints the summary again: one line per figure ("figure NAME
# TIME") and one per ratio ("ratio A / B = X (target ...) ok" or "MISSED"). Arguments go
# to the benchmark program (for example --benchmark_filter=Locate).
# Exits 1 when a target was missed or a benchmark program failed (a run whose own check
# fails gives no figure and makes its program exit non-zero).
#
# With --large as the first argument: the user's indexed actions at 10,000 and 10,000,000
# customers on SQLite and on PostgreSQL, each backend's 10,000,000-row figures against its
# 10,000-row ones, and the session's peak memory at 10,000,000 on both (no references, no
# Qt benchmark). Generating the 10,000,000-row databases takes minutes; it prints its
# progress.
#
# The SQLite sample databases are kept in build/bench/data, one per size, and generated
# again only when the generator was rebuilt; the servers are filled on every run.
set -euo pipefail

large=()
session_customers=()
if [[ ${1-} == --large ]]; then
    shift
    large=(--large)
    session_customers=(10000000)
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
export VORN_BENCH_DATA="$build/data"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVORN_BUILD_BENCHMARKS=ON -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_APPS=OFF >/dev/null
cmake --build "$build" -j2 --target VornDataBench VornSessionMemoryBench
# The Qt title-click benchmark, where its folder is there; a failure to build it is
# reported and leaves the other figures standing.
click_bench=""
if ((${#large[@]} == 0)) && ninja -C "$build" -t targets all 2>/dev/null | grep -q '^VornTitleClickRepaintBench:'; then
    if cmake --build "$build" -j2 --target VornTitleClickRepaintBench; then
        click_bench="$build/bench/demo/VornTitleClickRepaintBench"
    else
        echo "bench.sh: VornTitleClickRepaintBench does not build; running without it" >&2
    fi
fi

# Databases made by an older generator no longer hold what it makes now.
generator="$build/samplegen-lib/libVornSampleData.a"
mkdir -p "$VORN_BENCH_DATA"
find "$VORN_BENCH_DATA" -name 'sample-*.db' ! -newer "$generator" -delete

log=$(mktemp)
pg_env=$("$root/scripts/pg.sh" start)
eval "$pg_env"
trap '"$root/scripts/pg.sh" stop "$VORN_PG_DIR"; rm -f "$log" "$log.click"' EXIT
# The normal run's MariaDB column: 1,000,000 customers, filled on every run.
if ((${#large[@]} == 0)); then
    mariadb_env=$("$root/scripts/mariadb.sh" start)
    eval "$mariadb_env"
    trap '"$root/scripts/pg.sh" stop "$VORN_PG_DIR"
          "$root/scripts/mariadb.sh" stop "$VORN_MARIADB_DIR"
          rm -f "$log" "$log.click"' EXIT
fi
trap 'exit 1' INT TERM HUP

failed=()
# Runs one benchmark program, its output appended to the log named first; a failure is
# remembered and the other programs still run.
run_bench() {
    local into=$1
    shift
    if ! "$@" | tee -a "$into"; then
        failed+=("$(basename "$1")")
    fi
}
run_bench "$log" "$build/bench/VornDataBench" "${large[@]}" "$@"
for backend in sqlite pg; do
    run_bench "$log" "$build/bench/VornSessionMemoryBench" "$backend" "${session_customers[@]}"
done
# The round trips per action run on the 1,000,000-customer sample that only the normal run
# fills on the server.
if ((${#large[@]} == 0)); then
    cmake --build "$build" -j2 --target VornRoundTripBench &&
        run_bench "$log" "$build/bench/VornRoundTripBench" || failed+=(VornRoundTripBench)
fi
click_log=$log.click
if [[ -n $click_bench ]]; then
    QT_QPA_PLATFORM=offscreen run_bench "$click_log" "$click_bench"
fi

echo
echo "==> Summary"
grep -E '^(figure|ratio|roundtrips|latency) ' "$log"
# The title-click benchmark's own summary: its lines after the table.
if [[ -s $click_log ]]; then
    grep -vE '^(Run|CPU|  L|Load|\*\*\*|-----|Benchmark|BM_|Creating|QStandardPaths|[0-9]{4}-)|^$' \
        "$click_log" || true
fi
status=0
if ((${#failed[@]} > 0)); then
    echo "bench.sh: failed: ${failed[*]}" >&2
    status=1
fi
if grep -qE '^ratio .* MISSED$' "$log"; then
    status=1
fi
exit $status
