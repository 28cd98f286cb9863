#!/usr/bin/env bash
# Installs what is missing, builds rigid2d with its tests and runs them all with CTest inside a
# virtual X server (Xvfb, Mesa's llvmpipe), large enough for a window at device pixel ratio 2.
# Usage: ./test.sh [--qt 5|6] [--only-qt-tests]
#   Qt 5 by default, built in build/; Qt 6 in build-qt6/. --only-qt-tests builds and runs only the
#   tests of the folders that use Qt: the engine, scenes, session and file formats need none and
#   compile to the same code with either Qt, so CI runs their tests once, with Qt 5.
# With Qt 5 and every test it builds the web page too (Emscripten, in build/web-build/) and tests it
# in headless Chromium; the other runs leave the page out, as it has no Qt.
set -euo pipefail
cd "$(dirname "$0")"
usage() {
  echo "usage: $0 [--qt 5|6] [--only-qt-tests]" >&2
  exit 2
}
qt=5
only_qt_tests=OFF
while (($#)); do
  case "$1" in
  --qt)
    [[ "${2:-}" =~ ^[56]$ ]] || usage
    qt="$2"
    shift 2
    ;;
  --only-qt-tests)
    only_qt_tests=ON
    shift
    ;;
  *) usage ;;
  esac
done
build=build
[[ "$qt" == 5 ]] || build="build-qt$qt"
web=OFF
if [[ "$qt" == 5 && "$only_qt_tests" == OFF ]]; then web=ON; fi

scripts/install-deps.sh test --qt "$qt"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DRIGID2D_QT_MAJOR="$qt" \
  -DRIGID2D_BUILD_TESTS=ON -DRIGID2D_BUILD_BENCHMARKS=ON -DRIGID2D_ONLY_QT_TESTS="$only_qt_tests" \
  -DRIGID2D_BUILD_WEB="$web"
cmake --build "$build" -j"$(nproc)"
xvfb-run -a -s "-screen 0 2560x1600x24" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$(nproc)"
