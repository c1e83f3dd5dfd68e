#!/usr/bin/env bash
# Installs what is missing, builds the Release program and starts the simulator.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF -DVORN_BUILD_FUZZ=OFF
cmake --build "$top/build-release" -j2
# The window on a desktop; without a display the simulator runs headless.
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$top/build-release/app/vornrigsim" "$@"
fi
exec "$top/build-release/app/vornrigsim" --headless "$@"
