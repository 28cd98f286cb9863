#!/usr/bin/env bash
# Runs the README's two commands and then .ci/run on a fresh minimal Debian 12 root (debootstrap
# --variant=minbase bookworm), from a copy of this tree without .git and without build folders,
# as a new machine, or one given a source tarball, sees them. Prints the time of each stage.
# Long and CPU-heavy: it installs everything and runs the whole CI. Needs root and the network to
# Debian's archive.
#
# Each command's own first step, scripts/install-deps.sh, runs on its own with the network; the
# commands then run with everything installed in a network namespace of their own (see
# debian_root_run_offline), where install-deps finds nothing missing.
# Usage: scripts/ci-fresh-root.sh   (the root is made under $TMPDIR or /var/tmp, and removed)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian-root.sh

root=$(mktemp -d "${TMPDIR:-/var/tmp}/rigid2d-root.XXXXXX")
rmdir "$root"
log="$root.ci.log"
install_log="$root.install.log"
trap 'debian_root_remove "$root"' EXIT

stage() {
  local name="$1" start=$SECONDS
  shift
  echo "== $name"
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}
copy_tree() {
  mkdir "$root/root/rigid2d"
  tar -C . --exclude=./.git --exclude='./build*' --exclude=./rigid2d.png -cf - . |
    tar -C "$root/root/rigid2d" -xf -
}
in_tree() { debian_root_run "$root" sh -c 'cd rigid2d && exec "$@"' sh "$@"; }
in_tree_offline() { debian_root_run_offline "$root" sh -c 'cd rigid2d && exec "$@"' sh "$@"; }
# apt's output goes to a log of its own; the summary line says how much was installed.
install_deps() {
  in_tree scripts/install-deps.sh "$1" >>"$install_log" 2>&1 || {
    tail -n 40 "$install_log"
    return 1
  }
  grep 'newly installed' "$install_log" | tail -n 1
}
run_ci() {
  in_tree_offline bash .ci/run >"$log" 2>&1 || {
    tail -n 60 "$log"
    return 1
  }
  grep '^== .ci/run at' "$log"
  tail -n 4 "$log"
}

stage "debootstrap --variant=minbase bookworm" debian_root_create "$root"
stage "copy of the tree" copy_tree
echo "(apt's output: $install_log; .ci/run's: $log)"
stage "scripts/install-deps.sh run" install_deps run
stage "./run.sh" in_tree_offline sh -c './run.sh && test -s rigid2d.png'
stage "scripts/install-deps.sh ci" install_deps ci
stage ".ci/run" run_ci
echo "== total: $SECONDS s"
