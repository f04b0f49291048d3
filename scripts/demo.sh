#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo program.
#   scripts/demo.sh [--customers N] [--postgres CONNINFO] [--screenshot FILE]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/normal"
demo="$root/build/normal/apps/demo/vorndemo"

# Without a display the window would be invisible and never closed: take a picture instead.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && " $* " != *" --screenshot "* ]]; then
    echo "No display: writing a screenshot of the demo window to $root/build/demo.png"
    exec "$demo" "$@" --screenshot "$root/build/demo.png"
fi
exec "$demo" "$@"
