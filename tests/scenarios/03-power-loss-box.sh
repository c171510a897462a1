# The lost-power box does not stop the monitor: it keeps polling while the
# box is open, a request raised meanwhile is counted down, and the loss is
# not reported twice.
start_sim
start_app
wait_tray red 30
sim power-lost
expect_windows "$BOX_TITLE" 1 6
wait_register_bits_clear 0 0xC0 3 || fail "the power loss was not acknowledged"
polled_within 5
request_countdown 4 1
wait_power_action "systemctl reboot" 10
stays_windows "$BOX_TITLE" 1 3
