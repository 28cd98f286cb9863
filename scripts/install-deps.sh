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
               libbox2d-dev libchipmunk-dev) ;;
*) echo "usage: $0 run|test|ci" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
