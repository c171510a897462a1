# An updater that cannot start is reported, and the device is watched anyway.
rm -f "$DEMO_BIN/nrfwupdate"
start_sim --firmware 01.02
start_app
wait_tray red 30
press_enter "$(wait_window "$WINDOW_TITLE" 10)"   # the update prompt
press_enter "$(wait_window "$BOX_TITLE" 5)"       # the power warning
wait_log 'Cannot start the firmware updater' 5
expect_windows "$BOX_TITLE" 1 5
request_countdown 4 0
wait_power_action "systemctl poweroff" 10
