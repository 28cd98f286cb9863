#!/usr/bin/env bash
# Installs what is missing, builds rigid2d and runs the demo. On a machine without a display the
# demo runs in a virtual X server for about three seconds instead, and a screenshot of it is saved
# as rigid2d.png in the project root.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRIGID2D_BUILD_TESTS=OFF -DRIGID2D_BUILD_BENCHMARKS=OFF
cmake --build build -j"$(nproc)" --target rigid2d rigid2d-screenshot

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec build/app/rigid2d "$@"
fi
echo "No display: running the demo in a virtual X server for 3 seconds."
xvfb-run -a -s "-screen 0 1280x720x24" scripts/screenshot-demo.sh "$PWD/rigid2d.png"
echo "$PWD/rigid2d.png"
