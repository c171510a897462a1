#!/usr/bin/env bash
# The time from a right click on the tray icon to its menu on screen, with
# the simulated Pallix answering and after it went silent (the monitor's
# failing reads and the search that follows). Under Xvfb with a tray host,
# in private network, process and mount namespaces; everything it starts it
# ends by pid.
#   bench/tray-menu-bench.sh [bin folder of the Control Center] [clicks per phase, default 20]
# The menu-latency helper comes from the build folder that holds this
# script's build (build/bench), or PALLIX_MENU_LATENCY.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build/bin}" && pwd)
clicks=${2:-20}
probe=${PALLIX_MENU_LATENCY:-$here/../build/bench/menu-latency}
probe=$(cd "$(dirname "$probe")" && pwd)/$(basename "$probe")
source "$here/../scripts/private-namespaces.sh"
enter_private_namespaces --own-processes "$0" "$bin" "$clicks"

APP_DIR=$(mktemp -d)
cp "$bin/Pallix" "$APP_DIR/"
for item in "$bin"/*; do
  case "$(basename "$item")" in Pallix|log.txt|log.old.txt) ;; *) ln -s "$item" "$APP_DIR/" ;; esac
done
export DEMO_ROOT="$here/.." DEMO_BIN="$APP_DIR" DEMO_OUT="$APP_DIR/shots"
mkdir -p "$DEMO_OUT"
source "$here/../scripts/demo-lib.sh"
trap 'demo_cleanup; rm -rf "$APP_DIR"' EXIT

# Milliseconds of each click in one phase, one a line; the clicks come at
# uneven times, so they land on polls, searches and the quiet between them.
sample() {
  local w x y
  w=$(tray_window)
  eval "$(xdotool getwindowgeometry --shell "$w")"
  x=$((X + WIDTH / 2)) y=$((Y + HEIGHT / 2))
  for i in $(seq "$clicks"); do
    "$probe" "$x" "$y" 15000 || echo 15000
    sleep "$((RANDOM % 2)).$((RANDOM % 4 + 6))"
  done
}

summary() {
  sort -n | awk -v phase="$1" '
    { v[NR] = $1 } END {
      if (NR == 0) { print phase ": no samples"; exit }
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%-28s clicks %3d  median %7.1f ms  max %7.1f ms\n", phase, NR, m, v[NR] }'
}

start_display
start_sim
start_app
wait_tray red 30 >/dev/null
sleep 3
sample | tee "$DEMO_TMP/answering" | summary "device answering"; [ -n "${PALLIX_BENCH_RAW:-}" ] && tr "\n" " " <"$DEMO_TMP/answering" >&2
sim offline >/dev/null
sleep 1
sample | summary "device silent"
