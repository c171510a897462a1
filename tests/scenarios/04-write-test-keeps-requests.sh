# A power request raised as the write test starts is counted down (whoever
# reads it first), and the test gives the device its settings back.
start_sim
start_app
wait_tray red 30
sim set 9 40                    # the user's power-on delay
open_tray_menu
xdotool key --clearmodifiers Down Down Down Return   # "Self Test"
test_win=$(wait_window "Nerrin Pallix™ Self Test" 10)
sleep 1
# From the log backwards come Details, the loop count, Stop and Write Test.
eval "$(xdotool getwindowgeometry --shell "$test_win")"
xdotool mousemove $((X + 129)) $((Y + 300)) click 1
xdotool key --clearmodifiers shift+Tab shift+Tab shift+Tab shift+Tab space
warning=$(wait_window "$BOX_TITLE" 5)
sim set 10 6
sim set 16 3
sim power-request
press_enter "$warning"
wait_window "$COUNTDOWN_TITLE" 15 >/dev/null
wait_power_action "systemctl suspend" 15
# Stopped or finished, the test restores what the user had.
deadline=$((SECONDS + 40))
until [ "$(register 9)" = 40 ] && [ "$(register 16)" = 3 ]; do
  [ $SECONDS -ge $deadline ] && fail "settings not restored: power-on delay $(register 9)"
  sleep 0.5
done
