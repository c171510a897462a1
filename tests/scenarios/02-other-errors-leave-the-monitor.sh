# An error that is not about the device (here: no user guide to open) is
# shown, and the monitor keeps watching: a power request still counts down.
rm -f "$DEMO_BIN/Pallix_User_Guide.pdf"
start_sim
start_app
wait_tray red 30
open_tray_menu
menu_item u
expect_windows "$BOX_TITLE" 1 5
polled_within 5
request_countdown 4 0
wait_power_action "systemctl poweroff" 10
