# A device that stops answering during a countdown does not stop it: the
# request was acknowledged, so the action runs on time, without boxes.
start_sim
start_app
wait_tray red 30
request_countdown 16 0          # 8 s
sim offline
wait_power_action "systemctl poweroff" 20
[ "$(window_count "$BOX_TITLE")" -eq 0 ] || fail "a box came up"
wait_log 'Countdown goes on without its power input check' 5
[ "$(log_since_mark | grep -c 'Countdown goes on without')" -eq 1 ] || fail "logged more than once"
