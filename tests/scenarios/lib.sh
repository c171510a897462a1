# Checks for the user scenarios (sourced after scripts/demo-lib.sh).

BOX_TITLE="Pallix Control Center"          # message boxes
COUNTDOWN_TITLE="Nerrin Pallix™"            # the countdown window
WINDOW_TITLE="Nerrin Pallix™ Control Center"   # the message and configuration windows

fail() { demo_fail "FAILED: $*"; }

# The user's state folder, where the Control Center keeps each device's
# configuration: the scenario's own.
export XDG_STATE_HOME="$DEMO_TMP/state"
KEPT="$XDG_STATE_HOME/pallix/devices/02-50-4C-00-00-01.conf"

# window_count <title>: visible windows with exactly this title.
window_count() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

# expect_windows <title> <count> <seconds>: the count holds within the time.
expect_windows() {
  local deadline=$((SECONDS + $3))
  until [ "$(window_count "$1")" -eq "$2" ]; do
    [ $SECONDS -ge $deadline ] && fail "expected $2 window(s) '$1', see $(window_count "$1")"
    sleep 0.2
  done
}

# stays_windows <title> <count> <seconds>: the count holds for the whole time.
stays_windows() {
  local deadline=$((SECONDS + $3))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(window_count "$1")" -eq "$2" ] || fail "'$1' windows changed to $(window_count "$1"), expected $2"
    sleep 0.3
  done
}

# click_at <window id> <x fraction %> <y pixels from bottom>: a left click.
click_at() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + WIDTH * $2 / 100)) $((Y + HEIGHT - $3)) click 1
  sleep 0.3
}

# The countdown's buttons: Now on the left, Cancel on the right.
countdown_cancel() { click_at "$(wait_window "$COUNTDOWN_TITLE" 5)" 75 22; }

# Cancel of the configuration window; Restore, beside OK, of a box.
config_cancel() { click_at "$1" 79 20; }
box_restore() { click_at "$1" 80 24; }

# Enter on a window: its default button.
press_enter() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers Return
  sleep 0.3
}

# requests: how many requests the simulated device has received.
requests() { sim requests | sed 's/^sim requests: //'; }

# polled_within <seconds>: the device receives requests during that time.
polled_within() {
  local before after
  before=$(requests)
  sleep "$1"
  after=$(requests)
  [ "$after" -gt "$before" ] || fail "no request reached the device in $1 s ($before -> $after)"
  echo "device: $((after - before)) requests in $1 s"
}

# register <n>: the device's own value of register n.
register() { sim get "$1" | sed 's/^sim get [0-9]*: //'; }

# wait_register_bits_clear <n> <mask> <seconds>: the device's write lands
# a moment after the window that announces it.
wait_register_bits_clear() {
  local deadline=$((SECONDS + $3))
  until [ $(( $(register "$1") & $2 )) -eq 0 ]; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

app_said() { grep -c -- "$1" "$APP_OUT" 2>/dev/null || true; }

# no_power_action <seconds>: nothing is carried out in that time.
no_power_action() {
  sleep "$1"
  [ "$(app_said 'Dry run:')" -eq 0 ] || fail "a power action ran: $(grep 'Dry run:' "$APP_OUT")"
}

wait_power_action() {
  local deadline=$((SECONDS + $2))
  until [ "$(app_said "Dry run: $1")" -ge 1 ]; do
    [ $SECONDS -ge $deadline ] && fail "no 'Dry run: $1' within $2 s"
    sleep 0.2
  done
  echo "power action: $1"
}

# The first request of a countdown of <half-seconds> to action register <value>.
request_countdown() {
  sim set 10 "$1"
  sim set 16 "$2"
  sim power-request
  wait_window "$COUNTDOWN_TITLE" 10 >/dev/null
}
