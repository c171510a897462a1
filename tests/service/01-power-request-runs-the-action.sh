# A power request is counted down and its action carried out (dry run), by
# the command the configuration file names; the options override the file;
# the notify command gets each event's name and message as its arguments.
cat >"$DEMO_TMP/pallixd.conf" <<CONF
# settings
[pallixd]
local-address = 127.0.0.9
dry-run = no
notify-command = $NOTIFY
restart-command = /sbin/reboot --now
CONF
start_sim
sim set 10 12      # power-off delay: 6 s, room to ask while it counts
sim set 16 1       # Restart
DAEMON_ARGS=()
start_pallixd --config "$DEMO_TMP/pallixd.conf" --local-address 127.0.0.1 --dry-run
wait_said 'device-found: The Pallix at 127.0.0.2 answers' 10
sim power-request
wait_said 'power-request: .*Restart in 6 second' 5
ctl 0 status
expect_out 'pallixd: counting-down \(dry run\)'
wait_said 'power-action: Restart \(dry run\): /sbin/reboot --now' 10
[ "$(said 'Dry run: /sbin/reboot --now')" -eq 1 ] || fail "the action was not written once"
[ "$(register 0)" = 0 ] || fail "the request was not acknowledged"
wait_note '^power-action\|Restart \(dry run\): /sbin/reboot --now$' 2
grep -qE '^device-found\|The Pallix at 127.0.0.2 answers' "$NOTES" || fail "device-found not notified"
grep -qE '^power-request\|The Pallix asks for the PC.s power action: Restart in 6 second\(s\)\.$' "$NOTES" \
  || fail "power-request not notified: $(cat "$NOTES")"
[ "$(wc -l <"$NOTES")" -eq 3 ] || fail "expected three notifications: $(cat "$NOTES")"
ctl 0 status
expect_out 'pallixd: watching'
