#!/usr/bin/env bash
# Configures and builds one build tree.
#   scripts/build.sh DIR [extra CMake options...]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
shift

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
cmake --build "$build_dir" -j2
