#!/usr/bin/env bash
# Generates the API reference from the public headers and the pages in docs/ with
# Doxygen, into DIR/html (default build/docs/html). Fails on any Doxygen warning.
#   scripts/docs.sh [DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v doxygen >/dev/null; then
    echo "docs.sh: doxygen is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
output=${1:-$root/build/docs}
mkdir -p "$output"
version=$(sed -nE 's/^project\(VornDataComponents VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
VORN_SOURCE_DIR=$root VORN_DOCS_OUTPUT=$output VORN_VERSION=$version \
    doxygen "$root/docs/Doxyfile"
echo "API reference: $output/html/index.html"
