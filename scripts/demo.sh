#!/usr/bin/env bash
# The Control Center beside a simulated Pallix.
#
#   scripts/demo.sh [build-folder]
#
# With a display: runs the application (--dry-run, loopback only) beside
# pallix-sim until you choose E&xit; the simulator ends with it.
# Without one (or with PALLIX_DEMO_HEADLESS=1): runs the same inside a
# private network namespace under Xvfb with a tray host, plays the tour in
# scripts/demo-tour/ in order and saves screenshots under <build>/demo/.
# PALLIX_DEMO_STEPS picks tour steps by a pattern (for example "10-*").
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${1:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
export DEMO_ROOT="$ROOT" DEMO_BIN="$BUILD/bin" DEMO_OUT="$BUILD/demo"

for program in Pallix pallix-sim libNerrinAPI.so NerrinRed.ico NerrinGray.ico; do
  if [ ! -e "$DEMO_BIN/$program" ]; then
    echo "demo: $DEMO_BIN/$program is missing; build first (make demo does)" >&2
    exit 1
  fi
done

headless=${PALLIX_DEMO_HEADLESS:-}
[ -z "${DISPLAY:-}" ] && headless=1

source "$ROOT/scripts/private-namespaces.sh"
if [ -n "$headless" ] && [ -z "${PALLIX_IN_PRIVATE_NAMESPACES:-}" ]; then
  # Nothing the demo does can reach a real network from in here, and its
  # display lives in a /tmp of its own.
  if ! unshare -rnm true 2>/dev/null; then
    echo "demo: cannot create a private network namespace (unshare -rnm); not running headless" >&2
    exit 1
  fi
  export PALLIX_DEMO_HEADLESS=1
  enter_private_namespaces --keep "$BUILD" "${BASH_SOURCE[0]}" "$BUILD"
fi

source "$ROOT/scripts/demo-lib.sh"
trap demo_cleanup EXIT

mkdir -p "$DEMO_OUT"
log_mark

if [ -z "$headless" ]; then
  start_sim
  start_app
  echo "demo: the Control Center runs beside the simulator; choose E&xit in its tray menu to end."
  echo "demo: simulator commands (power-request, offline, online, ...) on this terminal go to the device."
  # Forward the terminal's lines to the simulator until the application ends.
  stdin_open=1
  while app_running; do
    if [ -z "$stdin_open" ]; then sleep 1; continue; fi
    if read -r -t 1 line; then
      sim "$line"
    elif [ $? -le 128 ]; then
      stdin_open=""   # end of input: just wait for the application
    fi
  done
  exit 0
fi

start_display
start_sim
start_app
for step in "$ROOT"/scripts/demo-tour/${PALLIX_DEMO_STEPS:-[0-9][0-9]-*}.sh; do
  [ -f "$step" ] || demo_fail "no tour step $step"
  echo "demo: tour step $(basename "$step")"
  source "$step"
done

echo "demo: screenshots:"
for shot in "${DEMO_SCREENSHOTS[@]}"; do echo "  $shot"; done
