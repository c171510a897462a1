# While pallixd runs, pallixctl goes through its socket (owner and group
# only); requests it cannot read get an error reply, never a crash; one
# pallixd per socket, and a stale socket file is replaced.
start_sim
start_pallixd
wait_said 'device-found' 10
[ "$(stat -c %a "$SOCKET")" = 660 ] || fail "socket mode $(stat -c %a "$SOCKET")"
ctl 0 status
expect_out '^pallixd: watching \(dry run\)$'
ctl 0 discover
expect_out '^Pallix 127\.0\.0\.2 '
ctl 0 set acpiPulseWidth2 4
[ "$(register 14)" = 8 ] || fail "register 14 holds $(register 14)"
ctl 0 get acpiPulseWidth2
[ "$CTL_OUT" = 4 ] || fail "read back '$CTL_OUT'"
ctl 2 set acpiPulseWidth2 200
[ "$(register 14)" = 8 ] || fail "a refused set was written"
ctl 0 selftest read --loops 2
expect_out 'Self test: 2 pass\(es\), no problems'

python3 - "$SOCKET" <<'PY' >"$DEMO_TMP/replies" || fail "the protocol check failed"
import json, socket, sys
s = socket.socket(socket.AF_UNIX); s.connect(sys.argv[1]); f = s.makefile("rw")
for line in ["not json", "[1, 2]", '{"request": "frob"}', '{"request": "get", "name": "nope"}',
             '{"request": "set", "name": "powerOnDelay", "value": "x"}',
             '{"request": "get", "device": "999.1.1.1"}', '{"request": "status"}']:
    f.write(line + "\n"); f.flush(); print(f.readline().strip())
PY
[ "$(grep -c '"ok":false' "$DEMO_TMP/replies")" -eq 6 ] || fail "replies: $(cat "$DEMO_TMP/replies")"
[ "$(grep -c '"kind":"invalid"' "$DEMO_TMP/replies")" -eq 6 ] || fail "not all invalid: $(cat "$DEMO_TMP/replies")"
tail -n 1 "$DEMO_TMP/replies" | grep -q '"ok":true,"request":"status","state":"watching"' \
  || fail "no status after bad requests: $(tail -n 1 "$DEMO_TMP/replies")"

# A second service on the same socket is refused.
status=0
"$DEMO_BIN/pallixd" "${DAEMON_ARGS[@]}" 2>"$DEMO_TMP/second.err" || status=$?
[ $status -eq 1 ] && grep -q 'a pallixd that runs already' "$DEMO_TMP/second.err" \
  || fail "second pallixd: $status $(cat "$DEMO_TMP/second.err")"
ctl 0 status

# pallixd on a socket pallixctl does not know: it does not go to the device itself.
kill -9 "$D_PID"; wait "$D_PID" 2>/dev/null || true; D_PID=""
[ -S "$SOCKET" ] || fail "expected a stale socket file"
start_pallixd --socket /tmp/elsewhere.sock
wait_said 'device-found' 10 2
ctl 1 get all
expect_out 'socket cannot be opened: run pallixctl as its user or in its group'
ctl 0 --socket /tmp/elsewhere.sock get powerOnDelay
service_cleanup
start_pallixd      # over the stale file
wait_said 'device-found' 10 3
ctl 0 status
