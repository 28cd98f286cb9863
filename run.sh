#!/usr/bin/env bash
# Installs what is missing, builds rigid2d and runs the demo; arguments go to rigid2d. On a
# machine without a display the demo runs in a virtual X server instead, for 180 steps (three
# seconds at 60 frames per second), and the window's picture at that step is saved as
# rigid2d.png in the project root.
#
# ./run.sh --web [PORT] builds the web page with Emscripten instead (in build-web/) and serves it
# on 127.0.0.1 (port 8000 unless given, 0 for any free one), printing its address.
set -euo pipefail
cd "$(dirname "$0")"
if [[ "${1:-}" == --web ]]; then
  scripts/install-deps.sh web
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-web -j"$(nproc)" --target rigid2d-web
  echo "Serving the page until interrupted (Ctrl+C):"
  exec python3 web/serve.py build-web/web "${2:-8000}"
fi
scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRIGID2D_BUILD_TESTS=OFF -DRIGID2D_BUILD_BENCHMARKS=OFF
cmake --build build -j"$(nproc)" --target rigid2d

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec build/app/rigid2d "$@"
fi
echo "No display: running the demo in a virtual X server for 180 steps."
# Qt wants a private runtime folder; a virtual display has none of its own.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
xvfb-run -a -s "-screen 0 1280x720x24" build/app/rigid2d --steps 180 --screenshot "$PWD/rigid2d.png" "$@"
echo "$PWD/rigid2d.png"
