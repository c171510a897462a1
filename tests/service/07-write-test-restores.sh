# pallixctl's write test puts every setting back: after a complete run and
# after Ctrl-C half way.
start_sim
sim set 9 11; sim set 10 13; sim set 16 2; sim set 1 5
before=$(registers | cut -d' ' -f2-)      # all but the global status
ctl 0 --local-address 127.0.0.1 selftest write
expect_out '^Write Test Complete$'
expect_out 'Self test: 1 pass\(es\), no problems'
[ "$(registers | cut -d' ' -f2-)" = "$before" ] || fail "not restored: $(registers)"

"$DEMO_BIN/pallixctl" --local-address 127.0.0.1 selftest write --loops 3 >"$DEMO_TMP/test.out" 2>&1 &
TEST_PID=$!
sleep 2.5
kill -INT "$TEST_PID"
status=0; wait "$TEST_PID" || status=$?
[ $status -eq 130 ] || fail "interrupted write test ended $status: $(cat "$DEMO_TMP/test.out")"
[ "$(registers | cut -d' ' -f2-)" = "$before" ] || fail "not restored after Ctrl-C: $(registers)"
grep -q 'Write Test Complete' "$DEMO_TMP/test.out" && fail "the interrupted pass completed"

sim stuck 13 7
ctl 1 --local-address 127.0.0.1 selftest write
expect_out 'ACPI Pulse Width 1 Write Error 0 7'
