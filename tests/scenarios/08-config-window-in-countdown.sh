# The configuration window, used during a countdown, leaves the monitor held:
# a repeated request is not acknowledged, so it cannot restart the count.
start_sim
start_app
wait_tray red 30
request_countdown 40 0          # 20 s
open_tray_menu
menu_item c
config=$(wait_window "$WINDOW_TITLE" 10)
sleep 1
click_at "$config" 93 20        # Apply
sleep 1
sim power-request
sleep 5
[ $(( $(register 0) & 1 )) -eq 1 ] || fail "the repeated request was acknowledged during the countdown"
countdown_cancel
no_power_action 1
# Monitoring resumes after Cancel, and then the new request counts down.
wait_window "$COUNTDOWN_TITLE" 8 >/dev/null
