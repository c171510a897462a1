# upsmon as a secondary: with a wrong password it is refused; with the
# right one it logs in, and when the primary raises FSD it logs out and
# runs its SHUTDOWNCMD, and the wait for the secondaries ends on that
# logout, long before the hostsync time.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_harness

start_upsmon wrong
for _ in $(seq 50); do grep -q 'ACCESS-DENIED' "$U_LOG" && break; sleep 0.1; done
grep -q 'ACCESS-DENIED' "$U_LOG" || fail "upsmon with a wrong password was not refused"
echo "upsmon (wrong password): $(grep -m1 'ACCESS-DENIED' "$U_LOG" | sed 's/^ *[0-9.]*\t//')"
grep -q '^logins [1-9]' "$H_OUT" && fail "a wrong password logged in"
stop_upsmon

start_upsmon
wait_harness '^logins 1$' 10
echo "nut-harness: $HARNESS_LINE"
out=$(upsc -c pallix@127.0.0.1 2>/dev/null)
echo "upsc -c pallix@127.0.0.1: $out"
[ "$out" = 127.0.0.1 ] || fail "upsc -c: $out"

# The wait begins while upsmon is logged in; FSD comes after it.
harness wait 15
harness fsd
out=$(upsc pallix@127.0.0.1 ups.status 2>/dev/null)
echo "upsc pallix@127.0.0.1 ups.status: $out"
[ "$out" = "FSD OL" ] || fail "ups.status under FSD: $out"
wait_harness '^secondaries done' 10
echo "nut-harness: $HARNESS_LINE"
expect "the wait" '^secondaries done after [0-9]+ ms with 0 logins$' "$HARNESS_LINE"
ms=$(echo "$HARNESS_LINE" | sed 's/.* after \([0-9]*\) ms.*/\1/')
[ "$ms" -lt 15000 ] || fail "the wait lasted the whole hostsync time ($ms ms)"
[ -f "$DEMO_TMP/shutdown-ran" ] || fail "upsmon did not run its SHUTDOWNCMD"
grep -q 'forced shutdown in progress' "$U_LOG" || fail "upsmon did not see FSD"
echo "upsmon: $(grep -m1 'forced shutdown in progress' "$U_LOG" | sed 's/^ *[0-9.]*\t//')"
echo "upsmon: $(grep -m1 'Auto logout and shutdown' "$U_LOG" | sed 's/^ *[0-9.]*\t//')"
