#!/usr/bin/env bash
# Installs the Debian packages rigid2d needs and this machine lacks; does nothing when all are
# there. Usage: scripts/install-deps.sh run|test|ci
set -euo pipefail

packages=(g++ make cmake qtbase5-dev xvfb xauth libgl1-mesa-dri)
case "${1:-run}" in
run) ;;
test) packages+=(googletest libgtest-dev libbenchmark-dev libx11-dev libxtst-dev) ;;
ci) packages+=(googletest libgtest-dev libbenchmark-dev libx11-dev libxtst-dev
               clang libclang-rt-14-dev valgrind clang-format time
               libbox2d-dev libchipmunk-dev
               g++-aarch64-linux-gnu g++-i686-linux-gnu qemu-user
               libqt5core5a:arm64 libqt5core5a:i386) ;;
*) echo "usage: $0 run|test|ci" >&2; exit 2 ;;
esac

# The cross-architecture check links the QtCore of arm64 and i386, installed beside the
# machine's own.
if [[ "${1:-run}" == ci ]]; then
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
  apt-get -o DPkg::Lock::Timeout=900 update -q
  apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}"
fi
