# Cancel ends a countdown for good, also when the device answers slowly and
# the click is handled while a tick waits on the device's inputs.
start_sim
start_app
wait_tray red 40
log_mark
sim delay 900                   # each input check now takes about 4.5 s
request_countdown 4 0           # 2 s to "Shutdown"
sleep 2.5                       # inside the first tick's input check
countdown_cancel
expect_windows "$COUNTDOWN_TITLE" 0 12
no_power_action 12
