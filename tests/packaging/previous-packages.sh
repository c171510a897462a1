#!/usr/bin/env bash
# The packages a user upgrades from, made from this build's without a second
# compile:
#   <out>/previous/  this build's packages with a lower version (<version>~previous),
#                    as the build before this one left them;
#   <out>/single/    pallix 1.0.0 as the project packaged it before the split:
#                    one package with the programs, the library and its
#                    development files, the unit in /lib/systemd/system, no
#                    maintainer scripts.
#
#   previous-packages.sh <packages folder> <out folder>
set -euo pipefail
packages=$1 out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out/previous" "$out/single"

for deb in "$packages"/*.deb; do
  case $deb in *-dbgsym_*) continue ;; esac
  name=$(dpkg-deb -f "$deb" Package)
  version=$(dpkg-deb -f "$deb" Version)
  dpkg-deb -R "$deb" "$work/$name"
  # Its own version and the exact dependencies between the four.
  sed -i "s/$version/$version~previous/g" "$work/$name/DEBIAN/control"
  dpkg-deb -b "$work/$name" "$out/previous" >/dev/null
  # The single package holds every file of the four, as it was laid out.
  dpkg-deb -x "$deb" "$work/single"
  dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//' >>"$work/depends"
done

single=$work/single
mkdir -p "$single/DEBIAN" "$single/lib/systemd"
mv "$single/usr/lib/systemd/system" "$single/lib/systemd/"
# What came with the split: the service's group and configuration file, the
# completion, the metainfo, the scalable icons; one documentation folder.
rm -rf "$single/usr/lib/systemd" "$single/usr/lib/sysusers.d" "$single/etc/pallix" \
  "$single/usr/share/bash-completion" "$single/usr/share/metainfo" \
  "$single/usr/share/icons/hicolor/scalable" "$single/usr/share/doc/"{libnerrinapi1,libnerrinapi-dev,pallixd}
depends=$(grep -v -e '^libnerrinapi' -e '^systemd' "$work/depends" | sort -u | paste -sd, | sed 's/,/, /g')
cat >"$single/DEBIAN/control" <<CONTROL
Package: pallix
Version: 1.0.0
Architecture: $(dpkg --print-architecture)
Maintainer: Pallix Developers <developers@pallix.invalid>
Depends: $depends
Section: utils
Priority: optional
Description: Control Center, device library and tools for the Pallix
 The package as it was before the split into four.
CONTROL
echo /etc/xdg/autostart/pallix.desktop >"$single/DEBIAN/conffiles"
echo "activate-noawait ldconfig" >"$single/DEBIAN/triggers"
echo "libNerrinAPI 1 pallix (>= 1.0.0)" >"$single/DEBIAN/shlibs"
dpkg-deb --root-owner-group -b "$single" "$out/single" >/dev/null
ls "$out"/previous/*.deb "$out"/single/*.deb
