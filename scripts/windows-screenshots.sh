#!/usr/bin/env bash
# Pictures of Pallix.exe's icon and windows under Wine, against pallix-sim,
# each tour step in private namespaces like the Windows scenarios.
#
#   scripts/windows-screenshots.sh <out folder> [Windows bin folder] [Linux bin folder]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT=$(mkdir -p "$1" && cd "$1" && pwd)
WIN_BIN=${2:-$ROOT/build-win64/bin}
NATIVE_BIN=${3:-$ROOT/build/bin}
PREFIX=$(cd "$WIN_BIN/.." && pwd)/wineprefix
for step in "$ROOT"/scripts/windows-tour/*.sh; do
  PALLIX_SHOTS=$OUT bash "$ROOT/tests/windows/scenarios/run.sh" "$PREFIX" win64 "$WIN_BIN" "$NATIVE_BIN" "$step"
done
echo "pictures: $OUT"
