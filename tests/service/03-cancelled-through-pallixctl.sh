# pallixctl cancel stops the countdown; with none running it says so.
start_sim
sim set 10 120     # 60 s
sim set 16 3       # Stand By
start_pallixd
wait_said 'device-found' 10
ctl 1 cancel
expect_out 'No countdown runs'
sim power-request
wait_said 'power-request: .*Stand By in 60 second' 5
ctl 0 --json status
expect_out '"countdown":\{"action":"Stand By","secondsLeft":[0-9]+\}'
ctl 0 cancel
expect_out 'The countdown was cancelled'
wait_said 'countdown-cancelled' 2
ctl 0 status
expect_out 'pallixd: watching'
[ "$(said 'Dry run|power-action')" -eq 0 ] || fail "a power action ran"
