# pallixd outlives the signals that do not stop it: SIGPIPE is ignored,
# SIGUSR1, SIGUSR2 and SIGALRM are logged; SIGHUP reads the configuration
# file again and applies it, or keeps what it has when the file is bad.
# Stopped during a countdown, it says the countdown was cancelled and why.
start_sim
sim set 10 120     # 60 s
sim set 16 3       # Stand By
conf="$DEMO_TMP/pallixd.conf"
printf 'dry-run = yes\n' >"$conf"
start_pallixd --config "$conf"
wait_said 'device-found' 10
for signal in PIPE USR1 USR2 ALRM; do kill -"$signal" "$D_PID"; done
wait_said 'ignores signal ALRM' 3
kill -0 "$D_PID" 2>/dev/null || fail "pallixd ended on a signal"
[ "$(said 'ignores signal (USR1|USR2|ALRM) ')" -eq 3 ] || fail "the ignored signals were not logged"

printf 'dry-run = yes\nnotify-command = %s\n' "$NOTIFY" >"$conf"
kill -HUP "$D_PID"
wait_said "SIGHUP: the configuration was read again: notify-command none -> $NOTIFY\$" 3
printf 'dry-run = yes\nnotify-command = %s\nsocket = /tmp/other.sock\n' "$NOTIFY" >"$conf"
kill -HUP "$D_PID"
wait_said 'SIGHUP: .*socket the default -> /tmp/other.sock, not applied: the socket stays' 3
[ -S "$SOCKET" ] || fail "the socket moved"
printf 'notify-command = /nonexistent\n' >"$conf"
kill -HUP "$D_PID"
wait_said 'SIGHUP: the configuration was not applied, .*/nonexistent does not exist' 3
sim power-request
wait_note '^power-request\|' 5

kill -TERM "$D_PID"
status=0; wait "$D_PID" || status=$?
D_PID=""
[ "$status" -eq 0 ] || fail "pallixd ended $status after SIGTERM"
grep -q 'countdown-cancelled: The countdown was cancelled (pallixd was stopped), nothing runs' "$D_OUT" \
  || fail "the countdown's end was not logged"
wait_note '^countdown-cancelled\|The countdown was cancelled \(pallixd was stopped\)' 3
