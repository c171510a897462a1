# Functions for the demo and its tour steps (sourced by scripts/demo.sh).
# Everything started here is ended by its pid in demo_cleanup.

DEMO_SCREENSHOTS=()
DEMO_TMP=$(mktemp -d)
SIM_PID="" APP_PID="" XVFB_PID="" TRAYER_PID="" SIM_FD=""
SIM_OUT="$DEMO_TMP/sim.out"
APP_OUT="$DEMO_TMP/app.out"
APP_ARGS=(--local-address 127.0.0.1 --dry-run)
LOG="$DEMO_BIN/log.txt"
LOG_MARK=0

demo_fail() {
  echo "demo: $*" >&2
  [ -s "$APP_OUT" ] && { echo "--- application output:" >&2; tail -n 20 "$APP_OUT" >&2; }
  exit 1
}

# Ends a process we started, by its pid, and waits for it.
stop_pid() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -0 "$pid" 2>/dev/null || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

demo_cleanup() {
  stop_app
  if [ -n "$SIM_PID" ]; then
    echo quit >&"$SIM_FD" 2>/dev/null || true
    for _ in $(seq 20); do kill -0 "$SIM_PID" 2>/dev/null || break; sleep 0.1; done
    stop_pid "$SIM_PID"
    SIM_PID=""
  fi
  stop_pid "$TRAYER_PID"
  stop_pid "$XVFB_PID"
  rm -rf "$DEMO_TMP"
}

# --- the display -----------------------------------------------------------

start_display() {
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$DEMO_TMP/display" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 300); do [ -s "$DEMO_TMP/display" ] && break; sleep 0.1; done
  [ -s "$DEMO_TMP/display" ] || demo_fail "Xvfb did not start"
  export DISPLAY=":$(cat "$DEMO_TMP/display")"
  xsetroot -solid '#3a6ea5' 2>/dev/null || true
  # Under load the tray host may start before the display takes clients;
  # one that gave up is started again.
  for _ in 1 2 3; do
    start_tray_host
    for _ in $(seq 100); do
      tray_window >/dev/null && return 0
      kill -0 "$TRAYER_PID" 2>/dev/null || break
      sleep 0.1
    done
    stop_pid "$TRAYER_PID"
  done
  demo_fail "the tray host did not start"
}

start_tray_host() {
  trayer --edge top --align right --widthtype pixel --width 32 --height 32 \
         --transparent false --tint 0xd8d8d8 --SetDockType false >"$DEMO_TMP/trayer.log" 2>&1 &
  TRAYER_PID=$!
}

# The tray host's window (the largest trayer window).
tray_window() {
  local best="" area=0 w g
  for w in $(xdotool search --onlyvisible --class trayer 2>/dev/null); do
    g=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p' || true)
    [ -n "$g" ] || continue
    set -- $g
    if [ $(($1 * $2)) -gt "$area" ]; then area=$(($1 * $2)); best=$w; fi
  done
  [ -n "$best" ] && echo "$best"
}

# --- the simulator -----------------------------------------------------------

start_sim() {
  mkfifo "$DEMO_TMP/sim.in"
  "$DEMO_BIN/pallix-sim" "$@" <"$DEMO_TMP/sim.in" >"$SIM_OUT" 2>&1 &
  SIM_PID=$!
  exec {SIM_FD}>"$DEMO_TMP/sim.in"
  for _ in $(seq 50); do grep -q '^ready' "$SIM_OUT" 2>/dev/null && return 0; sleep 0.1; done
  demo_fail "pallix-sim did not start: $(cat "$SIM_OUT")"
}

# sim <command>: sends one command line and prints the simulator's answer.
sim() {
  local before
  before=$(wc -l <"$SIM_OUT")
  echo "$*" >&"$SIM_FD"
  for _ in $(seq 50); do
    [ "$(wc -l <"$SIM_OUT")" -gt "$before" ] && break
    sleep 0.1
  done
  echo "sim $*: $(tail -n 1 "$SIM_OUT")"
}

# --- the application ---------------------------------------------------------

