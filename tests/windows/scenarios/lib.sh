# Pallix.exe under Wine, for the user scenarios (sourced after
# scripts/demo-lib.sh and tests/scenarios/lib.sh, whose checks it shares).

ABOUT_TITLE="Nerrin Pallix™ Control Center"
KEPT="$PALLIX_STATE/devices/02-50-4C-00-00-01.conf"
SELFTEST_TITLE="Nerrin Pallix™ Self Test"

start_app() {
  wine "$DEMO_BIN/Pallix.exe" "${APP_ARGS[@]}" "$@" >>"$APP_OUT" 2>&1 &
  APP_PID=$!
}

# The program writes what it carries out to its log.
app_said() { log_since_mark | grep -c -- "$1" || true; }

# tray_colour: "red", "gray" or "none": Wine draws the 16-pixel icon in the
# middle of the host's light gray, so the icon's own pixels are counted.
tray_colour() {
  import -window "$(tray_window)" "$DEMO_TMP/colour.png" 2>/dev/null || { echo none; return; }
  local red gray
  red=$(convert "$DEMO_TMP/colour.png" -fx 'r > 0.55 && g < 0.4 && b < 0.4' -format '%[fx:mean*1000]' info: 2>/dev/null)
  gray=$(convert "$DEMO_TMP/colour.png" -fx 'abs(r-g) < 0.08 && abs(g-b) < 0.08 && r < 0.7' -format '%[fx:mean*1000]' info: 2>/dev/null)
  awk -v red="${red:-0}" -v gray="${gray:-0}" 'BEGIN {
    if (red > 5) print "red"; else if (gray > 5) print "gray"; else print "none" }'
}

# click_in <window id> <x> <y>: a left click at pixels from the window's client corner.
click_in() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
  sleep 0.5
}

# key_in <window id> <key>: a key pressed in that window.
key_in() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers "$2"
  sleep 0.3
}

# The countdown's buttons by the keyboard: Escape is Cancel, Enter is Now.
countdown_cancel() { key_in "$(wait_window "$COUNTDOWN_TITLE" 5)" Escape; }
countdown_now() { press_enter "$(wait_window "$COUNTDOWN_TITLE" 5)"; }

# until_gone <window id> <command...>: the command, again while the window
# stays. With no window manager Wine may take a first click or key as the
# one that activates the window, or hand it to the window active before.
until_gone() {
  local window=$1
  shift
  for _ in 1 2 3 4 5; do
    "$@"
    sleep 0.5
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$window" || return 0
  done
  fail "window $window stayed after: $*"
}
config_cancel() { until_gone "$1" click_at "$1" 79 20; }
box_restore() { until_gone "$1" click_at "$1" 80 24; }

# wait_file <path> <seconds>
wait_file() {
  local deadline=$((SECONDS + $2))
  until [ -s "$1" ]; do
    [ $SECONDS -ge $deadline ] && fail "no $1 within $2 s"
    sleep 0.3
  done
}

# wait_register <n> <value> <seconds>
wait_register() {
  local deadline=$((SECONDS + $3))
  until [ "$(register "$1")" = "$2" ]; do
    [ $SECONDS -ge $deadline ] && fail "register $1 is $(register "$1"), not $2, after $3 s"
    sleep 0.5
  done
  echo "register $1: $2"
}
