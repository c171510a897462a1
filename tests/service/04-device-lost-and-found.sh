# A device that stops answering is reported lost once, however long it
# stays away, and found once when it answers again; pallixctl watch streams
# both, and status while searching shows the lost device only as last seen.
start_sim
start_pallixd --notify-command "$NOTIFY"
wait_said 'device-found' 10
"$DEMO_BIN/pallixctl" watch >"$DEMO_TMP/watch.out" 2>&1 &
WATCH_PID=$!
sleep 0.5
sim offline
wait_said 'device-lost: The Pallix at 127.0.0.2 does not answer' 12
ctl 0 status
expect_out '^pallixd: searching'
expect_out '^last seen: Pallix 127\.0\.0\.2 \(firmware 01\.03'
echo "$CTL_OUT" | grep -q '^Pallix ' && fail "a lost device shown as current: $CTL_OUT"
ctl 0 --json status
expect_out '"devices":\[\]'
echo "$CTL_OUT" | grep -q '^{"device":' && fail "a lost device as current: $CTL_OUT"
lines=$(wc -l <"$D_OUT")
sleep 8            # searches every 5 s: no line each
[ $(( $(wc -l <"$D_OUT") - lines )) -le 1 ] || fail "lines while lost: $(tail -n +$((lines + 1)) "$D_OUT")"
sim online
wait_said 'device-found' 20 2
[ "$(said 'device-lost')" -eq 1 ] || fail "device-lost more than once"
wait_note '^device-lost\|The Pallix at 127.0.0.2 does not answer; searching for it\.$' 2
[ "$(grep -c '^device-found|' "$NOTES")" -eq 2 ] || fail "device-found not notified twice: $(cat "$NOTES")"
sleep 0.3
grep -q '^device-lost: ' "$DEMO_TMP/watch.out" || fail "watch missed device-lost: $(cat "$DEMO_TMP/watch.out")"
grep -q '^device-found: ' "$DEMO_TMP/watch.out" || fail "watch missed device-found"
kill -INT "$WATCH_PID"
wait "$WATCH_PID" || [ $? -eq 130 ] || fail "watch did not end on Ctrl-C"
