# pallixd keeps the configuration it reads; after the Pallix lost power it
# writes it back (restore-after-power-loss), logs what it wrote, and names a
# setting the device did not take. The defaults read after a loss never
# replace the kept configuration, also across a restart.
start_sim
sim set 9 11; sim set 10 61; sim set 16 2; sim set 1 5; sim set 7 5; sim set 11 3
configured=$(registers | cut -d' ' -f2-)      # all but the global status
start_pallixd --restore-after-power-loss
wait_said 'device-found' 10
ctl 0 get all
[ -f "$KEPT" ] || fail "nothing kept in $KEPT"
grep -qx 'powerOffDelay = 30.5' "$KEPT" || fail "kept: $(cat "$KEPT")"

sim power-lost
wait_said 'power-lost:' 10
wait_said 'was written back: .*powerOnDelay = 5.5' 10
[ "$(registers | cut -d' ' -f2-)" = "$configured" ] || fail "not restored: $(registers)"
[ "$(said 'did not take')" -eq 0 ] || fail "a setting was reported not taken"

# A register that does not take is named, with the value wanted and read.
sim stuck 14 9
sim power-lost
wait_said 'acpiPulseWidth2 did not take: wanted 1, read 4.5' 10
sim faults-clear

# Without the option nothing is written back, and what is read meanwhile
# (the defaults) is not kept, before a restart or after it.
service_cleanup
cp "$KEPT" "$DEMO_TMP/kept"
start_pallixd
wait_said 'device-found' 10 2
sim power-lost
wait_said 'power-lost:' 10 3
sleep 1
ctl 0 get powerOffDelay
[ "$CTL_OUT" = 10 ] || fail "the defaults were written over: powerOffDelay $CTL_OUT"
service_cleanup
start_pallixd
wait_said 'device-found' 10 3
ctl 0 get all
cmp -s "$KEPT" "$DEMO_TMP/kept" || fail "the defaults were kept: $(diff "$DEMO_TMP/kept" "$KEPT")"
[ "$(said 'was written back')" -eq 2 ] || fail "written back without the option"
