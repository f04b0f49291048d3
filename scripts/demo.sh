#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo program.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/normal"
"$root/build/normal/apps/formdemo/formdemo" "$@"
