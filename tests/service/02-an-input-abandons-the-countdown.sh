# An enabled power input that becomes active ends the countdown: nothing runs.
start_sim
sim set 10 40      # 20 s
start_pallixd --notify-command "$NOTIFY"
wait_said 'device-found' 10
ctl 0 --socket "$SOCKET" set powerIn1Enable on
sim power-request
wait_said 'power-request: .*Shutdown in 20 second' 5
sim input 2 on     # not a power input: the countdown goes on
sleep 1.5
[ "$(said 'countdown-abandoned')" -eq 0 ] || fail "input 2 is not enabled, yet the countdown ended"
sim input 1 on
wait_said 'countdown-abandoned: An enabled power input is active' 3
wait_note '^countdown-abandoned\|' 2
sleep 1
[ "$(said 'Dry run|power-action')" -eq 0 ] || fail "a power action ran"
