# An unanswered firmware prompt does not suspend the monitor, and it is
# shown once per run: a new discovery does not bring it back.
start_sim --firmware 01.02
start_app
wait_tray red 30
expect_windows "$WINDOW_TITLE" 1 10
polled_within 5
open_tray_menu
menu_item d                     # "Discovery Process"
sleep 8
stays_windows "$WINDOW_TITLE" 1 2
request_countdown 4 0
wait_power_action "systemctl poweroff" 10
