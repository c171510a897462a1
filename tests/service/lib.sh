# Helpers for the service scenarios (sourced after scripts/demo-lib.sh).
# Everything started here is ended by its pid.

D_PID="" D_OUT="$DEMO_TMP/pallixd.err" NOTES="$DEMO_TMP/notes"
SOCKET=/run/pallix/pallixd.sock
DAEMON_ARGS=(--local-address 127.0.0.1 --dry-run)
# The state folders of pallixd and of pallixctl without it: the scenario's own.
export STATE_DIRECTORY="$DEMO_TMP/state" XDG_STATE_HOME="$DEMO_TMP/user-state"
KEPT="$STATE_DIRECTORY/devices/02-50-4C-00-00-01.conf"
USER_KEPT="$XDG_STATE_HOME/pallix/devices/02-50-4C-00-00-01.conf"

fail() { echo "FAILED: $*" >&2; [ -s "$D_OUT" ] && { echo "--- pallixd:" >&2; cat "$D_OUT" >&2; }; exit 1; }

service_cleanup() { stop_pid "$D_PID"; D_PID=""; }

# The notify command: one line per event, its arguments joined by "|".
NOTIFY="$DEMO_TMP/notify.sh"
printf '#!/bin/sh\nIFS="|"; echo "$*" >> %s\n' "$NOTES" >"$NOTIFY"
chmod +x "$NOTIFY"

start_pallixd() {
  "$DEMO_BIN/pallixd" "${DAEMON_ARGS[@]}" "$@" 2>>"$D_OUT" &
  D_PID=$!
  wait_said 'listens on' 5
}

# said <regex>: how many pallixd log lines match.
said() { grep -cE -- "$1" "$D_OUT" 2>/dev/null || true; }

# wait_said <regex> <seconds> [count]: the log has that many matching lines.
wait_said() {
  local deadline=$((SECONDS + $2)) want=${3:-1}
  until [ "$(said "$1")" -ge "$want" ]; do
    [ $SECONDS -ge $deadline ] && fail "no '$1' from pallixd within $2 s"
    kill -0 "$D_PID" 2>/dev/null || fail "pallixd ended"
    sleep 0.1
  done
  echo "pallixd: $(grep -E -- "$1" "$D_OUT" | tail -n 1)"
}

# ctl <expected status> <pallixctl arguments...>: its output in $CTL_OUT.
ctl() {
  local want=$1 status=0
  shift
  CTL_OUT=$("$DEMO_BIN/pallixctl" "$@" 2>&1) || status=$?
  [ "$status" -eq "$want" ] || fail "pallixctl $* ended $status, not $want: $CTL_OUT"
  echo "pallixctl $*: $(echo "$CTL_OUT" | tail -n 1)"
}

expect_out() { echo "$CTL_OUT" | grep -qE -- "$1" || fail "expected '$1' in: $CTL_OUT"; }

# The device's registers, one line (the simulator's own view).
registers() { sim dump | sed 's/^sim dump: //'; }

# wait_note <regex> <seconds>: the notify command was started with such arguments.
wait_note() {
  local deadline=$((SECONDS + $2))
  until grep -qE -- "$1" "$NOTES" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && fail "no notification '$1' within $2 s (got: $(cat "$NOTES" 2>/dev/null))"
    sleep 0.1
  done
}

# register <n>: the device's own value of register n.
register() { sim get "$1" | sed 's/^sim get [0-9]*: //'; }
