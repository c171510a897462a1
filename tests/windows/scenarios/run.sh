#!/usr/bin/env bash
# Runs one user scenario against Pallix.exe under Wine: private network,
# mount and process namespaces, Xvfb with a tray host (Wine docks its
# notification icons there), the Linux pallix-sim, and the program in an
# application folder of its own (so its log is its own).
#
#   run.sh <wine prefix> <win32|win64> <bin folder> <Linux bin folder> <scenario file>
set -euo pipefail

PREFIX=$1 WIDTH=$2
BIN=$(cd "$3" && pwd)
NATIVE_BIN=$(cd "$4" && pwd)
SCENARIO=$(cd "$(dirname "$5")" && pwd)/$(basename "$5")
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
mkdir -p "$(dirname "$PREFIX")"

source "$ROOT/scripts/private-namespaces.sh"
enter_private_namespaces --own-processes --keep "$BIN" --keep "$NATIVE_BIN" \
  --keep "$(dirname "$PREFIX")" --keep "$(dirname "$SCENARIO")" "${BASH_SOURCE[0]}" "$@"
# Inside: the prefix for this width, its server in these namespaces.
if [ -z "${PALLIX_WINE_READY:-}" ]; then
  export PALLIX_WINE_READY=1
  exec bash "$ROOT/tests/windows/wine-run.sh" "$PREFIX" "$WIDTH" bash "${BASH_SOURCE[0]}" "$@"
fi

APP_DIR=$(mktemp -d)/Pallix
# The program's state folder in the prefix (the configurations it keeps),
# emptied for each scenario as the Linux scenarios get their own.
PALLIX_STATE="$PREFIX/drive_c/users/$(id -un)/AppData/Local/Pallix"
rm -rf "$PALLIX_STATE"
cp -r "$BIN" "$APP_DIR"
rm -f "$APP_DIR"/log.txt "$APP_DIR"/log.old.txt
ln -s "$NATIVE_BIN/pallix-sim" "$APP_DIR/pallix-sim"

export DEMO_ROOT="$ROOT" DEMO_BIN="$APP_DIR" DEMO_OUT="${PALLIX_SHOTS:-$APP_DIR/shots}"
mkdir -p "$DEMO_OUT"
source "$ROOT/scripts/demo-lib.sh"
source "$ROOT/tests/scenarios/lib.sh"
source "$ROOT/tests/windows/scenarios/lib.sh"
trap 'demo_cleanup; rm -rf "$(dirname "$APP_DIR")"' EXIT

start_display
echo "scenario: $(basename "$SCENARIO") ($WIDTH)"
source "$SCENARIO"
echo "scenario: passed"
