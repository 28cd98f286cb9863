#!/usr/bin/env bash
# Builds the fuzz targets (clang: libFuzzer, ASan, UBSan) and fuzzes each, from a copy of its
# seed corpus, for a bounded time. Any finding (trap, sanitizer report, leak, timeout) fails the
# script and leaves its input as crash-*, leak-* or timeout-* in the build directory; replay it
# with the target, e.g.
#   build-fuzz/rigid2d-fuzz-world FILE
# Usage: scripts/ci-fuzz.sh [SECONDS]   (per target, instead of each one's own time below;
# FUZZ_BUILD_DIR overrides build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${FUZZ_BUILD_DIR:-build-fuzz}"

scripts/install-deps.sh ci
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" -j"$(nproc)"

# target, its seed corpus, seconds
targets=(
  "rigid2d-fuzz-world fuzz/corpus 60"
  "rigid2d-fuzz-session fuzz/corpus-session 30"
)
rm -f "$build"/crash-* "$build"/leak-* "$build"/timeout-* "$build"/oom-*
for entry in "${targets[@]}"; do
  read -r target seeds seconds <<<"$entry"
  seconds="${1:-$seconds}"
  # Fuzzing adds inputs to its corpus directory: work on a copy, so the seeds stay as committed.
  run="$build/$target-corpus"
  rm -rf "$run"
  mkdir -p "$run"
  cp "$seeds"/* "$run/"

  log="$build/$target.log"
  echo "Fuzzing $target for ${seconds} s; full log in $log"
  status=0
  "$build/$target" -max_total_time="$seconds" -max_len=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/" "$run" >"$log" 2>&1 || status=$?

  if ((status != 0)); then
    tail -n 80 "$log"
    echo "ci-fuzz: $target FAILED (exit $status); reproducer: $(ls "$build"/crash-* \
      "$build"/leak-* "$build"/timeout-* "$build"/oom-* 2>/dev/null | tr '\n' ' ')" >&2
    exit "$status"
  fi
  grep -E '^Done [0-9]+ runs|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb):' "$log"
done
echo "ci-fuzz: no findings"
