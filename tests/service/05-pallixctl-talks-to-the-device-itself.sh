# Without pallixd, pallixctl finds the device and uses the library itself.
# A set changes one setting and nothing else; bad names and values write
# nothing and end with status 2.
start_sim
sim set 10 7
A=(--local-address 127.0.0.1)
ctl 0 "${A[@]}" discover
expect_out '^Pallix 127\.0\.0\.2 \(firmware 01\.03, MAC address 02-50-4C-00-00-01\)$'
ctl 0 "${A[@]}" status
expect_out '^global status: 0$'
expect_out '^inputs 1 2: off off$'
ctl 0 "${A[@]}" get powerOffDelay
[ "$CTL_OUT" = 3.5 ] || fail "powerOffDelay read '$CTL_OUT'"
ctl 0 --device 127.0.0.2 get all
[ "$(echo "$CTL_OUT" | wc -l)" -eq 22 ] || fail "get all gave: $CTL_OUT"
expect_out '^shutdownAction = Shutdown$'
ctl 0 --device 127.0.0.2 --json get out1Manual
expect_out '^\{"ok":true,"settings":\{"out1Manual":"automatic"\}\}$'

before=$(registers)
sim requests-clear
for bad in "powerOffDelay 128" "powerOffDelay 1.25" "powerOffDelay -1" "shutdownAction Hover" \
           "powerIn1Enable maybe" "out1Manual auto" "noSuchSetting 1"; do
  ctl 2 "${A[@]}" set $bad
done
expect_out 'There is no setting "noSuchSetting"'
ctl 2 "${A[@]}" set powerOffDelay -1
expect_out 'powerOffDelay takes 0 to 127.5 seconds in steps of 0.5, not "-1"'
ctl 2 "${A[@]}" set powerOffDelay -0.5 --json
expect_out 'not \\"-0.5\\"'
ctl 2 "${A[@]}" get noSuchSetting
ctl 2 "${A[@]}" set powerOffDelay
ctl 2 "${A[@]}" selftest fly
[ "$(registers)" = "$before" ] || fail "a refused set changed the device"
[ "$(sim requests | sed 's/.*: //')" -eq 0 ] || fail "a refused set reached the device"

ctl 0 "${A[@]}" set powerOffDelay 12.5
expect_out '^powerOffDelay = 12\.5$'
[ "$(register 10)" = 25 ] || fail "register 10 holds $(register 10)"
ctl 0 "${A[@]}" set shutdownAction "stand by"
[ "$(register 16)" = 3 ] || fail "register 16 holds $(register 16)"
sim set 15 1      # the watchdog: kept, unlike a save from the window
ctl 0 "${A[@]}" set out2Drive on
ctl 0 "${A[@]}" set out1Manual manual
[ "$(register 15)" = 1 ] || fail "the watchdog enable was changed"
ctl 0 "${A[@]}" --json get all
expect_out '"out1Manual":"manual"'
expect_out '"out2Drive":"on"'
expect_out '"out1Drive":"off"'

ctl 1 "${A[@]}" watch
expect_out 'pallixd does not run'
ctl 1 "${A[@]}" cancel
sim offline
ctl 1 --device 127.0.0.2 get all
expect_out 'Error: Get Global Status \(3\)'
ctl 1 "${A[@]}" discover
expect_out 'No Pallix answers on the networks of 127.0.0.1'
