# A cancel that reaches pallixd before the countdown's zero wins, also while
# the device thread is busy with a slow request for a silent address: it is
# answered ok and no action runs, every time.
start_sim
sim set 10 4       # 2 s: the last tick waits behind the slow get, which a
                   # loaded machine may take a second to start
sim set 16 3       # Stand By
start_pallixd
wait_said 'device-found' 10
for run in 1 2 3 4 5 6 7 8; do
  sim power-request
  wait_said 'power-request: .*Stand By in 2 second' 5 "$run"
  "$DEMO_BIN/pallixctl" --device 127.0.0.9 get all >/dev/null 2>&1 &
  get_pid=$!
  sleep 2.7
  ctl 0 cancel
  wait_said 'countdown-cancelled' 3 "$run"
  wait "$get_pid" || true
  [ "$(said 'power-action')" -eq 0 ] || fail "run $run: the action ran after a cancel in time"
done
