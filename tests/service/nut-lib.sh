# Helpers for the NUT and metrics scenarios (sourced by them, inside run.sh):
# nut-harness stands in for pallixd's servers; the clients are the real
# upsc, upsmon, curl and promtool. Everything started here is ended by its pid.

HARNESS="$DEMO_BIN/../tests/nut-harness"
H_PID="" H_FD="" H_OUT="$DEMO_TMP/harness.out" H_MARK=0
U_PID="" U_LOG="$DEMO_TMP/upsmon.log"
NUT_USER=monuser NUT_PASSWORD=secret
METRICS=127.0.0.1:9199
mkdir -p /run/nut   # upsmon's pid file; this /run is the scenario's own

nut_cleanup() {
  stop_pid "$U_PID"
  [ -n "$H_PID" ] && { echo quit >&"$H_FD" 2>/dev/null || true; }
  stop_pid "$H_PID"
}
trap 'nut_cleanup; service_cleanup; demo_cleanup' EXIT

fail() {
  echo "FAILED: $*" >&2
  [ -s "$H_OUT" ] && { echo "--- nut-harness:" >&2; cat "$H_OUT" >&2; }
  [ -s "$U_LOG" ] && { echo "--- upsmon:" >&2; tail -n 30 "$U_LOG" >&2; }
  exit 1
}

# wait_harness <regex> <seconds>: the harness printed such a line since the
# last harness command; it is in $HARNESS_LINE.
wait_harness() {
  local deadline=$((SECONDS + $2))
  until HARNESS_LINE=$(tail -n +$((H_MARK + 1)) "$H_OUT" | grep -E -- "$1" | tail -n 1) \
        && [ -n "$HARNESS_LINE" ]; do
    [ $SECONDS -ge $deadline ] && fail "no '$1' from nut-harness within $2 s"
    kill -0 "$H_PID" 2>/dev/null || fail "nut-harness ended"
    sleep 0.05
  done
}

start_harness() {
  mkfifo "$DEMO_TMP/harness.in"
  "$HARNESS" --user "$NUT_USER" --password "$NUT_PASSWORD" --metrics "$METRICS" \
    <"$DEMO_TMP/harness.in" >"$H_OUT" 2>&1 &
  H_PID=$!
  exec {H_FD}>"$DEMO_TMP/harness.in"
  wait_harness '^listening' 5
}

# harness <command>: sends it and waits for its "ok".
harness() {
  local before
  before=$(grep -c '^ok ' "$H_OUT" || true)
  H_MARK=$(wc -l <"$H_OUT")
  echo "$*" >&"$H_FD"
  local deadline=$((SECONDS + 5))
  until [ "$(grep -c '^ok ' "$H_OUT" || true)" -gt "$before" ]; do
    [ $SECONDS -ge $deadline ] && fail "nut-harness did not take '$*'"
    sleep 0.05
  done
}

# expect <what> <regex> <text>
expect() { echo "$3" | grep -qE -- "$2" || fail "$1: expected '$2' in: $3"; }

# upsmon as a secondary of the harness, its SHUTDOWNCMD writing $DEMO_TMP/shutdown-ran.
#   start_upsmon [password]
start_upsmon() {
  local conf="$DEMO_TMP/upsmon.conf" event
  {
    echo "MONITOR pallix@127.0.0.1 1 $NUT_USER ${1:-$NUT_PASSWORD} secondary"
    echo "MINSUPPLIES 1"
    echo "SHUTDOWNCMD \"/bin/sh -c 'echo ran > $DEMO_TMP/shutdown-ran'\""
    echo "POLLFREQ 1"
    echo "POLLFREQALERT 1"
    echo "FINALDELAY 0"
    echo "POWERDOWNFLAG $DEMO_TMP/killpower"
    # Told on its standard error in the foreground; never by wall.
    for event in ONLINE ONBATT LOWBATT FSD COMMOK COMMBAD SHUTDOWN NOCOMM; do
      echo "NOTIFYFLAG $event SYSLOG"
    done
  } >"$conf"
  chmod 600 "$conf"
  # -p: one process, no switch of user (a user namespace may not set groups).
  NUT_CONFPATH="$DEMO_TMP" NUT_STATEPATH="$DEMO_TMP" NUT_ALTPIDPATH="$DEMO_TMP" \
    /lib/nut/upsmon -F -D -p >"$U_LOG" 2>&1 &
  U_PID=$!
}

stop_upsmon() { stop_pid "$U_PID"; U_PID=""; }

# A NUT client of the shell's own on file descriptor 3: nut_send <line>, nut_read.
nut_open() { exec 3<>/dev/tcp/127.0.0.1/3493 || fail "cannot connect to 127.0.0.1:3493"; }
nut_send() { printf '%s\n' "$1" >&3; }
nut_read() { local line; IFS= read -r -t 5 line <&3 || fail "no reply from the NUT server"; echo "$line"; }
