#!/usr/bin/env bash
# Builds rigid2d and its tests with AddressSanitizer and UndefinedBehaviorSanitizer (any report
# ends the process) and runs the whole suite as test.sh does, in a virtual X server. LeakSanitizer
# checks every test process at exit; scripts/lsan.supp silences only what system libraries keep.
# Usage: scripts/ci-sanitize.sh   (SANITIZE_BUILD_DIR overrides build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${SANITIZE_BUILD_DIR:-build-asan}"

scripts/install-deps.sh ci

# Mesa unloads its driver when the X connection closes, before LeakSanitizer scans memory, and
# with it the driver's own pointers to the blocks it keeps for the life of the process: they would
# be reported as leaks of an unknown module, which no suppression can name. Every executable of
# this build links the driver, which keeps it loaded to the end; it is found under its SONAME
# through a link in the build directory.
driver="/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"
keep_driver=()
if [[ -f "$driver" ]]; then
  mkdir -p "$build/mesa-driver"
  driver_dir="$(cd "$build/mesa-driver" && pwd)"
  soname="$(readelf -d "$driver" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')"
  [[ -z "$soname" ]] || ln -sf "$driver" "$driver_dir/$soname"
  keep_driver=(-DCMAKE_EXE_LINKER_FLAGS="-Wl,--push-state,--no-as-needed,$driver,--pop-state,-rpath,$driver_dir")
fi

# -O1 with line tables only (-g1): the sanitizers' reports still name every frame's file and line,
# and the build compiles in about half the time -O2 -g takes.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DRIGID2D_SANITIZE=ON -DRIGID2D_BUILD_TESTS=ON -DRIGID2D_BUILD_BENCHMARKS=OFF "${keep_driver[@]}"
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
xvfb-run -a -s "-screen 0 2560x1600x24" ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
