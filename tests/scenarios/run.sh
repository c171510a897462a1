#!/usr/bin/env bash
# Runs one user scenario against the real Control Center: a private network
# namespace, Xvfb with a tray host, pallix-sim, and the application in its
# own folder (so its log is its own).
#
#   tests/scenarios/run.sh <build bin folder> <scenario file>
set -euo pipefail

BIN=$(cd "$1" && pwd)
SCENARIO=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# A /tmp of its own too: displays started side by side cannot collide.
# Processes of its own: a pallixd of another test is no running service.
source "$ROOT/scripts/private-namespaces.sh"
enter_private_namespaces --own-processes --keep "$BIN" --keep "$(dirname "$SCENARIO")" \
  "${BASH_SOURCE[0]}" "$BIN" "$SCENARIO"

# The application folder: the program copied (its folder is where it looks
# for its files), everything else linked.
APP_DIR=$(mktemp -d)
cp "$BIN/Pallix" "$APP_DIR/"
for item in "$BIN"/*; do
  name=$(basename "$item")
  case "$name" in Pallix|log.txt|log.old.txt) ;; *) ln -s "$item" "$APP_DIR/$name" ;; esac
done

export DEMO_ROOT="$ROOT" DEMO_BIN="$APP_DIR" DEMO_OUT="$APP_DIR/shots"
mkdir -p "$DEMO_OUT"
source "$ROOT/scripts/demo-lib.sh"
source "$ROOT/tests/scenarios/lib.sh"
trap 'demo_cleanup; rm -rf "$APP_DIR"' EXIT

start_display
echo "scenario: $(basename "$SCENARIO")"
source "$SCENARIO"
echo "scenario: passed"
