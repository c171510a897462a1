# A power request opens the countdown above everything; "Shutdown Now."
# carries out the table's command for the Windows version Wine reports
# (6 and above: "Shutdown /s /t 0"), written to the log in a dry run.
start_sim
start_app
wait_tray red 40
log_mark
request_countdown 30 0          # 15 s to "Shutdown"
screenshot countdown
no_power_action 2
countdown_now
wait_power_action "Shutdown /s /t 0" 5
expect_windows "$COUNTDOWN_TITLE" 0 5
polled_within 5                 # monitoring goes on
