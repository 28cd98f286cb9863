#!/usr/bin/env bash
# Builds the physics fuzz target (clang: libFuzzer, ASan, UBSan) and fuzzes a copy of the seed
# corpus for a bounded time. Any finding (trap, sanitizer report, leak, timeout) fails the script
# and leaves its input as crash-*, leak-* or timeout-* in the build directory; replay it with
#   build-fuzz/rigid2d-fuzz-world FILE
# Usage: scripts/ci-fuzz.sh [SECONDS]   (default 60; FUZZ_BUILD_DIR overrides build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

scripts/install-deps.sh ci
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" -j"$(nproc)"

# Fuzzing adds inputs to its corpus directory: work on a copy, so the seeds stay as committed.
rm -rf "$build/corpus-run" "$build"/crash-* "$build"/leak-* "$build"/timeout-* "$build"/oom-*
mkdir -p "$build/corpus-run"
cp fuzz/corpus/* "$build/corpus-run/"

log="$build/fuzz.log"
echo "Fuzzing for ${seconds} s; full log in $log"
status=0
"$build/rigid2d-fuzz-world" -max_total_time="$seconds" -max_len=2048 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$build/" "$build/corpus-run" >"$log" 2>&1 || status=$?

if ((status != 0)); then
  tail -n 80 "$log"
  echo "ci-fuzz: FAILED (exit $status); reproducer: $(ls "$build"/crash-* "$build"/leak-* \
    "$build"/timeout-* "$build"/oom-* 2>/dev/null | tr '\n' ' ')" >&2
  exit "$status"
fi
grep -E '^Done [0-9]+ runs|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb):' "$log"
echo "ci-fuzz: no findings"
