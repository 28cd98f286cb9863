# Sourced by the scripts that try rigid2d on a fresh Debian 12 machine: a minimal bookworm root
# made with debootstrap, commands run in it as root with this machine's /proc, /sys and /dev, and
# its removal. Needs root; installs debootstrap if the machine lacks it.

# debian_root_create DIR: a new minimal root in DIR (which must not exist), mounts in place.
debian_root_create() {
  local root="$1"
  if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -q \
      --no-install-recommends debootstrap >/dev/null
  fi
  debootstrap --variant=minbase bookworm "$root" >"$root.debootstrap.log" 2>&1 || {
    tail -n 20 "$root.debootstrap.log" >&2
    return 1
  }
  rm -f "$root.debootstrap.log"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --make-rslave "$root/sys"
  mount --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"
}

# A login's environment and nothing of this machine's.
debian_root_environment=(/usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)

# debian_root_run DIR COMMAND...: COMMAND in the root as root, in /root.
debian_root_run() {
  local root="$1"
  shift
  chroot "$root" "${debian_root_environment[@]}" sh -c 'cd /root && exec "$@"' sh "$@"
}

# debian_root_run_offline DIR COMMAND...: the same without network, in a network namespace of its
# own. X servers listen on abstract sockets, which belong to the network namespace: this keeps
# the root's virtual X servers from colliding with those of this machine, which the root's
# xvfb-run -a cannot see.
debian_root_run_offline() {
  local root="$1"
  shift
  unshare --net chroot "$root" "${debian_root_environment[@]}" \
    sh -c 'cd /root && exec "$@"' sh "$@"
}

# debian_root_remove DIR: unmounts and deletes the root; leaves it in place if anything stays
# mounted, so that nothing of this machine's /dev or /sys is ever deleted with it.
debian_root_remove() {
  local root="$1" mountpoint
  for mountpoint in dev sys proc; do
    umount -R "$root/$mountpoint" 2>/dev/null ||
      umount -R -l "$root/$mountpoint" 2>/dev/null || true
  done
  if grep -q " $root/" /proc/mounts; then
    echo "debian-root: $root still has mounts; left in place" >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
}
