#!/usr/bin/env bash
# The sync test at length: a session snapshotted at every step of a window of 3000 steps (the
# suite's own run takes 300), each snapshot restored into another session and run on 30 steps,
# which must print what the run that never restored printed then, for the demo, a stable grid
# of 1000 and the mix of 300 circles and boxes; then going back through the history to steps
# across restarts and solver switches.
# It is built without Qt (-DRIGID2D_WITHOUT_QT=ON), with everything else that build holds (the
# engine, the scenes, the session, the file formats, what the programs read of the files and
# scenes their options name, rigid2d-trace's work, rigid2d-soak and their tests), which proves
# that none of them needs Qt.
# SYNC_BUILD_DIR overrides build-sync.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${SYNC_BUILD_DIR:-build-sync}"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DRIGID2D_WITHOUT_QT=ON -DRIGID2D_BUILD_TESTS=ON \
  >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
RIGID2D_SYNC_LONG=1 "$build/tests/session/rigid2d_session_test" --gtest_filter='*SyncTest*'
