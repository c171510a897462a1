#!/usr/bin/env bash
# Soak: pallixd or the Control Center watches the simulated Pallix for a
# while as it goes offline and comes back, answers late (up to 2.5 s) and
# drops requests, with power requests, some under those faults, and
# Cancels in between. Prints resident memory, open descriptors and the
# log's size at the start and the end, and checks that every request ran
# the device's own action exactly once and that nothing ran after a Cancel.
# In private network, process and mount namespaces; power actions are dry
# runs; everything it starts it ends by pid.
#
#   bench/soak.sh pallixd|control-center [minutes, default 10] [bin folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?pallixd or control-center}
minutes=${2:-10}
bin=$(cd "${3:-$here/../build/bin}" && pwd)
source "$here/../scripts/private-namespaces.sh"
enter_private_namespaces --own-processes --keep "$bin" "$0" "$target" "$minutes" "$bin"

APP_DIR=$(mktemp -d)
for item in "$bin"/*; do
  case "$(basename "$item")" in Pallix|log.txt|log.old.txt) ;; *) ln -s "$item" "$APP_DIR/" ;; esac
done
cp "$bin/Pallix" "$APP_DIR/"
export DEMO_ROOT="$here/.." DEMO_BIN="$APP_DIR" DEMO_OUT="$APP_DIR/shots"
source "$here/../scripts/demo-lib.sh"
trap 'stop_pid "${D_PID:-}"; demo_cleanup; rm -rf "$APP_DIR"' EXIT

# What pallixd and the Control Center keep of the device stays in the soak's folder.
export STATE_DIRECTORY="$DEMO_TMP/state" XDG_STATE_HOME="$DEMO_TMP/user-state"
SOCKET="$DEMO_TMP/pallixd.sock"
D_OUT="$DEMO_TMP/pallixd.out"
failures=0 requests=0 cancels=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# --- the program under test --------------------------------------------------

start_target() {
  if [ "$target" = pallixd ]; then
    "$APP_DIR/pallixd" --dry-run --local-address 127.0.0.1 --socket "$SOCKET" >/dev/null 2>"$D_OUT" &
    D_PID=$! ACTIONS=$D_OUT WATCHED=$D_OUT
  else
    start_display
    start_app
    D_PID=$APP_PID ACTIONS=$APP_OUT WATCHED=$LOG
  fi
}

rss_kib() { awk '/^VmRSS/ { print $2 }' "/proc/$D_PID/status"; }
descriptors() { ls "/proc/$D_PID/fd" | wc -l; }
log_bytes() { stat -c %s "$WATCHED" 2>/dev/null || echo 0; }
measure() { echo "$1: resident $(rss_kib) KiB, descriptors $(descriptors), log $(log_bytes) bytes"; }

actions() { grep -c 'Dry run: ' "$ACTIONS" || true; }
last_action() { grep 'Dry run: ' "$ACTIONS" | tail -n 1 | sed 's/.*Dry run: //' | tr -d '\r'; }

counting() {
  if [ "$target" = pallixd ]; then
    "$APP_DIR/pallixctl" --socket "$SOCKET" status 2>/dev/null | grep -q counting-down
  else
    xdotool search --onlyvisible --name '^Nerrin Pallix™$' 2>/dev/null | grep -q .
  fi
}

# The Cancel button is the right one of the two below the countdown's text.
cancel() {
  if [ "$target" = pallixd ]; then
    "$APP_DIR/pallixctl" --socket "$SOCKET" cancel >/dev/null
  else
    local w
    w=$(xdotool search --onlyvisible --name '^Nerrin Pallix™$' | tail -n 1)
    eval "$(xdotool getwindowgeometry --shell "$w")"
    xdotool mousemove $((X + WIDTH * 3 / 4)) $((Y + HEIGHT - 18)) click 1
  fi
}

# --- what the device does ----------------------------------------------------

command_for() {
  case $1 in
    0) echo "systemctl poweroff" ;; 1) echo "systemctl reboot" ;;
    2) echo "systemctl hibernate" ;; 3) echo "systemctl suspend" ;;
    4) echo "loginctl terminate-session self" ;;
  esac
}

fault() { sim "$@" >/dev/null; }
clear_faults() { fault delay 0; fault drop 0; fault online; }

# request <fault...>: a power request for a random action with a 5 s delay,
# raised while the fault holds for 20 s; the action must follow once.
request() {
  local value=$((RANDOM % 5)) before
  before=$(actions)
  fault set 16 "$value"
  fault set 10 10
  [ $# -gt 0 ] && fault "$@"
  fault power-request
  requests=$((requests + 1))
  [ $# -gt 0 ] && { sleep 20; clear_faults; }
  local deadline=$((SECONDS + 60))
  until [ "$(actions)" -gt "$before" ] || [ $SECONDS -ge $deadline ]; do sleep 0.5; done
  sleep 8   # a second action would come by now
  local ran=$(($(actions) - before))
  [ "$ran" -eq 1 ] || fail "request $requests (${*:-no fault}): $ran actions"
  [ "$ran" -ge 1 ] && [ "$(last_action)" != "$(command_for "$value")" ] &&
    fail "request $requests (${*:-no fault}): ran '$(last_action)', the device holds $(command_for "$value")"
  return 0
}

# A request cancelled while it counts: nothing runs.
request_and_cancel() {
  local before deadline
  before=$(actions)
  fault set 16 $((RANDOM % 5))
  fault set 10 16
  fault power-request
  requests=$((requests + 1)) cancels=$((cancels + 1))
  deadline=$((SECONDS + 20))
  until counting || [ $SECONDS -ge $deadline ]; do sleep 0.3; done
  cancel
  sleep 12
  [ "$(actions)" -eq "$before" ] || fail "request $requests ran after its Cancel: $(last_action)"
}

for_a_while() { fault "$@"; sleep 20; clear_faults; sleep 6; }

# --- the run -------------------------------------------------------------------

start_sim
start_target
if [ "$target" = pallixd ]; then
  deadline=$((SECONDS + 60))
  until grep -q 'device-found' "$D_OUT" || [ $SECONDS -ge $deadline ]; do sleep 0.5; done
else
  wait_tray red 60 >/dev/null
fi
sleep 4
echo "soak: $target for $minutes minute(s), pid $D_PID"
measure start
end=$((SECONDS + minutes * 60))
step=0
while [ $SECONDS -lt $end ]; do
  case $((step % 9)) in
    0) request ;;
    1) for_a_while offline ;;
    2) request delay 1100 ;;
    3) for_a_while delay 2500 ;;
    4) request_and_cancel ;;
    5) request drop 50 ;;
    6) for_a_while drop 90 ;;
    7) request delay 950 ;;
    8) request delay 1500 ;;
  esac
  step=$((step + 1))
done
measure end
kill -0 "$D_PID" 2>/dev/null || fail "$target ended during the soak"
echo "soak: $requests power requests ($cancels cancelled), $(actions) actions, $failures failure(s)"
[ "$failures" -eq 0 ]
