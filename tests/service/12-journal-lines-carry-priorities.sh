# Under systemd standard error is the journal (JOURNAL_STREAM names it):
# pallixd's lines then carry sd-daemon's priority instead of its name,
# errors <3>, warnings <4>, the rest <6>. A NUT port already taken ends a
# second pallixd at start with an error that names it, status 1.
start_sim
touch "$D_OUT"
JOURNAL_STREAM=$(stat -c %d:%i "$D_OUT") start_pallixd --nut-address 127.0.0.1
wait_said '^<6>device-found: The Pallix at 127.0.0.2 answers' 10
sim offline
wait_said '^<4>device-lost: ' 12
wait_said '^<3>Error: Get Global Status \(3\)' 1
grep -v '^<[346]>' "$D_OUT" && fail "lines without a priority"
grep -q 'pallixd: ' "$D_OUT" && fail "the journal is told the program's name"

second="$DEMO_TMP/second.err"
for journal in yes no; do
  touch "$second"
  stream=$(stat -c %d:%i "$second")
  [ $journal = yes ] || stream=$(stat -c %d:%i "$D_OUT")
  status=0
  JOURNAL_STREAM=$stream "$DEMO_BIN/pallixd" --local-address 127.0.0.1 --dry-run \
    --socket "$DEMO_TMP/second.sock" --nut-address 127.0.0.1:3493 2>"$second" || status=$?
  echo "second pallixd (journal: $journal), status $status: $(cat "$second")"
  [ $status -eq 1 ] || fail "a taken NUT port ended pallixd with $status"
  want='cannot listen for NUT clients on 127.0.0.1:3493: '
  [ $journal = yes ] && want="^<3>$want" || want="^pallixd: $want"
  grep -qE "$want" "$second" || fail "no '$want' in: $(cat "$second")"
done
