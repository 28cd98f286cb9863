#!/usr/bin/env bash
# Runs the demo under valgrind's memcheck in a virtual X server, lets it draw for a few seconds,
# closes its window as a window manager would (WM_DELETE_WINDOW, so main() returns and every
# destructor runs) and fails on any memory error or any block definitely lost. What the system
# libraries keep for the life of the process (Mesa, X, fontconfig, Qt's plugins) is suppressed by
# scripts/valgrind.supp; nothing of rigid2d's own is.
# Usage: scripts/ci-leaks.sh [RUN_SECONDS]   (default 5)
# It configures build-leaks (RelWithDebInfo, for valgrind's line numbers), unless LEAKS_BUILD_DIR
# names a build already configured, whose rigid2d it builds and checks as it is: CI passes the
# package's Release build, so the check runs on the program that ships without a build of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
run_seconds="${1:-5}"
build="${LEAKS_BUILD_DIR:-build-leaks}"
[[ -z "${LEAKS_BUILD_DIR:-}" || -f "$build/CMakeCache.txt" ]] ||
  { echo "ci-leaks: LEAKS_BUILD_DIR=$build is not a configured build" >&2; exit 2; }

if [[ "${RIGID2D_LEAKS_IN_XVFB:-}" != 1 ]]; then
  scripts/install-deps.sh ci
  if [[ -z "${LEAKS_BUILD_DIR:-}" ]]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIGID2D_BUILD_TESTS=OFF \
      -DRIGID2D_BUILD_BENCHMARKS=OFF >/dev/null
  fi
  cmake --build "$build" -j"$(nproc)" --target rigid2d
  c++ -std=c++17 -O1 -Wall -Wextra -Wpedantic -o "$build/wm-delete-window" \
    -I. scripts/wm-delete-window.cpp -lX11
  RIGID2D_LEAKS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 2560x1600x24" "$PWD/scripts/ci-leaks.sh" "$@"
fi

# Inside the virtual X server. Under valgrind llvmpipe compiles its shaders slowly: the first
# frame may take a minute or more.
log="$build/valgrind.log"
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
  --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=40 --keep-debuginfo=yes \
  --child-silent-after-fork=yes \
  --suppressions=scripts/valgrind.supp --gen-suppressions=all --log-file="$log" \
  "$build/app/rigid2d" &
demo=$!

"$build/wm-delete-window" rigid2d 600 "$run_seconds" &
closer=$!
# A demo that ends on its own, a crash included, need not be waited for.
while kill -0 "$demo" 2>/dev/null && kill -0 "$closer" 2>/dev/null; do
  sleep 1
done
kill "$closer" 2>/dev/null || true
status=0
if ! wait "$closer"; then
  echo "ci-leaks: the demo's window was never closed: it drew no frame, or ended before" >&2
  kill "$demo" 2>/dev/null || true
  status=1
fi
# Leak checking at exit takes a while under valgrind; a demo that will not close is a failure.
for ((waited = 0; waited < 600; waited += 2)); do
  kill -0 "$demo" 2>/dev/null || break
  sleep 2
done
if kill -0 "$demo" 2>/dev/null; then
  echo "ci-leaks: the demo did not exit after its window was closed" >&2
  kill -9 "$demo" 2>/dev/null || true
  status=1
fi
demo_status=0
wait "$demo" || demo_status=$?
((status != 0)) || status=$demo_status

grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed:' "$log" || true
if ((status != 0)); then
  cat "$log"
  echo "ci-leaks: FAILED (exit $status); valgrind's report is in $log" >&2
  exit "$status"
fi
echo "ci-leaks: no memory errors, nothing definitely lost"
