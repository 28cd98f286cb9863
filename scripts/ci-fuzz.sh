#!/usr/bin/env bash
# Builds the fuzz targets (clang: libFuzzer, ASan, UBSan) and fuzzes each, from a copy of its
# seed corpus, for a bounded time: world, the physics (seeds in fuzz/corpus/); session, steps,
# spawns and restarts through Session (fuzz/session-corpus/); replay, the replay reader
# (fuzz/replay-corpus/); state, the saved-state reader (fuzz/state-corpus/). Any finding
# (trap, sanitizer report, leak, timeout) fails the script and
# leaves its input as TARGET-crash-*, TARGET-leak-* or TARGET-timeout-* in the build directory;
# replay it with
#   build-fuzz/rigid2d-fuzz-TARGET FILE
# As many targets are fuzzed at once as there are processors.
# Usage: scripts/ci-fuzz.sh [SECONDS [TARGET]]   (by default every target for its own time below;
# FUZZ_BUILD_DIR overrides build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${FUZZ_BUILD_DIR:-build-fuzz}"

# target, seed corpus, seconds, longest input
targets=(
  "world fuzz/corpus 60 2048"
  "session fuzz/session-corpus 30 2048"
  "replay fuzz/replay-corpus 10 4096"
  "state fuzz/state-corpus 10 8192"
)

scripts/install-deps.sh ci
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" -j"$(nproc)"

# fuzz TARGET SEEDS SECONDS MAX_LEN: one target fuzzed, its findings prefixed with its name.
fuzz() {
  local target=$1 seeds=$2 seconds=$3 max_len=$4
  # Fuzzing adds inputs to its corpus directory: work on a copy, so the seeds stay as committed.
  local run="$build/corpus-run-$target" findings="$build/$target-"
  rm -rf "$run" "$findings"crash-* "$findings"leak-* "$findings"timeout-* "$findings"oom-*
  mkdir -p "$run"
  cp "$seeds"/* "$run/"

  local log="$build/fuzz-$target.log" status=0
  echo "Fuzzing $target for ${seconds} s; full log in $log"
  "$build/rigid2d-fuzz-$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings" "$run" >"$log" 2>&1 || status=$?
  echo "$status" >"$build/fuzz-$target.code"
}

# Each fuzzer runs on one processor: as many run at once as there are.
chosen=()
for entry in "${targets[@]}"; do
  read -r target seeds seconds max_len <<<"$entry"
  [[ -z "${2:-}" || "$2" == "$target" ]] || continue
  chosen+=("$target")
  while (($(jobs -rp | wc -l) >= $(nproc))); do wait -n; done
  fuzz "$target" "$seeds" "${1:-$seconds}" "$max_len" &
done
wait

failed=0
for target in "${chosen[@]}"; do
  status=$(cat "$build/fuzz-$target.code")
  log="$build/fuzz-$target.log"
  if ((status != 0)); then
    tail -n 80 "$log"
    echo "ci-fuzz: $target FAILED (exit $status); reproducer: $(ls "$build/$target-"crash-* \
      "$build/$target-"leak-* "$build/$target-"timeout-* "$build/$target-"oom-* 2>/dev/null |
      tr '\n' ' ')" >&2
    failed=$status
    continue
  fi
  echo "$target:"
  grep -E '^Done [0-9]+ runs|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb):' "$log"
done
((failed == 0)) || exit "$failed"
echo "ci-fuzz: no findings"
