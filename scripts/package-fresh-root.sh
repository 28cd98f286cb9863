#!/usr/bin/env bash
# Installs the Debian package on a fresh minimal Debian 12 root (debootstrap --variant=minbase
# bookworm) the way a new user would, `apt-get install ./rigid2d_VERSION_ARCH.deb`, which brings
# its dependencies, then asks the installed programs for their version there. Needs root and the
# network to Debian's archive; takes a few minutes.
# Usage: scripts/package-fresh-root.sh [DEB]   (default: the one scripts/ci-package.sh builds)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian-root.sh

deb="${1:-}"
if [[ -z "$deb" ]]; then
  scripts/ci-package.sh >/dev/null
  deb=$(ls build-package/rigid2d_*.deb)
fi
name=$(basename "$deb")
version=$(dpkg-deb -f "$deb" Version)

root=$(mktemp -d "${TMPDIR:-/var/tmp}/rigid2d-root.XXXXXX")
rmdir "$root"
trap 'debian_root_remove "$root"' EXIT
echo "Making a minimal Debian 12 root in $root"
debian_root_create "$root"
cp "$deb" "$root/root/"
debian_root_run "$root" apt-get update -q >/dev/null
debian_root_run "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$name" |
  tail -n 3

status=0
for program in rigid2d-trace rigid2d; do
  out=$(debian_root_run "$root" "$program" --version 2>&1) || true
  if [[ "$out" == "$program $version" ]]; then
    echo "$program --version: $out"
  else
    echo "$program --version printed \"$out\" instead of \"$program $version\"" >&2
    status=1
  fi
done
exit $status
