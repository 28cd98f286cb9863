#!/usr/bin/env bash
# Installs what is missing, builds rigid2d with its tests and runs them all with CTest inside a
# virtual X server (Xvfb, Mesa's llvmpipe), large enough for a window at device pixel ratio 2.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRIGID2D_BUILD_TESTS=ON -DRIGID2D_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)"
xvfb-run -a -s "-screen 0 2560x1600x24" ctest --test-dir build --output-on-failure --no-tests=error -j"$(nproc)"
