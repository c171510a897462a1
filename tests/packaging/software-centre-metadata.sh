#!/usr/bin/env bash
# What software centres read of the installed tree, the AppStream metainfo
# with the desktop entry it names, passes appstreamcli's strict check.
# No appstreamcli: skipped (77).
#
#   software-centre-metadata.sh <build folder>
set -euo pipefail
command -v appstreamcli >/dev/null || { echo "no appstreamcli: skipped"; exit 77; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$1" >/dev/null
appstreamcli validate-tree --no-net --strict "$root"
