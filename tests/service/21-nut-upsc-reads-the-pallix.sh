# upsc, NUT's own client, reads the Pallix that pallixd watches: its MAC
# address, firmware and power-off delay as the device tells them (the delay
# again after pallixctl changed it), stale data while it does not answer.
# Malformed lines, an endless line and a hundred clients at once leave
# pallixd running and answering.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_sim
sim set 10 30      # power-off delay: 15 s
start_nut_pallixd
wait_said 'device-found' 10

out=$(upsc pallix@127.0.0.1 2>/dev/null) || fail "upsc pallix@127.0.0.1 failed: $out"
echo "upsc pallix@127.0.0.1:"; echo "$out" | sed 's/^/  /'
for line in 'ups.status: OL' 'device.macaddr: 02-50-4C-00-00-01' 'device.serial: 02-50-4C-00-00-01' \
            'ups.firmware: 01.03' 'ups.delay.shutdown: 15' 'driver.name: pallixd'; do
  echo "$out" | grep -qxF "$line" || fail "upsc: no line '$line'"
done
out=$(upsc -l 127.0.0.1 2>/dev/null) || fail "upsc -l failed: $out"
echo "upsc -l 127.0.0.1: $out"
[ "$out" = pallix ] || fail "upsc -l: $out"

ctl 0 set powerOffDelay 20
[ "$(upsc pallix@127.0.0.1 ups.delay.shutdown 2>/dev/null)" = 20 ] || fail "ups.delay.shutdown after the set"

sim offline
wait_said 'device-lost' 12
out=$(upsc pallix@127.0.0.1 2>&1) && fail "upsc succeeded while the Pallix is lost: $out"
echo "upsc pallix@127.0.0.1 (lost): $(echo "$out" | tail -n 1)"
expect "lost" 'Data stale' "$out"
sim online
wait_said 'device-found' 20 2
[ "$(ups_status)" = OL ] || fail "ups.status once found again: $(ups_status)"

# What no client sends: each costs its sender an error, nobody else anything.
nut_open
nut_send 'GET VAR "pallix'
expect "an open quote" '^ERR ' "$(nut_read)"
nut_send "$(head -c 10000 /dev/zero | tr '\0' x)"
expect "a 10,000-character line" '^ERR INVALID-ARGUMENT$' "$(nut_read)"
nut_send 'GET VAR pallix ups.status'
expect "the same client, after" '^VAR pallix ups.status "OL"$' "$(nut_read)"
exec 3>&-
pids=()
for _ in $(seq 100); do
  (exec 4<>/dev/tcp/127.0.0.1/3493 && printf 'LIST UPS\n' >&4 && timeout 5 head -n 3 <&4 >/dev/null; sleep 1) 2>/dev/null &
  pids+=($!)
done
wait "${pids[@]}" || true
kill -0 "$D_PID" 2>/dev/null || fail "pallixd ended under a hundred clients"
[ "$(ups_status)" = OL ] || fail "upsc after a hundred clients: $(ups_status)"
echo "after malformed lines, a 10,000-character line and 100 clients: ups.status $(ups_status)"
