# A cancelled countdown raises no FSD. A client that stays logged in is
# told FSD and waited for until nut-hostsync has passed; then pallixd runs
# its action all the same. A pallixd stopped during that wait ends without
# its action.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_sim
sim set 10 120     # power-off delay: 60 s
start_nut_pallixd "nut-hostsync = 3"
wait_said 'device-found' 10
nut_open
nut_login
wait_said 'NUT: 1 secondary logged in' 3

sim power-request
wait_said 'power-request' 5
ctl 0 cancel
wait_said 'countdown-cancelled' 2
nut_send "GET VAR pallix ups.status"
reply=$(nut_read)
echo "after the cancel, GET VAR pallix ups.status: $reply"
[ "$reply" = 'VAR pallix ups.status "OL"' ] || fail "ups.status after a cancelled countdown: $reply"
[ "$(said 'forced shutdown')" -eq 0 ] || fail "a cancelled countdown raised FSD"

sim set 10 2       # 1 s
sim power-request
wait_said 'NUT: forced shutdown.* waits for 1 secondary to log out, at most 3 s' 8
started=${EPOCHREALTIME/./}
nut_send "GET VAR pallix ups.status"
reply=$(nut_read)
echo "GET VAR pallix ups.status: $reply"
[ "$reply" = 'VAR pallix ups.status "FSD OL"' ] || fail "ups.status under FSD: $reply"
[ "$(said 'Dry run: ')" -eq 0 ] || fail "the action ran while the client stays logged in"
wait_said 'NUT: hostsync time passed with 1 still logged in' 6
wait_said 'power-action: Shutdown \(dry run\)' 2
waited=$(( (${EPOCHREALTIME/./} - started) / 1000 ))
[ $waited -ge 2500 ] || fail "the action ran ${waited} ms after FSD, before the hostsync time"

sim power-request
wait_said 'NUT: forced shutdown' 8 2
kill -TERM "$D_PID"
status=0; wait "$D_PID" || status=$?
D_PID=""
[ $status -eq 0 ] || fail "pallixd ended $status after SIGTERM"
[ "$(said 'told to stop while the NUT secondaries shut down: Shutdown does not run')" -eq 1 ] \
  || fail "pallixd did not say that its action does not run"
echo "pallixd: $(grep 'does not run' "$D_OUT")"
[ "$(said 'Dry run: ')" -eq 1 ] || fail "an action ran after the stop"
