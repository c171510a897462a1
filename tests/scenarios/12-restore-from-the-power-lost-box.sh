# The Control Center keeps the configuration it reads; after a power loss
# its box offers it back. The defaults read before the answer are not kept,
# and Restore writes the kept configuration: the registers match it again.
device_registers() { sim dump | sed 's/^sim dump: //' | cut -d' ' -f2-; }   # all but the global status

start_sim
sim set 9 11; sim set 10 61; sim set 16 2; sim set 1 5; sim set 7 5; sim set 11 3
configured=$(device_registers)
start_app
wait_tray red 30
open_tray_menu
menu_item c
wait_window "$WINDOW_TITLE" 10 >/dev/null
for _ in $(seq 50); do [ -f "$KEPT" ] && break; sleep 0.2; done
grep -qx 'powerOffDelay = 30.5' "$KEPT" 2>/dev/null || fail "not kept: $(cat "$KEPT" 2>&1)"
cp "$KEPT" "$DEMO_TMP/kept"

sim power-lost
box=$(wait_window "$BOX_TITLE" 6)
[ "$(register 10)" = 20 ] || fail "the device kept its configuration through the loss"
# The window, asked to show the device again, reads its defaults.
open_tray_menu
menu_item c
config=$(wait_window "$WINDOW_TITLE" 10)
sleep 3
config_cancel "$config"         # the box is in sight again
cmp -s "$KEPT" "$DEMO_TMP/kept" || fail "the defaults were kept: $(diff "$DEMO_TMP/kept" "$KEPT")"

box_restore "$box"
wait_log 'was written back: .*powerOffDelay = 30.5' 10
[ "$(device_registers)" = "$configured" ] || fail "not restored: $(device_registers), kept: $configured"
expect_windows "$BOX_TITLE" 1 5        # the report
