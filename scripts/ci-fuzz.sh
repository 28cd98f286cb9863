#!/usr/bin/env bash
# Builds the fuzz targets (clang: libFuzzer, ASan, UBSan) and fuzzes one of them on a copy of its
# seed corpus for a bounded time: world, the physics (seeds in fuzz/corpus/), or replay, the
# replay reader (seeds in fuzz/replay-corpus/). Any finding (trap, sanitizer report, leak,
# timeout) fails the script and leaves its input as crash-*, leak-* or timeout-* in the build
# directory; replay it with
#   build-fuzz/rigid2d-fuzz-TARGET FILE
# Usage: scripts/ci-fuzz.sh [SECONDS] [world|replay]   (default 60 world; FUZZ_BUILD_DIR
# overrides build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
target="${2:-world}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"
case "$target" in
world) seeds=fuzz/corpus max_len=2048 ;;
replay) seeds=fuzz/replay-corpus max_len=4096 ;;
*) echo "usage: $0 [SECONDS] [world|replay]" >&2; exit 2 ;;
esac

scripts/install-deps.sh ci
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" -j"$(nproc)"

# Fuzzing adds inputs to its corpus directory: work on a copy, so the seeds stay as committed.
run="$build/corpus-run-$target"
rm -rf "$run" "$build"/crash-* "$build"/leak-* "$build"/timeout-* "$build"/oom-*
mkdir -p "$run"
cp "$seeds"/* "$run/"

log="$build/fuzz-$target.log"
echo "Fuzzing $target for ${seconds} s; full log in $log"
status=0
"$build/rigid2d-fuzz-$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$build/" "$run" >"$log" 2>&1 || status=$?

if ((status != 0)); then
  tail -n 80 "$log"
  echo "ci-fuzz: FAILED (exit $status); reproducer: $(ls "$build"/crash-* "$build"/leak-* \
    "$build"/timeout-* "$build"/oom-* 2>/dev/null | tr '\n' ' ')" >&2
  exit "$status"
fi
grep -E '^Done [0-9]+ runs|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb):' "$log"
echo "ci-fuzz: no findings"
