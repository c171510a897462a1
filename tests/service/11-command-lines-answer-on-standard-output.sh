# What the programs print: pallixctl's standard output carries its answer
# alone (the library's diagnostics go to standard error), each Pallix found
# shows its own MAC address, a status names the firmware and MAC address,
# and every program answers --version and --help.
start_sim --devices 2
# run <command...>: its standard output in $OUT, its standard error in $ERR.
run() {
  local status=0
  OUT=$("$@" 2>"$DEMO_TMP/stderr") || status=$?
  ERR=$(cat "$DEMO_TMP/stderr")
  return $status
}

run "$DEMO_BIN/pallixctl" --local-address 127.0.0.1 discover || fail "discover: $ERR"
echo "pallixctl discover:"; echo "$OUT" | sed 's/^/  /'
expected=$'Pallix 127.0.0.2 (firmware 01.03, MAC address 02-50-4C-00-00-01)\nPallix 127.0.0.3 (firmware 01.03, MAC address 02-50-4C-00-00-02)'
[ "$OUT" = "$expected" ] || fail "discover printed: $OUT"

run "$DEMO_BIN/pallixctl" --device 127.0.0.3 status || fail "status: $ERR"
echo "pallixctl --device 127.0.0.3 status: $(echo "$OUT" | head -n 1)"
[ "$(echo "$OUT" | head -n 1)" = 'Pallix 127.0.0.3 (firmware 01.03, MAC address 02-50-4C-00-00-02)' ] \
  || fail "status printed: $OUT"

for command in status "get powerOffDelay"; do
  run "$DEMO_BIN/pallixctl" --json --device 127.0.0.9 $command && fail "$command of a missing Pallix succeeded"
  echo "pallixctl --json --device 127.0.0.9 $command: $OUT"
  [ "$(echo "$OUT" | wc -l)" -eq 1 ] && echo "$OUT" | python3 -c 'import json, sys; assert not json.load(sys.stdin)["ok"]' \
    || fail "standard output is not the JSON reply alone: $OUT"
done
echo "$ERR" | grep -qx 'No Reply Error' || fail "the library's diagnostics are not on standard error: $ERR"
echo "$ERR" | grep -qx 'Retry Loop Failed.' || fail "no 'Retry Loop Failed.' on standard error: $ERR"

for program in Pallix pallixd pallixctl nrfwupdate pallix-sim; do
  run "$DEMO_BIN/$program" --version || fail "$program --version ended $?: $ERR"
  [[ "$OUT" =~ ^$program\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "$program --version printed: $OUT"
  run "$DEMO_BIN/$program" --help || fail "$program --help ended $?: $ERR"
  echo "$OUT" | grep -q -- '--help' || fail "$program --help does not list --help: $OUT"
  echo "$OUT" | grep -q -- '--version' || fail "$program --help does not list --version"
  echo "$program --version: $(run "$DEMO_BIN/$program" --version; echo "$OUT")"
done
