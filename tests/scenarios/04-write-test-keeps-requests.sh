# A power request raised while the write test saves the settings, before
# its global-status step, is not swallowed by that step: it is counted down,
# and the device gets the user's settings back.
start_sim
start_app
wait_tray red 30
sim set 9 40                    # the user's power-on delay
sim set 10 6
sim set 16 3
open_tray_menu
xdotool key --clearmodifiers Down Down Down Return   # "Self Test"
test_win=$(wait_window "Nerrin Pallix™ Self Test" 10)
sleep 1
# From the log backwards come Details, the loop count, Stop and Write Test.
eval "$(xdotool getwindowgeometry --shell "$test_win")"
xdotool mousemove $((X + 129)) $((Y + 300)) click 1
xdotool key --clearmodifiers shift+Tab shift+Tab shift+Tab shift+Tab space
warning=$(wait_window "$BOX_TITLE" 5)
# The save reads sixteen registers; the request comes with the last of them.
sim power-request-after 16
press_enter "$warning"
wait_window "$COUNTDOWN_TITLE" 15 >/dev/null
wait_power_action "systemctl suspend" 15
deadline=$((SECONDS + 40))
until [ "$(register 9)" = 40 ] && [ "$(register 16)" = 3 ]; do
  [ $SECONDS -ge $deadline ] && fail "settings not restored: power-on delay $(register 9)"
  sleep 0.5
done
