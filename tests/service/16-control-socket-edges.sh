# The control socket at its edges: more clients than descriptors, no
# descriptor left, a client that never reads, one that closes its sending
# side, fields of the wrong type, and a --socket that names another file.
# Through all of it the socket stays and a countdown can still be cancelled.
CLIENT=(python3 "$DEMO_ROOT/tests/service/control-client.py")
start_sim
sim set 10 120     # 60 s
sim set 16 3       # Stand By
ulimit -Sn 1024
# A sanitized pallixd keeps what it freed for a while (256 MB by default),
# which would read as growth.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=4"
start_pallixd
wait_said 'device-found' 10

out=$("${CLIENT[@]}" crowd "$SOCKET" 1100)
echo "1100 clients at once: $out"
[[ $out =~ ^connected\ 1100\ refused\ ([0-9]+)$ ]] || fail "crowd: $out"
[ "${BASH_REMATCH[1]}" -ge 900 ] || fail "too few turned away: $out"
[ -S "$SOCKET" ] || fail "the socket is gone"
[ "$(said 'turns further ones away')" -eq 1 ] || fail "turning clients away was not logged once"

# UBSan checks a virtual call's type through a pipe(): without descriptors
# a sanitized pallixd reports every first call as a fault.
if [[ $(ldd "$DEMO_BIN/pallixd") == *libubsan* ]]; then
  echo "no descriptor left: not tried with a sanitized pallixd"
else
  prlimit --pid "$D_PID" --nofile=40:1024
  "${CLIENT[@]}" crowd "$SOCKET" 60 >/dev/null
  wait_said 'cannot take a control connection' 3
  prlimit --pid "$D_PID" --nofile=1024:1024
  wait_said 'takes control connections again' 3
  [ "$(said 'cannot take a control connection')" -eq 1 ] || fail "the failed accept was logged more than once"
  # Without descriptors the device's library could not make its sockets either.
  sleep 2.5
  [ "$(said 'device-lost')" -eq 0 ] || wait_said 'device-found' 25 2
fi

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$D_PID/status"; }
kill -0 "$D_PID" 2>/dev/null || fail "pallixd ended"
before=$(rss)
out=$("${CLIENT[@]}" flood "$SOCKET" 8)
after=$(rss)
echo "a client that never reads: $out; pallixd's RSS ${before} kB -> ${after} kB"
wait_said 'does not read what pallixd sends' 1
[ $((after - before)) -lt 20000 ] || fail "pallixd grew by $((after - before)) kB"

out=$("${CLIENT[@]}" halfclose "$SOCKET" '{"request":"set","name":"powerOffDelay","value":"30"}')
echo "half-closed set: $out"
echo "$out" | grep -q '"ok":true' || fail "no reply to a half-closed client: $out"
[ "$(register 10)" = 60 ] || fail "register 10 holds $(register 10)"
sim set 10 120

before=$(registers)
out=$("${CLIENT[@]}" ask "$SOCKET" '{"request":"selftest","test":"read","loops":"5"}' \
  '{"request":"get","name":123}' '{"request":"set","name":"powerOffDelay","value":20}' \
  '{"request":["status"]}' '{"request":"selftest","test":"read","loops":2.5}')
echo "$out"
for expected in 'loops\" wants a whole number, not \"5\"' 'name\" wants text in quotes, not 123' \
                'value\" wants text in quotes, not 20' 'request\" wants text in quotes, not [\"status\"]' \
                'loops\" wants a whole number, not 2.5'; do
  echo "$out" | grep -qF -- "$expected" || fail "expected $expected in: $out"
done
[ "$(echo "$out" | grep -c '"kind":"invalid"')" -eq 5 ] || fail "not every bad request was invalid"
[ "$(registers)" = "$before" ] || fail "a bad request changed the device"

sim power-request
wait_said 'power-request: .*Stand By in 60 second' 5
ctl 0 cancel
wait_said 'countdown-cancelled: The countdown was cancelled \(by .*pid [0-9]+\)' 2
wait_said 'Control request from .*pid [0-9]+\): \{"request":"cancel"\}, done' 2

conf="$DEMO_TMP/pallixd.conf"
printf 'dry-run = yes\n' >"$conf"
status=0
out=$("$DEMO_BIN/pallixd" "${DAEMON_ARGS[@]}" --socket "$conf" 2>&1) || status=$?
[ $status -eq 1 ] || fail "pallixd --socket <a file> ended $status: $out"
echo "$out" | grep -qF "$conf exists and is not a socket" || fail "no refusal: $out"
[ "$(cat "$conf")" = 'dry-run = yes' ] || fail "the file was changed"
