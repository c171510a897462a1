# While the Control Center runs, pallixd does not watch the device and says
# why; once it has ended, pallixd starts.
start_sim
cp /bin/sleep "$DEMO_TMP/Pallix"           # a process of that name is enough
"$DEMO_TMP/Pallix" 60 &
CC_PID=$!
start_pallixd
wait_said 'The Pallix Control Center is running .* End the Control Center' 3
ctl 0 status
expect_out '^pallixd: waiting'
ctl 1 get all
expect_out 'pallixd waits'
sleep 2.5
[ "$(said 'device-found')" -eq 0 ] || fail "pallixd watched beside the Control Center"
[ "$(sim requests | sed 's/.*: //')" -eq 0 ] || fail "pallixd talked to the device"
stop_pid "$CC_PID"
wait_said 'The Control Center has ended' 7
wait_said 'device-found' 10
