# The self test after a read test, the write test's warning, and a second
# copy refused.
start_sim
start_app
wait_tray red 40
open_tray_menu
xdotool key --clearmodifiers Down Down Down Return   # "Self Test"
selftest=$(wait_window "$SELFTEST_TITLE" 10)
sleep 1
click_in "$selftest" 52 186      # "Read Test"
sleep 5
screenshot self-test "$SELFTEST_TITLE"
click_in "$selftest" 129 186     # "Write Test"
warning=$(wait_window "$BOX_TITLE" 5)
sleep 0.5
screenshot write-test-warning "$BOX_TITLE"
key_in "$warning" Escape
sleep 1
wine "$DEMO_BIN/Pallix.exe" "${APP_ARGS[@]}" >>"$APP_OUT" 2>&1 &
refusal=$(wait_window "$BOX_TITLE" 20)
sleep 0.5
screenshot already-running "$BOX_TITLE"
press_enter "$refusal"
