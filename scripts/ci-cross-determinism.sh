#!/usr/bin/env bash
# Proves the simulation's numbers independent of the processor: rigid2d-trace built for x86-64,
# AArch64, 32-bit x86 and WebAssembly prints the same state of every body, to the last bit, for the
# demo after 1000, 10000 and 100000 steps, for a grid of 1000 circles after 1000 and 10000 steps,
# for the pyramid of 5050 turning boxes after 500 steps and for the mix of circles and boxes after
# 3000; and states saved by the x86-64 build (the demo after 500 steps, the stable grid after 1500,
# the mix after 1500), which every build loads and continues (--load-state) to the same bits; and a
# recorded session that changed the live settings and switched the solver in place, replayed, and
# the state it saved with its settings, continued; and a small grid that falls asleep, is woken by a
# circle dropped onto it and falls asleep again, replayed.
# AArch64 and i386 are cross-compiled with Debian's g++ against those architectures' QtCore, as
# headless builds (the foreign QtGui is not installed), and run under qemu-user; i386 runs natively
# where the kernel runs 32-bit programs. WebAssembly is built with Debian's Emscripten (the engine
# without Qt) and run by Node.js.
#
# Usage: scripts/ci-cross-determinism.sh [--fused]   (WASM_BUILD_DIR overrides build-cross/wasm)
#   --fused  compiles the AArch64 side with -ffp-contract=fast, requires fused multiply-adds in
#            it, and passes only when the comparison of the demo after 1000 steps then fails.
set -euo pipefail
cd "$(dirname "$0")/.."

fused=false
case "${1:-}" in
"") ;;
--fused) fused=true ;;
*) echo "usage: $0 [--fused]" >&2; exit 2 ;;
esac

# The longest first: run_queued starts them in this order.
runs=("--scene pyramid 500" "1000" "10000" "100000"
  "--scene grid --bodies 1000 --solver designed 1000" "--scene grid --bodies 1000 --solver designed 10000"
  "--scene grid --bodies 1000 --solver stable 1000" "--scene grid --bodies 1000 --solver stable 3000"
  "--scene mix 3000")
$fused && runs=("1000")
host=$(gcc -print-multiarch)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# build DIR [CMAKE_OPTION...]: rigid2d-trace, built as the project builds by default.
build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DRIGID2D_BUILD_TESTS=OFF \
    -DRIGID2D_BUILD_BENCHMARKS=OFF "$@" >"$out/cmake.log" || { cat "$out/cmake.log"; exit 1; }
  cmake --build "$dir" -j"$(nproc)" --target rigid2d-trace >"$out/build.log" ||
    { cat "$out/build.log"; exit 1; }
}

# cross DIR TRIPLET PROCESSOR [CMAKE_OPTION...]: a headless build for another architecture with
# Debian's TRIPLET-g++, linked against that architecture's QtCore.
cross() {
  local dir=$1 triplet=$2 processor=$3
  shift 3
  build "$dir" -DRIGID2D_HEADLESS=ON -DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR="$processor" \
    -DCMAKE_CXX_COMPILER="$triplet-g++" -DQt5_DIR="/usr/lib/$host/cmake/Qt5" \
    -DRIGID2D_QTCORE_LIBRARY="/usr/lib/$("$triplet-g++" -print-multiarch)/libQt5Core.so.5" "$@"
}

# trace NAME COMMAND...: queues every run of COMMAND, its output in $out/NAME-<run>; run_queued
# runs them.
queued=()
trace() {
  local name=$1 i
  shift
  for i in "${!runs[@]}"; do
    queued+=("$(printf '%q ' "$name" "$i" "$@")")
  done
}

# traced NAME I COMMAND...: run I of COMMAND into $out/NAME-I, its exit code into $out/NAME-I.code.
traced() {
  local name=$1 i=$2 args
  shift 2
  read -ra args <<<"${runs[$i]}"
  "$@" "${args[@]}" >"$out/$name-$i" && echo 0 >"$out/$name-$i.code" || echo $? >"$out/$name-$i.code"
}

# run_queued: every queued run, one per processor at a time, in the order queued (the longest
# first, so that none is left running alone at the end); fails naming every run that failed.
run_queued() {
  local job name i status=0
  for job in "${queued[@]}"; do
    while (($(jobs -rp | wc -l) >= $(nproc))); do wait -n; done
    eval "traced $job" &
  done
  wait
  for job in "${queued[@]}"; do
    eval "set -- $job"
    name=$1 i=$2
    shift 2
    if [[ "$(cat "$out/$name-$i.code")" != 0 ]]; then
      echo "Cross-architecture determinism: $* ${runs[$i]} failed with exit code $(cat "$out/$name-$i.code")"
      status=1
    fi
  done
  queued=()
  return $status
}

# compare NAME: fails, showing the first line that differs, unless NAME printed what x86-64 did.
compare() {
  local i line status=0
  for i in "${!runs[@]}"; do
    cmp -s "$out/x86-64-$i" "$out/$1-$i" && continue
    status=1
    echo "Cross-architecture determinism: $1 differs from x86-64 in rigid2d-trace ${runs[$i]}"
    line=$(cmp "$out/x86-64-$i" "$out/$1-$i" 2>&1 | sed -n 's/.*line \([0-9]*\).*/\1/p')
    if [[ -n "$line" ]]; then
      echo "  x86-64: $(sed -n "${line}p" "$out/x86-64-$i")"
      echo "  $1: $(sed -n "${line}p" "$out/$1-$i")"
    fi
  done
  return $status
}

