#!/bin/sh
# Builds a Release tree with the benchmarks (build/bench) and runs them. The last lines
# are the summary: one per figure, one per 1,000,000/10,000 ratio, and the peak memory.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVORN_BUILD_BENCHMARKS=ON -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_APPS=OFF >/dev/null
cmake --build "$build" -j2 --target VornDataAccessBench
"$build/bench/VornDataAccessBench" "$@"
