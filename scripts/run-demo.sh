#!/usr/bin/env bash
# Runs the demo from a build folder: in the emulator window when there is a display,
# offscreen otherwise.
set -euo pipefail
build=${1:-build/default}
exec "$build/examples/vx_demo" "${@:2}"
