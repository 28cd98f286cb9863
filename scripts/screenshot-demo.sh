#!/usr/bin/env bash
# Inside an X server: runs the demo for about three seconds, saves a PNG of the screen to $1 and
# ends the demo. Fails if the demo did not survive until the screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
# Qt wants a private runtime folder; a virtual display has none of its own.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
build/app/rigid2d &
demo=$!
sleep 3
if ! kill -0 "$demo" 2>/dev/null; then
  wait "$demo" || true
  echo "The demo ended before the screenshot." >&2
  exit 1
fi
build/tools/rigid2d-screenshot "$1"
kill "$demo"
wait "$demo" 2>/dev/null || true
