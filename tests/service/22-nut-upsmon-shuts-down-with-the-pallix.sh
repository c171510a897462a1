# upsmon as a secondary of pallixd: refused with a wrong password; with the
# right one it logs in. When the Pallix asks for the power action and
# pallixd's countdown ends, ups.status reads "FSD OL", upsmon logs out and
# runs its SHUTDOWNCMD, and only then does pallixd run its own action, long
# before the hostsync time.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_sim
sim set 10 4       # power-off delay: 2 s
start_nut_pallixd
wait_said 'device-found' 10

start_upsmon wrong
for _ in $(seq 50); do grep -q 'ACCESS-DENIED' "$U_LOG" && break; sleep 0.1; done
grep -q 'ACCESS-DENIED' "$U_LOG" || fail "upsmon with a wrong password was not refused"
echo "upsmon (wrong password): $(upsmon_said 'ACCESS-DENIED')"
[ "$(said 'NUT: 1 secondary logged in')" -eq 0 ] || fail "a wrong password logged in"
stop_upsmon

start_upsmon
wait_said 'NUT: 1 secondary logged in' 10
sim power-request
wait_said 'NUT: forced shutdown' 8
[ "$(ups_status)" = "FSD OL" ] || fail "ups.status under FSD: $(ups_status)"
echo "upsc pallix@127.0.0.1 ups.status: FSD OL"
wait_said 'NUT: 1 secondary logged out after [0-9.]+ s' 10
wait_said 'power-action: Shutdown \(dry run\)' 3
[ "$(line_of 'logged out after')" -lt "$(line_of 'Dry run: ')" ] || fail "the action ran before upsmon logged out"
waited=$(grep -oE 'logged out after [0-9.]+' "$D_OUT" | grep -oE '[0-9.]+$')
[ "${waited%.*}" -lt 15 ] || fail "the wait lasted the hostsync time ($waited s)"
for _ in $(seq 30); do [ -f "$DEMO_TMP/shutdown-ran" ] && break; sleep 0.1; done
[ -f "$DEMO_TMP/shutdown-ran" ] || fail "upsmon did not run its SHUTDOWNCMD"
echo "upsmon: $(upsmon_said 'forced shutdown in progress')"
echo "upsmon: $(upsmon_said 'Auto logout and shutdown')"
