# pallixctl export writes every setting, and keeps what the device
# confirmed; import writes back only what differs and reads it back. A file with one bad line writes nothing and
# ends with status 2; a setting the device does not take ends with status 1.
start_sim
A=(--local-address 127.0.0.1)
sim set 9 11; sim set 10 61; sim set 16 2; sim set 5 36; sim set 7 10; sim set 13 7; sim set 15 1
configured=$(registers | cut -d' ' -f2-)
ctl 0 "${A[@]}" export "$DEMO_TMP/pallix.conf"
[ "$(grep -c ' = ' "$DEMO_TMP/pallix.conf")" -eq 22 ] || fail "exported: $(cat "$DEMO_TMP/pallix.conf")"
ctl 0 "${A[@]}" export
[ "$CTL_OUT" = "$(cat "$DEMO_TMP/pallix.conf")" ] || fail "standard output differs from the file"
cmp -s "$USER_KEPT" "$DEMO_TMP/pallix.conf" || fail "the configuration read was not kept as exported"
# A read the device does not confirm (no two answers in a row agree) is not kept.
sim flicker 10 99
ctl 0 "${A[@]}" get all
cmp -s "$USER_KEPT" "$DEMO_TMP/pallix.conf" || fail "an unconfirmed read was kept: $(cat "$USER_KEPT")"
sim faults-clear

# Every register changed, then the file imported: all of it back.
for reg in 1 2 3 4 5 7 8 9 10 11 13 14 15 16; do sim set $reg 0; done
ctl 0 "${A[@]}" import "$DEMO_TMP/pallix.conf"
expect_out '^powerOffDelay = 30\.5$'
[ "$(registers | cut -d' ' -f2-)" = "$configured" ] || fail "import did not round-trip: $(registers)"
ctl 0 "${A[@]}" import "$DEMO_TMP/pallix.conf"
expect_out '^0 setting\(s\) written'

# One bad line: named, nothing written, not even asked of the device.
sed '3s/.*/shutdownAction = Sleep/' "$DEMO_TMP/pallix.conf" >"$DEMO_TMP/bad.conf"
echo 'powerOffDelay = 1' >"$DEMO_TMP/one.conf"
sim set 10 3
sim requests-clear
ctl 2 "${A[@]}" import "$DEMO_TMP/bad.conf"
expect_out 'line 3: "shutdownAction = Sleep": shutdownAction takes'
expect_out 'nothing was written'
[ "$(sim requests | sed 's/.*: //')" -eq 0 ] || fail "a bad file reached the device"
[ "$(register 10)" = 3 ] || fail "a bad file changed the device"

# Through pallixd: the same, and a register that does not take is named.
start_pallixd
wait_said 'device-found' 10
ctl 0 import "$DEMO_TMP/one.conf"
[ "$(register 10)" = 2 ] || fail "register 10 holds $(register 10)"
sim stuck 16 4
ctl 1 import "$DEMO_TMP/pallix.conf"
expect_out 'shutdownAction did not take: wanted Hibernate/Sleep, read Log Out'
