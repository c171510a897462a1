#!/usr/bin/env bash
# The packages' life on a Debian system, in a throwaway root (a copy of a
# cached minimal root, in private mount, process and network namespaces):
#
#   - pallixd with its library pulls in no X11 and no Qt GUI;
#   - the single package of 1.0.0 upgrades to the four, the unit no longer in
#     /lib, pallixd still enabled; purged, nothing is left;
#   - the previous build installs (pallixd not enabled, not started, the group
#     pallix made), upgrades to this build (the administrator's configuration
#     kept, a running pallixd restarted), is removed (pallixd stopped, its
#     configuration kept) and purged (configuration and enable links gone);
#     nothing is left but the groups pallix and pallix-admin, which Debian keeps: files may
#     still carry its id.
#
# systemd does not run: the maintainer scripts see it running
# (/run/systemd/system) and reach a systemctl that only records what it is
# asked (and keeps whether pallixd runs); enabling is done offline
# (systemctl --root). Only the dependencies' download reaches the network,
# and only Debian's archive; everything else runs without one. Needs root.
#
#   install-upgrade-purge.sh <packages folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The packages under ROOT/tmp/pkgs/SET whose names match, as the root sees them.
debs() { (cd "$1/tmp/pkgs/$2" && printf "/tmp/pkgs/$2/%s\n" $3); }

