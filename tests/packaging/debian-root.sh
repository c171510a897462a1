#!/usr/bin/env bash
# A minimal Debian root of this machine's release (debootstrap
# --variant=minbase), kept in a cache folder for the package tests, with the
# package lists refreshed once a day and the packages apt fetched kept. It
# reaches nothing but Debian's archive, and only while it builds or
# refreshes. Prints the root's path.
#
#   debian-root.sh <cache folder>
set -euo pipefail
cache=$1
. /etc/os-release
release=${VERSION_CODENAME:?this machine names no Debian release}
root=$cache/$release
mirror=${PALLIX_DEBIAN_MIRROR:-http://deb.debian.org/debian}

if [ ! -x "$root/usr/bin/apt-get" ]; then
  echo "debian-root: building a minimal $release root in $root (once)" >&2
  rm -rf "$root.new"
  mkdir -p "$cache"
  debootstrap --variant=minbase "$release" "$root.new" "$mirror" >&2
  cat >"$root.new/etc/apt/sources.list" <<SOURCES
deb $mirror $release main
deb $mirror $release-updates main
deb ${mirror%/debian}/debian-security $release-security main
SOURCES
  # Only what a package depends on, and apt as root in a chroot.
  cat >"$root.new/etc/apt/apt.conf.d/90pallix-test" <<'CONF'
APT::Install-Recommends "false";
APT::Sandbox::User "root";
CONF
  # Nothing the packages install is started: no init script, no systemd.
  printf '#!/bin/sh\nexit 101\n' >"$root.new/usr/sbin/policy-rc.d"
  chmod 755 "$root.new/usr/sbin/policy-rc.d"
  mv "$root.new" "$root"
fi

stamp=$root/var/lib/apt/lists/pallix-refreshed
if [ -z "$(find "$stamp" -mmin -1440 2>/dev/null)" ]; then
  echo "debian-root: refreshing the package lists of $root" >&2
  chroot "$root" apt-get -q update >&2
  chroot "$root" apt-get -q autoclean >&2
  touch "$stamp"
fi
echo "$root"