build build-cross/x86-64
if ! $fused; then
  build-cross/x86-64/tools/rigid2d-trace --save-state "$out/demo.state" 500 >/dev/null
  build-cross/x86-64/tools/rigid2d-trace --scene grid --bodies 1000 --solver stable \
    --save-state "$out/grid.state" 1500 >/dev/null
  # A session that changed gravity, restitution and the dropped circles, switched the solver in
  # place, removed a circle and cleared the dropped ones, played to its step 600, and the state it
  # had at step 300 (saved with its settings) continued to the same step.
  printf '%s\n' 'rigid2d-replay 3' 'scene grid 300 stable' \
    '40 settings 0x1p-2 -0x1.8p+0 0x1.333334p-2 0x1.8p+3 0x1.99999ap-5 0x1p-1' \
    '41 spawn 0x1.4p+9 0x1.5ep+9' '42 spawn 0x1.2cp+9 0x1.5ep+9' '200 solver-in-place designed' \
    '250 settings -0x1p-1 -0x1p+0 0x1.99999ap-1 0x1.ep+4 0x1.47ae14p-6 0x1p+0' \
    '251 spawn 0x1.4p+9 0x1.5ep+9' '300 remove 40' '350 clear' '400 solver-in-place stable' >"$out/settings.replay"
  build-cross/x86-64/tools/rigid2d-trace --replay "$out/settings.replay" \
    --save-state "$out/settings.state" 300 >/dev/null
  build-cross/x86-64/tools/rigid2d-trace --scene mix --save-state "$out/mix.state" 1500 >/dev/null
  # Asleep by step 350; the circle dropped at 400 wakes the pile, which sleeps again by 800.
  printf '%s\n' 'rigid2d-replay 5' 'scene grid 100 stable 3' '400 spawn 640 450' >"$out/sleep.replay"
  # A box dropped on the same pile, stopped by its frictionless contacts' resistance to turning:
  # the box asleep by step 1500.
  printf '%s\n' 'rigid2d-replay 5' 'scene grid 100 stable 4' '400 box 640 450' >"$out/rock.replay"
  runs+=("--load-state $out/demo.state 500" "--load-state $out/grid.state 1500"
    "--replay $out/settings.replay 600" "--load-state $out/settings.state 300"
    "--load-state $out/mix.state 1500" "--replay $out/sleep.replay 800"
    "--replay $out/rock.replay 1500")
fi
trace x86-64 build-cross/x86-64/tools/rigid2d-trace
run_queued

if $fused; then
  # A launcher shell runs every compile with the option appended: after the project's
  # -ffp-contract=off, so it wins.
  cross build-cross/aarch64-fused aarch64-linux-gnu aarch64 \
    '-DCMAKE_CXX_COMPILER_LAUNCHER=sh;-c;exec "$0" "$@" -ffp-contract=fast'
  fma=$(aarch64-linux-gnu-objdump -d build-cross/aarch64-fused/tools/rigid2d-trace |
    grep -cE '\sf(n)?m(add|sub)\s' || true)
  echo "AArch64 with -ffp-contract=fast: $fma fused multiply-add instructions (fmadd, fmsub, ...)"
  ((fma > 0)) || { echo "expected fused multiply-adds; the self-test proves nothing"; exit 1; }
  trace aarch64-fused qemu-aarch64 build-cross/aarch64-fused/tools/rigid2d-trace
  run_queued
  if compare aarch64-fused; then
    echo "Cross-architecture determinism: the fused build was not told apart from x86-64"
    exit 1
  fi
  echo "Cross-architecture determinism: the check tells the fused AArch64 build apart, as it must."
  exit 0
fi

cross build-cross/aarch64 aarch64-linux-gnu aarch64
cross build-cross/i686 i686-linux-gnu i686
# Configured as the desktop build's web-build/ tree is, so that tree can be this one.
wasm="${WASM_BUILD_DIR:-build-cross/wasm}"
emcmake cmake -S . -B "$wasm" -DCMAKE_BUILD_TYPE=Release >"$out/cmake.log" ||
  { cat "$out/cmake.log"; exit 1; }
cmake --build "$wasm" -j"$(nproc)" --target rigid2d-trace >"$out/build.log" ||
  { cat "$out/build.log"; exit 1; }
i386=(build-cross/i686/tools/rigid2d-trace)
if "${i386[@]}" --version >/dev/null 2>&1; then
  i386_how=natively
else
  i386=(qemu-i386 "${i386[@]}")
  i386_how="under qemu-i386, as this kernel does not run 32-bit x86 programs"
fi
# AArch64's emulated pyramid, the longest run, takes one processor while the others share the
# rest.
trace aarch64 qemu-aarch64 build-cross/aarch64/tools/rigid2d-trace
trace i386 "${i386[@]}"
trace wasm node "$wasm/tools/rigid2d-trace.js"
run_queued

status=0
compare aarch64 || status=1
compare i386 || status=1
compare wasm || status=1
if ((status == 0)); then
  echo "Cross-architecture determinism: AArch64 (under qemu-aarch64), i386 ($i386_how) and"
  echo "WebAssembly (under Node.js $(node --version))"
  echo "print what x86-64 prints, bit for bit, for rigid2d-trace $(printf '[%s] ' "${runs[@]}" | sed 's/ $//')"
fi
exit $status
