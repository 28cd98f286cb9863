#!/usr/bin/env bash
# Installs what is missing, builds rigid2d with its tests and runs them all with CTest inside a
# virtual X server (Xvfb, Mesa's llvmpipe), large enough for a window at device pixel ratio 2.
# Usage: ./test.sh [--qt 5|6]   (Qt 5 by default, built in build/; Qt 6 in build-qt6/)
set -euo pipefail
cd "$(dirname "$0")"
qt=5
if (($#)); then
  if [[ $# -ne 2 || "$1" != --qt || ! "$2" =~ ^[56]$ ]]; then
    echo "usage: $0 [--qt 5|6]" >&2
    exit 2
  fi
  qt="$2"
fi
build=build
[[ "$qt" == 5 ]] || build="build-qt$qt"

scripts/install-deps.sh test --qt "$qt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DRIGID2D_QT_MAJOR="$qt" \
  -DRIGID2D_BUILD_TESTS=ON -DRIGID2D_BUILD_BENCHMARKS=ON
cmake --build "$build" -j"$(nproc)"
xvfb-run -a -s "-screen 0 2560x1600x24" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$(nproc)"