if [ "${1-}" != --inside ]; then
  [ "$(id -u)" -eq 0 ] || { echo "install-upgrade-purge: needs root (debootstrap, chroot)" >&2; exit 1; }
  packages=$(cd "$1" && pwd)
  cache=${PALLIX_TEST_ROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pallix-test-root}
  started=$SECONDS
  base=$(bash "$here/debian-root.sh" "$cache")
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/pkgs/current"
  for deb in "$packages"/*.deb; do
    case $deb in *-dbgsym_*) ;; *) cp "$deb" "$work/pkgs/current/" ;; esac
  done
  bash "$here/previous-packages.sh" "$work/pkgs/current" "$work/pkgs" >/dev/null

  # With the network: what the packages need, fetched into the cached root.
  echo "== fetching the dependencies from Debian's archive (kept in $base)"
  trap 'rm -rf "$work" "$base/tmp/pkgs"' EXIT
  cp -r "$work/pkgs" "$base/tmp/pkgs"
  for set in single previous current; do
    chroot "$base" apt-get -q -y --download-only install $(debs "$base" $set '*.deb') >/dev/null
  done
  echo "== pallixd alone"
  pulled=$(chroot "$base" apt-get -s install $(debs "$base" current 'pallixd_* libnerrinapi1_*') |
             awk '/^Inst /{print $2}')
  all=$(chroot "$base" apt-get -s install $(debs "$base" current '*.deb') | awk '/^Inst /{print $2}')
  echo "pallixd and libnerrinapi1 install $(wc -l <<<"$pulled") packages, all four $(wc -l <<<"$all")"
  gui=$(grep -E '^(libx11|libxcb|libqt6gui|libqt6widgets|libgl1|libegl|libwayland|libdrm)' <<<"$pulled" || true)
  [ -z "$gui" ] || { echo "FAIL pallixd pulls in X11 or Qt GUI:" $gui; exit 1; }
  echo "ok   none of them X11, Wayland, OpenGL or Qt GUI"
  rm -rf "$base/tmp/pkgs"

  # Without it, in a copy of the root that goes with the namespaces.
  echo "== copying the root"
  cp -a "$base" "$work/root"
  mv "$work/pkgs" "$work/root/tmp/pkgs"
  unshare --mount --net --pid --fork --kill-child bash "${BASH_SOURCE[0]}" --inside "$work/root"
  echo "== passed in $((SECONDS - started)) s"
  exit 0
fi

# ---- inside the namespaces, no network ----
root=$2
mount --make-rprivate /
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/run"
failures=0

step() { echo "== $*"; }
ok() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() {
  local what=$1
  shift
  if "$@"; then ok "$what"; else fail "$what"; fi
}
chroot_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
in_root() {
  chroot "$root" /usr/bin/env -i PATH=$chroot_path LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
# apt gives dpkg a PATH of its own; this one finds the recording systemctl.
apt_get() {
  in_root apt-get -q -y -o Dpkg::Use-Pty=0 -o DPkg::Path="$chroot_path" "$@" >"$root/tmp/apt.log" 2>&1 ||
    { cat "$root/tmp/apt.log"; fail "apt-get $*"; exit 1; }
}
ours=(pallix pallixd libnerrinapi1 libnerrinapi-dev)

# Everything of the root that is not the package manager's own records, with
# the content of each configuration file; the groups apart.
snapshot() {
  in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
      -o -path /var/lib/dpkg -o -path /var/lib/apt -o -path /var/cache/apt -o -path /var/cache/debconf \
      -o -path /var/cache/ldconfig -o -path /var/log -o -path /etc/ld.so.cache \
      -o -path '/etc/group*' -o -path '/etc/gshadow*' \) -prune -o -printf '%y %p %l\n' | sort
  in_root find /etc -xdev -type f ! -name 'group*' ! -name 'gshadow*' ! -name ld.so.cache \
      -exec md5sum {} + | sort -k2
}
nothing_left() {
  snapshot >"$root/tmp/after"
  local left
  left=$(diff "$root/tmp/before" "$root/tmp/after" | grep '^[<>]' || true)
  [ -z "$left" ] || { echo "$left" | sed 's/^/  /'; return 1; }
  left=$(diff <(cut -d: -f1 "$root/tmp/groups-before") <(in_root cut -d: -f1 /etc/group) | grep '^[<>]' || true)
  [ "$left" = $'> pallix\n> pallix-admin' ] || { echo "  groups: $left"; return 1; }
}
enable_links() { in_root find /etc/systemd /var/lib/systemd -name '*pallixd*' 2>/dev/null; }
installed() { [ "$(in_root dpkg-query -W -f '${Version} ${db:Status-Abbrev}' "$1" 2>/dev/null)" = "$2 ii " ]; }
all_installed() { local p; for p in "${ours[@]}"; do installed "$p" "$1" || return 1; done; }
none_installed() { ! in_root dpkg-query -W -f '${db:Status-Abbrev}\n' "${ours[@]}" 2>/dev/null | grep -q '^[a-z][^n]'; }
asked() { grep -qx -- "systemctl $*" "$root/run/systemctl.log" || { sed 's/^/  asked: /' "$root/run/systemctl.log"; return 1; }; }
not_asked() { ! grep -qx -- "systemctl $*" "$root/run/systemctl.log"; }

# A systemctl that the maintainer scripts reach once /run/systemd/system
# says systemd runs.
mkdir -p "$root/usr/local/bin"
cat >"$root/usr/local/bin/systemctl" <<'EOF'
#!/bin/sh
# Records what it is asked; whether pallixd runs is a file. Offline requests
# (--root) and is-enabled go to the real systemctl, which reads only files.
echo "systemctl $*" >>/run/systemctl.log
for unit; do :; done
case " $* " in
  *" --root="*) exec /usr/bin/systemctl "$@" ;;
  *" is-enabled "*) exec /usr/bin/systemctl --root=/ is-enabled "$unit" ;;
  *" is-active "*) [ -e "/run/active-$unit" ]; exit ;;
  *" start "* | *" restart "*) touch "/run/active-$unit" ;;
  *" stop "*) rm -f "/run/active-$unit" ;;
esac
exit 0
EOF
chmod 755 "$root/usr/local/bin/systemctl"
# Only pallixd's unit reaches it: nothing else is started.
printf '#!/bin/sh\n[ "$1" = pallixd.service ] || [ "$1" = pallixd ] || exit 101\n' >"$root/usr/sbin/policy-rc.d"

step "the dependencies, from the fetched packages"
deps=$(in_root apt-get -s install $(debs "$root" current '*.deb') | awk '/^Inst /{print $2}' |
  grep -vx -e pallix -e pallixd -e libnerrinapi1 -e libnerrinapi-dev)
apt_get install $deps
snapshot >"$root/tmp/before"
cp "$root/etc/group" "$root/tmp/groups-before"
ok "$(wc -l <<<"$deps") packages"
mkdir -p "$root/run/systemd/system"

step "from the single package of 1.0.0, with pallixd enabled, to the four of this build"
apt_get install $(debs "$root" single '*.deb')
in_root /usr/bin/systemctl --root=/ enable pallixd.service 2>/dev/null
: >"$root/run/systemctl.log"
apt_get install $(debs "$root" current '*.deb')
version=$(dpkg-deb -f "$(ls "$root"/tmp/pkgs/current/pallixd_*.deb)" Version)
check "all four installed at $version" all_installed "$version"
check "the unit in /usr/lib/systemd/system, and no longer in the package's /lib" \
  test "$(in_root dpkg -S /usr/lib/systemd/system/pallixd.service 2>/dev/null)" = \
       "pallixd: /usr/lib/systemd/system/pallixd.service"
check "its content intact" cmp -s "$root/usr/lib/systemd/system/pallixd.service" \
  <(dpkg-deb --fsys-tarfile "$(ls "$root"/tmp/pkgs/current/pallixd_*.deb)" | tar -xO ./usr/lib/systemd/system/pallixd.service)
check "pallixd still enabled" test "$(in_root /usr/bin/systemctl --root=/ is-enabled pallixd.service)" = enabled
check "pallixd, enabled, started as the new package was configured" asked "--quiet --system start pallixd.service"
apt_get purge "${ours[@]}"
check "purged: none installed" none_installed
check "purged: no enable link, no state" test -z "$(enable_links)"
check "purged: nothing left but the groups pallix and pallix-admin" nothing_left

step "the previous build installed"
: >"$root/run/systemctl.log"
apt_get install $(debs "$root" previous '*.deb')
check "all four installed" all_installed "$version~previous"
check "the groups pallix and pallix-admin made" in_root sh -c "getent group pallix >/dev/null && getent group pallix-admin >/dev/null"
check "pallixd not enabled" test "$(in_root /usr/bin/systemctl --root=/ is-enabled pallixd.service)" = disabled
check "pallixd not started" not_asked "--quiet --system start pallixd.service"
check "systemd told of the new unit" asked "--system daemon-reload"
check "the configuration file: every line a comment" \
  test -z "$(grep -Ev '^\s*([#;].*)?$|^\[pallixd\]$' "$root/etc/pallix/pallixd.conf")"
check "pallixd and pallixctl run" in_root sh -c '{ pallixd --version && pallixctl --version; } >/dev/null'
paths=$(in_root env QT_QPA_PLATFORM=offscreen HOME=/tmp Pallix --paths 2>&1)
check "the Control Center finds every file it needs" test -z "$(grep missing <<<"$paths")"

step "the administrator sets dry-run, enables and starts pallixd; this build comes"
echo "dry-run = yes" >>"$root/etc/pallix/pallixd.conf"
in_root /usr/bin/systemctl --root=/ enable pallixd.service 2>/dev/null
in_root systemctl start pallixd.service
: >"$root/run/systemctl.log"
apt_get install $(debs "$root" current '*.deb')
check "all four upgraded to $version" all_installed "$version"
check "the running pallixd restarted" asked "--quiet --system restart pallixd.service"
check "the administrator's configuration kept" grep -qx "dry-run = yes" "$root/etc/pallix/pallixd.conf"
check "pallixd still enabled" test "$(in_root /usr/bin/systemctl --root=/ is-enabled pallixd.service)" = enabled

step "removed"
: >"$root/run/systemctl.log"
apt_get remove "${ours[@]}"
check "pallixd stopped" asked "stop pallixd.service"
check "systemd told the unit went" asked "--system daemon-reload"
check "the programs gone" test ! -e "$root/usr/bin/pallixd" -a ! -e "$root/usr/bin/Pallix"
check "the configuration kept" grep -qx "dry-run = yes" "$root/etc/pallix/pallixd.conf"

step "purged"
in_root dpkg --purge "${ours[@]}" >"$root/tmp/dpkg.log" 2>&1 || { cat "$root/tmp/dpkg.log"; fail "dpkg --purge"; }
check "none installed" none_installed
check "the configuration file gone" test ! -e "$root/etc/pallix"
check "no enable link, no state" test -z "$(enable_links)"
check "nothing left but the groups pallix and pallix-admin" nothing_left

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
