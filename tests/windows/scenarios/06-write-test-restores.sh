# The write test writes test values into every register; stopped, it
# writes the user's settings back.
start_sim
start_app
wait_tray red 40
sim set 9 40                    # the user's power-on delay
sim set 16 3                    # and power-off action
open_tray_menu
xdotool key --clearmodifiers Down Down Down Return   # "Self Test"
selftest=$(wait_window "$SELFTEST_TITLE" 10)
sleep 2
screenshot self-test
click_in "$selftest" 129 186    # "Write Test"
warning=$(wait_window "$BOX_TITLE" 5)
screenshot write-test-warning
press_enter "$warning"
sleep 6                         # well into the sweeps
screenshot self-test-writing
click_in "$selftest" 213 186    # "Stop"
wait_register 9 40 60
wait_register 16 3 10
