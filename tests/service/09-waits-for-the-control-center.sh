# pallixd watches only while no other monitor of this PC holds the monitor
# lock: it waits for the Control Center and for another pallixd on any
# socket, says who holds it, and starts once that one has ended. A process
# that merely bears a monitor's name changes nothing.
start_sim
cp /bin/sleep "$DEMO_TMP/Pallix"
"$DEMO_TMP/Pallix" 60 &
NAMED_PID=$!
# The lock as the Control Center holds it.
python3 -c '
import socket
lock = socket.socket(socket.AF_UNIX)
lock.bind("\0pallix/monitor")
lock.listen(4)
print("holding", flush=True)
while True:
    caller, _ = lock.accept()
    caller.sendall(b"Pallix\n")
    caller.close()
' >"$DEMO_TMP/holder.out" &
CC_PID=$!
for _ in $(seq 50); do grep -q holding "$DEMO_TMP/holder.out" && break; sleep 0.1; done
start_pallixd
wait_said "The Pallix Control Center \(process $CC_PID of user id 0\) is running .* End the Control Center" 3
ctl 0 status
expect_out '^pallixd: waiting'
ctl 1 get all
expect_out 'pallixd waits'
sleep 2.5
[ "$(said 'device-found')" -eq 0 ] || fail "pallixd watched beside the Control Center"
[ "$(sim requests | sed 's/.*: //')" -eq 0 ] || fail "pallixd talked to the device"
stop_pid "$CC_PID"
wait_said 'The monitor pallixd waited for has ended' 7
wait_said 'device-found' 10

SECOND_OUT="$DEMO_TMP/second.err"
"$DEMO_BIN/pallixd" "${DAEMON_ARGS[@]}" --socket /tmp/second.sock 2>"$SECOND_OUT" &
SECOND_PID=$!
for _ in $(seq 50); do grep -q "pallixd (process $D_PID of user id 0) is running" "$SECOND_OUT" && break; sleep 0.1; done
grep -q "pallixd (process $D_PID of user id 0) is running" "$SECOND_OUT" \
  || fail "the second pallixd did not wait: $(cat "$SECOND_OUT")"
sleep 2.5
grep -q 'device-found' "$SECOND_OUT" && fail "two pallixd watched at once"
service_cleanup
for _ in $(seq 120); do grep -q 'device-found' "$SECOND_OUT" && break; sleep 0.1; done
grep -q 'device-found' "$SECOND_OUT" || fail "the second pallixd did not start: $(cat "$SECOND_OUT")"
stop_pid "$SECOND_PID"
stop_pid "$NAMED_PID"
