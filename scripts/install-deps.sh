#!/usr/bin/env bash
# Installs the Debian packages rigid2d needs and this machine lacks; does nothing when all are
# there. run and test install what one Qt needs (Qt 5 unless --qt 6 is given); ci installs both
# and everything .ci/run and the other scripts in scripts/ use. web installs what building and
# serving the web page needs; test and ci add the browser its tests drive, and the tests' npm
# packages, pinned by tests/web/package-lock.json.
# Usage: scripts/install-deps.sh run|test|ci|web [--qt 5|6]
set -euo pipefail

usage() {
  echo "usage: $0 run|test|ci|web [--qt 5|6]" >&2
  exit 2
}
mode="${1:-run}"
qt=5
if (($# > 1)); then
  [[ $# -eq 3 && "$2" == --qt ]] || usage
  qt="$3"
fi

qt5=(qtbase5-dev)
# Qt 6 keeps the OpenGL 2.1 function table in QtOpenGL and its X11 platform plugin in a package
# of its own.
qt6=(qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins)
case "$qt" in
5) qt_packages=("${qt5[@]}") ;;
6) qt_packages=("${qt6[@]}") ;;
*) usage ;;
esac

packages=(g++ make cmake xvfb xauth libgl1-mesa-dri)
# Emscripten compiles the page; Python's http.server serves it.
web=(emscripten python3)
# A machine may carry a Node.js of its own (with npm), which Debian's packages would conflict with.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  web+=(nodejs npm)
fi
testing=(googletest libgtest-dev libbenchmark-dev libx11-dev libxtst-dev "${web[@]}" chromium)
case "$mode" in
run) packages+=("${qt_packages[@]}") ;;
web) packages=(cmake "${web[@]}") ;;
test) packages+=("${qt_packages[@]}" "${testing[@]}") ;;
ci) packages+=("${qt5[@]}" "${qt6[@]}" "${testing[@]}"
               clang libclang-rt-14-dev valgrind clang-format time libbox2d-dev libchipmunk-dev
               git dpkg-dev file desktop-file-utils
               g++-aarch64-linux-gnu g++-i686-linux-gnu qemu-user
               libqt5core5a:arm64 libqt5core5a:i386) ;;
*) usage ;;
esac

# The cross-architecture check links the QtCore of arm64 and i386, installed beside the
# machine's own.
if [[ "$mode" == ci ]]; then
  for arch in arm64 i386; do
    dpkg --print-foreign-architectures | grep -qx "$arch" || dpkg --add-architecture "$arch"
  done
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Other users of the machine may be installing at the same moment: wait for their lock.
  # A mirror caught mid-sync serves an index of the wrong size for a while. Try again; if it
  # still fails, go on with the indexes that did arrive: the install says if a package is missing.
  for attempt in 1 2 3; do
    apt-get -o DPkg::Lock::Timeout=900 -o Acquire::Retries=3 update -q && break
    echo "apt-get update failed (attempt $attempt of 3)" >&2
    if ((attempt < 3)); then sleep 20; fi
  done
  if ! apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}"; then
    # A mirror whose security updates have reached this machine's architecture but not yet the
    # foreign ones (arm64, i386) offers versions of one library that cannot be installed side by
    # side: take the release's own versions, which every architecture has.
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "apt-get install failed; trying again with the packages of $codename itself" >&2
    apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends -t "$codename" \
      "${missing[@]}"
  fi
fi

# The browser tests' driver, playwright-core, from npm at the version the lock file pins; it
# drives Debian's Chromium and downloads no browser of its own.
if [[ "$mode" == test || "$mode" == ci ]]; then
  tests_web="$(dirname "$0")/../tests/web"
  # npm ci writes node_modules/.package-lock.json: older than the lock file, it is out of date.
  if [[ ! "$tests_web/node_modules/.package-lock.json" -nt "$tests_web/package-lock.json" ]]; then
    npm ci --prefix "$tests_web" --no-audit --no-fund --loglevel=error
  fi
fi
