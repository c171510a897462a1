# Prometheus' promtool accepts the scrape of /metrics; a label value with
# quotes and backslashes survives; other paths get 404, other methods 405.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_harness
for ms in 3 40 1500; do harness poll $ms; done
harness action shutdown
harness 'firmware 01.03 "beta" \x'

curl -sS -D "$DEMO_TMP/head" -o "$DEMO_TMP/scrape" "http://$METRICS/metrics" || fail "curl failed"
head -n 1 "$DEMO_TMP/head" | grep -q ' 200 ' || fail "scrape: $(head -n 1 "$DEMO_TMP/head")"
grep -qi '^Content-Type: text/plain; version=0.0.4' "$DEMO_TMP/head" || fail "content type: $(cat "$DEMO_TMP/head")"
lint=$(promtool check metrics <"$DEMO_TMP/scrape" 2>&1) || fail "promtool check metrics: $lint"
[ -z "$lint" ] || fail "promtool check metrics complains: $lint"
echo "promtool check metrics: accepted $(grep -vc '^#' "$DEMO_TMP/scrape") samples"
grep -F 'firmware="01.03 \"beta\" \\x"' "$DEMO_TMP/scrape" || fail "escaped label: $(grep device_info "$DEMO_TMP/scrape")"
grep -x 'pallix_poll_round_trip_seconds_bucket{le="0.05"} 2' "$DEMO_TMP/scrape" || fail "histogram: $(grep round_trip "$DEMO_TMP/scrape")"
grep -x 'pallix_power_actions_total{action="shutdown"} 1' "$DEMO_TMP/scrape" || fail "actions"

code() { curl -s -o /dev/null -w '%{http_code}' "$@"; }
[ "$(code "http://$METRICS/")" = 404 ] || fail "GET / is not 404"
[ "$(code -X POST "http://$METRICS/metrics")" = 405 ] || fail "POST /metrics is not 405"
echo "GET /: 404, POST /metrics: 405"
