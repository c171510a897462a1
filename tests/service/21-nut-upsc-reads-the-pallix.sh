# upsc, NUT's own client, lists the Pallix and its variables, reads one,
# whatever the case of the UPS's name, and is told when the data is stale.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_harness

out=$(upsc pallix@127.0.0.1 2>/dev/null) || fail "upsc pallix@127.0.0.1 failed: $out"
echo "upsc pallix@127.0.0.1:"; echo "$out" | sed 's/^/  /'
expect "upsc" '^ups\.status: OL$' "$out"
expect "upsc" '^device\.mfr: Nerrin$' "$out"
expect "upsc" '^device\.model: Pallix$' "$out"
expect "upsc" '^device\.macaddr: 00:1A:2B:3C:4D:5E$' "$out"
expect "upsc" '^ups\.delay\.shutdown: 30$' "$out"
expect "upsc" '^driver\.name: pallixd$' "$out"

out=$(upsc -L 127.0.0.1 2>/dev/null) || fail "upsc -L failed: $out"
echo "upsc -L 127.0.0.1: $out"
[ "$out" = "pallix: Nerrin Pallix at 192.0.2.10" ] || fail "upsc -L: $out"

for name in pallix PALLIX; do
  out=$(upsc "$name@127.0.0.1" ups.status 2>/dev/null) || fail "upsc $name@127.0.0.1 ups.status failed: $out"
  echo "upsc $name@127.0.0.1 ups.status: $out"
  [ "$out" = OL ] || fail "upsc $name ups.status: $out"
done

out=$(upsc other@127.0.0.1 2>&1) && fail "upsc other@127.0.0.1 succeeded: $out"
echo "upsc other@127.0.0.1: $(echo "$out" | tail -n 1)"
expect "unknown UPS" 'Unknown UPS' "$out"

harness stale on
out=$(upsc pallix@127.0.0.1 2>&1) && fail "upsc succeeded on stale data: $out"
echo "upsc pallix@127.0.0.1 (stale): $(echo "$out" | tail -n 1)"
expect "stale" 'Data stale' "$out"
harness stale off
out=$(upsc pallix@127.0.0.1 ups.status 2>/dev/null) || fail "upsc after stale failed: $out"
[ "$out" = OL ] || fail "ups.status after stale: $out"
