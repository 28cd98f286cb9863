#!/usr/bin/env bash
# Proves that the simulation's numbers do not depend on how it is compiled: rigid2d-trace, built
# at -O0, -O2 and -O3 with g++ and at -O2 with clang++ when it is there, prints the same state for
# every body, to the last bit, after 1, 100, 1000 and 10000 steps of the demo, after 1000 steps
# of a grid of 1000 circles with the stable solver and after 1000 steps of the mix of turning
# circles and boxes.
set -euo pipefail
cd "$(dirname "$0")/.."

builds=("g++ -O0" "g++ -O2" "g++ -O3")
command -v clang++ >/dev/null && builds+=("clang++ -O2")

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for build in "${builds[@]}"; do
  read -r compiler level <<<"$build"
  dir="build-determinism/${compiler}${level}"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_CXX_FLAGS="$level" -DRIGID2D_BUILD_TESTS=OFF -DRIGID2D_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target rigid2d-trace >/dev/null
  for steps in 1 100 1000 10000; do
    "$dir/tools/rigid2d-trace" "$steps" >"$out/${compiler}${level}-$steps"
  done
  "$dir/tools/rigid2d-trace" --scene grid --bodies 1000 --solver stable 1000 \
    >"$out/${compiler}${level}-stable"
  "$dir/tools/rigid2d-trace" --scene mix 1000 >"$out/${compiler}${level}-mix"
done

status=0
reference="${builds[0]// /}"
for build in "${builds[@]:1}"; do
  for steps in 1 100 1000 10000 stable mix; do
    if ! cmp -s "$out/$reference-$steps" "$out/${build// /}-$steps"; then
      echo "Determinism: $build differs from ${builds[0]} after $steps steps"
      status=1
    fi
  done
done
[[ $status -eq 0 ]] && echo "Determinism: ${#builds[@]} builds agree bit for bit after 1, 100, 1000 and 10000 steps, and for the stable grid and the mix."
exit $status
