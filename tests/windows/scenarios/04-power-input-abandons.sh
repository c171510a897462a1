# An input that is enabled as a power input abandons the countdown: the
# window closes and nothing runs.
start_sim
start_app
wait_tray red 40
log_mark
sim set 11 1                    # power input 1 enabled
request_countdown 20 0          # 10 s to "Shutdown"
sim input 1 on
expect_windows "$COUNTDOWN_TITLE" 0 5
no_power_action 12