start_app() {
  "$DEMO_BIN/Pallix" "${APP_ARGS[@]}" "$@" >>"$APP_OUT" 2>&1 &
  APP_PID=$!
}

app_running() { [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; }

stop_app() {
  stop_pid "$APP_PID"
  APP_PID=""
}

restart_app() {
  stop_app
  start_app "$@"
}

# wait_app_end <seconds>: waits for the application to end by itself.
wait_app_end() {
  local deadline=$((SECONDS + $1))
  while app_running; do
    [ $SECONDS -ge $deadline ] && demo_fail "the application did not end within $1 s"
    sleep 0.2
  done
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
}

# --- the log -----------------------------------------------------------------

# Later wait_log calls look only at what is written after this point.
log_mark() { LOG_MARK=$(stat -c %s "$LOG" 2>/dev/null || echo 0); }

log_since_mark() { [ -f "$LOG" ] && tail -c +"$((LOG_MARK + 1))" "$LOG" || true; }

# wait_log <extended regex> <seconds>
wait_log() {
  local deadline=$((SECONDS + $2))
  until log_since_mark | grep -Eq -- "$1"; do
    [ $SECONDS -ge $deadline ] && demo_fail "no log line matching '$1' within $2 s"
    sleep 0.2
  done
  echo "log: $(log_since_mark | grep -E -- "$1" | tail -n 1 | tr -d '\r')"
}

# --- windows, menus and pictures ---------------------------------------------

# wait_window <title> <seconds>: prints the id of a visible window with that title.
wait_window() {
  local deadline=$((SECONDS + $2)) id
  while :; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ $SECONDS -ge $deadline ] && demo_fail "no window '$1' within $2 s"
    sleep 0.1
  done
}

# screenshot <name> [window title]: the whole screen, or one window.
screenshot() {
  local file="$DEMO_OUT/$1.png" target=root
  [ $# -ge 2 ] && target=$(wait_window "$2" 5)
  import -window "$target" "$file"
  DEMO_SCREENSHOTS+=("$file")
  echo "screenshot: $file"
}

# screenshot_tray <name>: the tray host, enlarged so the icon can be seen.
screenshot_tray() {
  local file="$DEMO_OUT/$1.png"
  import -window "$(tray_window)" "$DEMO_TMP/tray.png"
  convert "$DEMO_TMP/tray.png" -filter point -resize 400% "$file"
  DEMO_SCREENSHOTS+=("$file")
  echo "screenshot: $file"
}

# tray_colour: "red", "gray" or "none", from the tray host's pixels.
tray_colour() {
  import -window "$(tray_window)" "$DEMO_TMP/colour.png" 2>/dev/null || { echo none; return; }
  local counts
  counts=$(convert "$DEMO_TMP/colour.png" -format '%[fx:mean.r*100] %[fx:mean.g*100] %[fx:mean.b*100]' info: 2>/dev/null || true)
  [ -n "$counts" ] || { echo none; return; }
  set -- $counts
  # The host is light gray; a red icon pulls green and blue below red.
  awk -v r="$1" -v g="$2" -v b="$3" 'BEGIN {
    if (r - g > 8 && r - b > 8) print "red";
    else if (r + g + b < 250) print "gray";
    else print "none" }'
}

# wait_tray <red|gray> <seconds>
wait_tray() {
  local deadline=$((SECONDS + $2))
  until [ "$(tray_colour)" = "$1" ]; do
    [ $SECONDS -ge $deadline ] && demo_fail "the tray icon did not turn $1 within $2 s (it is $(tray_colour))"
    sleep 0.3
  done
  echo "tray icon: $1"
}

# Clicks the tray icon with the right button: its menu opens.
open_tray_menu() {
  local w g x y
  w=$(tray_window)
  eval "$(xdotool getwindowgeometry --shell "$w")"
  x=$((X + WIDTH / 2)) y=$((Y + HEIGHT / 2))
  xdotool mousemove "$x" "$y" click 3
  sleep 0.7
}

# menu_item <access key>: picks the item of the open menu by its access key.
menu_item() {
  xdotool key --clearmodifiers "$1"
  sleep 0.5
}
