# SIGTERM ends pallixd at once and with status 0, also when it comes while
# the first search is still talking to the device (systemd stops a service
# that way at any moment, and waits for it).
start_sim
for when in 'listens on' 'device-found'; do
  : >"$D_OUT"
  start_pallixd
  [ "$when" = 'listens on' ] || wait_said "$when" 10
  kill -TERM "$D_PID"
  for _ in $(seq 30); do kill -0 "$D_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$D_PID" 2>/dev/null && fail "pallixd still runs 3 s after SIGTERM (after '$when')"
  status=0; wait "$D_PID" || status=$?
  D_PID=""
  [ "$status" -eq 0 ] || fail "pallixd ended $status after SIGTERM, not 0"
  [ "$(said 'pallixd ends')" -eq 1 ] || fail "pallixd did not say once that it ends"
done
