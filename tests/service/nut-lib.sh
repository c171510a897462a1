# Helpers for the NUT and metrics scenarios (sourced by them, inside run.sh):
# the real pallixd with its NUT and metrics servers on, the real clients
# upsc, upsmon, curl and promtool. Everything started here is ended by its pid.

U_PID="" U_LOG="$DEMO_TMP/upsmon.log"
NUT_USER=monuser NUT_PASSWORD=secret
METRICS=127.0.0.1:9199
mkdir -p /run/nut   # upsmon's pid file; this /run is the scenario's own

nut_cleanup() { stop_pid "$U_PID"; }
trap 'nut_cleanup; service_cleanup; demo_cleanup' EXIT

fail() {
  echo "FAILED: $*" >&2
  [ -s "$D_OUT" ] && { echo "--- pallixd:" >&2; cat "$D_OUT" >&2; }
  [ -s "$U_LOG" ] && { echo "--- upsmon:" >&2; tail -n 30 "$U_LOG" >&2; }
  exit 1
}

# start_nut_pallixd [setting line...]: pallixd with its NUT server on
# 127.0.0.1:3493 and its metrics on $METRICS, the password in its file.
start_nut_pallixd() {
  local conf="$DEMO_TMP/pallixd.conf"
  printf '%s\n' "nut-address = 127.0.0.1" "nut-user = $NUT_USER" "nut-password = $NUT_PASSWORD" \
    "metrics-address = $METRICS" "$@" >"$conf"
  start_pallixd --config "$conf"
}

# expect <what> <regex> <text>
expect() { echo "$3" | grep -qE -- "$2" || fail "$1: expected '$2' in: $3"; }

# The line number of pallixd's first log line that matches.
line_of() { grep -nE -- "$1" "$D_OUT" | head -n 1 | cut -d: -f1; }

# upsmon as a secondary of pallixd, its SHUTDOWNCMD writing $DEMO_TMP/shutdown-ran.
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

# upsmon's log line that matches, without its time stamp.
upsmon_said() { grep -m1 -- "$1" "$U_LOG" | sed 's/^ *[0-9.]*\t//'; }

# A NUT client of the shell's own on file descriptor 3: nut_send <line>, nut_read.
nut_open() { exec 3<>/dev/tcp/127.0.0.1/3493 || fail "cannot connect to 127.0.0.1:3493"; }
nut_send() { printf '%s\n' "$1" >&3; }
nut_read() { local line; IFS= read -r -t 5 line <&3 || fail "no reply from the NUT server"; echo "$line"; }
nut_login() {
  local line reply
  for line in "USERNAME $NUT_USER" "PASSWORD $NUT_PASSWORD" "LOGIN pallix"; do
    nut_send "$line"
    reply=$(nut_read)
    [ "$reply" = OK ] || fail "$line: $reply"
  done
}

# ups_status: what upsc reads of ups.status now.
ups_status() { upsc pallix@127.0.0.1 ups.status 2>/dev/null; }
