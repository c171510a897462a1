# Prometheus' promtool accepts pallixd's scrape of /metrics, which tells
# the watched Pallix as it is: its information, inputs and outputs, its
# polls, a power request and its action, and a Pallix that stopped
# answering. Any other path gets 404.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_sim
sim set 10 2       # power-off delay: 1 s
sim input 1 on
start_nut_pallixd
wait_said 'device-found' 10

scrape() {
  curl -sS -D "$DEMO_TMP/head" -o "$DEMO_TMP/scrape" "http://$METRICS/metrics" || fail "curl failed"
  head -n 1 "$DEMO_TMP/head" | grep -q ' 200 ' || fail "scrape: $(head -n 1 "$DEMO_TMP/head")"
}
# wait_metric <line> <seconds>: a scrape has that sample line.
wait_metric() {
  local deadline=$((SECONDS + $2))
  until scrape && grep -qxF -- "$1" "$DEMO_TMP/scrape"; do
    [ $SECONDS -ge $deadline ] && fail "no '$1' within $2 s in: $(grep -v '^#' "$DEMO_TMP/scrape")"
    sleep 0.3
  done
}

wait_metric 'pallix_input_active{input="1"} 1' 5
grep -qi '^Content-Type: text/plain; version=0.0.4' "$DEMO_TMP/head" || fail "content type: $(cat "$DEMO_TMP/head")"
lint=$(promtool check metrics <"$DEMO_TMP/scrape" 2>&1) || fail "promtool check metrics: $lint"
[ -z "$lint" ] || fail "promtool check metrics complains: $lint"
echo "promtool check metrics: accepted $(grep -vc '^#' "$DEMO_TMP/scrape") samples"
for line in 'pallix_device_up 1' 'pallix_device_info{address="127.0.0.2",mac="02-50-4C-00-00-01",firmware="01.03"} 1' \
            'pallix_input_active{input="2"} 0' 'pallix_global_status 0' 'pallix_power_requests_total 0'; do
  grep -qxF -- "$line" "$DEMO_TMP/scrape" || fail "no '$line' in the scrape"
done
polls=$(sed -n 's/^pallix_poll_round_trip_seconds_count //p' "$DEMO_TMP/scrape")
[ "${polls:-0}" -ge 1 ] || fail "no poll in the histogram"

sim power-request
wait_said 'power-action: Shutdown' 6
wait_metric 'pallix_power_actions_total{action="shutdown"} 1' 2
grep -qxF 'pallix_power_requests_total 1' "$DEMO_TMP/scrape" || fail "the power request was not counted"

sim offline
wait_said 'device-lost' 12
wait_metric 'pallix_device_up 0' 2
failed=$(sed -n 's/^pallix_failed_polls_total //p' "$DEMO_TMP/scrape")
[ "${failed:-0}" -ge 1 ] || fail "no failed poll counted"
promtool check metrics <"$DEMO_TMP/scrape" >/dev/null 2>&1 || fail "promtool refuses the scrape of a lost Pallix"
echo "lost: pallix_device_up 0, pallix_failed_polls_total $failed"

[ "$(curl -s -o /dev/null -w '%{http_code}' "http://$METRICS/")" = 404 ] || fail "GET / is not 404"
kill -0 "$D_PID" 2>/dev/null || fail "pallixd ended"
echo "GET /: 404"
