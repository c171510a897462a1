#!/usr/bin/env bash
# Builds the Debian packages (debian/) from the build folder that make build
# compiled, and checks each with lintian --pedantic: no error, no warning.
#
#   scripts/build-packages.sh <build folder> <packages folder> <jobs>
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 out=$2 jobs=$3
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.deb "$out"/*.ddeb "$out"/*.buildinfo "$out"/*.changes

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
# The packages carry the version the programs print: a new project version
# needs its entry in debian/changelog (dch -v VERSION-1).
program_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if [ "${version%-*}" != "$program_version" ]; then
  echo "debian/changelog is at $version, the programs at $program_version" >&2
  exit 1
fi
# make test ran the tests of this build folder; -nc keeps it (the clean step
# would delete it). dpkg-buildpackage's own files go to the packages folder.
PALLIX_BUILD=$build PALLIX_PACKAGES=$out DEB_BUILD_OPTIONS="nocheck parallel=$jobs" \
  dpkg-buildpackage -b -nc -us -uc \
    --buildinfo-file="$out/pallix_${version}_$arch.buildinfo" --buildinfo-option=-u"$out" \
    --changes-file="$out/pallix_${version}_$arch.changes" --changes-option=-u"$out"
# The staging folders under debian/ are not kept; build/ is.
dh_clean

# Every package, its debug symbols' too, in one run (each tag names its
# package). Lintian's own note that it runs as root, as CI does, is left out.
echo "packages in $out:"
ls -1 "$out" | sed 's/^/  /'
echo "lintian --pedantic -I:"
# Lintian leaves its ELF caches in TMPDIR; they go with this folder.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
report=$(TMPDIR=$scratch lintian --pedantic -I --fail-on error,warning "$out"/*.deb 2>&1) || status=1
grep -v '^running with root privileges' <<<"$report" | sed 's/^/  /' || true
[ $status -eq 0 ] || { echo "lintian found errors or warnings" >&2; exit 1; }
echo "lintian: no error, no warning"
